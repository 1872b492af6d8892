// SPDX-License-Identifier: GPL-3.0-or-later
// The writer when memory runs out in the middle of compressing the text. This test binary's operator new
// refuses large blocks while a test asks it to, standing in for a machine that has run out of memory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "captured_sink.h"
#include "container/book_writer.h"
#include "test_support.h"

// AddressSanitizer brings its own operator new, which a replacement here would fight: under it the test skips.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QP_SANITIZED_ALLOCATOR 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QP_SANITIZED_ALLOCATOR 1
#endif

namespace {

thread_local size_t refusedFromBytes = 0;  // 0: every request is served

class LargeBlocksRefused {
public:
    explicit LargeBlocksRefused(size_t bytes) { refusedFromBytes = bytes; }
    ~LargeBlocksRefused() { refusedFromBytes = 0; }
};

}  // namespace

#ifndef QP_SANITIZED_ALLOCATOR
// The replacement pair below is malloc and free on both sides; the compiler cannot see that they match.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    if (refusedFromBytes != 0 && size >= refusedFromBytes) throw std::bad_alloc();
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
#endif

TEST(BookWriterOutOfMemory, ACompressorWithoutMemoryFailsTheTextInsteadOfStoringAnEmptyRecord) {
#ifdef QP_SANITIZED_ALLOCATOR
    GTEST_SKIP() << "the sanitizer's allocator cannot be replaced; the plain build runs this test";
#endif
    qptest::TempDir dir;
    CapturedSink sink;
    const std::vector<uint8_t> text(20000, 'x');
    qp::BookWriter writer(dir / "b.kova", qp::Compression::PalmDoc, &sink);
    ASSERT_FALSE(writer.failed());
    bool written = false;
    {
        // The compressor's search tables are the only blocks this large while a record is compressed.
        LargeBlocksRefused refusal(12 * 1024);
        written = writer.writeText(text, {});
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(writer.lastError, qp::ErrorCode::NotEnoughMemory);
}
