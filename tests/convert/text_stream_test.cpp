// SPDX-License-Identifier: GPL-3.0-or-later
// The temporary text stream: forward writes, in-place patches before and after buffered data, clean-up.
#include "convert/text_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "test_support.h"

namespace {

// Reads the text back both ways, as a copy and mapped, and checks that they agree.
std::string readBack(qp::TextStream& stream) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(stream.readAll(bytes));
    qp::WrittenText text;
    EXPECT_TRUE(stream.readAll(text));
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), text.bytes().begin(), text.bytes().end()));
    return std::string(bytes.begin(), bytes.end());
}

TEST(TextStream, PatchesInPlaceWhereverTheBytesAre) {
    qp::TextStream stream;
    ASSERT_TRUE(stream.open());
    std::string expected(200'000, 'a');
    for (size_t i = 0; i < expected.size(); ++i) expected[i] = static_cast<char>('a' + i % 26);
    ASSERT_TRUE(stream.write(expected.substr(0, 150'000)));
    ASSERT_TRUE(stream.write(expected.substr(150'000)));
    EXPECT_EQ(stream.position(), 200'000u);
    // One patch in flushed bytes, one spanning into the buffer, one in the buffer.
    ASSERT_TRUE(stream.patch(10, "0123456789"));
    expected.replace(10, 10, "0123456789");
    const uint64_t flushedEnd = 200'000 - 200'000 % 65'536;
    ASSERT_TRUE(stream.patch(flushedEnd - 3, "XXXXXX"));
    expected.replace(static_cast<size_t>(flushedEnd - 3), 6, "XXXXXX");
    ASSERT_TRUE(stream.patch(199'995, "ZZZZZ"));
    expected.replace(199'995, 5, "ZZZZZ");
    EXPECT_FALSE(stream.patch(199'998, "too long"));
    EXPECT_EQ(stream.position(), 200'000u);
    ASSERT_TRUE(stream.write("end"));
    expected += "end";
    EXPECT_EQ(readBack(stream), expected);
}

TEST(TextStream, TextReadBackOutlivesTheDeletedFileAndMayBeEmpty) {
    qp::TextStream stream;
    ASSERT_TRUE(stream.open());
    EXPECT_EQ(readBack(stream), "");
    ASSERT_TRUE(stream.write("kept after close"));
    qp::WrittenText text;
    ASSERT_TRUE(stream.readAll(text));
    stream.close();
    EXPECT_EQ(std::string(text.bytes().begin(), text.bytes().end()), "kept after close");
}

TEST(TextStream, TemporaryFileIsNamedAndDeletedByItsOwner) {
    std::string path;
    {
        qp::TextStream stream;
        ASSERT_TRUE(stream.open());
        path = stream.path();
        auto entries = qptest::tempEntries("quillpress-");
        const std::string name = std::filesystem::path(path).filename().string();
        EXPECT_NE(std::find(entries.begin(), entries.end(), name), entries.end());
        EXPECT_TRUE(std::filesystem::exists(path));
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
