// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/text_stream.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <new>
#include <system_error>

#include "core/interrupt_cleanup.h"
#include "core/message_sink.h"
#include "core/temporary_directory.h"

namespace qp {

namespace {
constexpr size_t kBufferSize = 1 << 16;

// 0, or the errno value of the write that failed.
int writeFully(int fd, const char* data, size_t size, uint64_t offset) {
    while (size > 0) {
        ssize_t written = ::pwrite(fd, data, size, static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return errno;
        if (written == 0) return EIO;
        data += written;
        size -= static_cast<size_t>(written);
        offset += static_cast<uint64_t>(written);
    }
    return 0;
}

}  // namespace

TextStream::~TextStream() { close(); }

bool TextStream::open() {
    close();
    std::string pattern = (temporaryDirectory() / "quillpress-XXXXXX").string();
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) {
        const int error = errno;
        report(*this, ErrorCode::FileNotAccessible, pattern);
        printSystemReason(error);
        return false;
    }
    path_ = pattern;
    cleanup_ = CleanupRegistration(path_, CleanupKind::File);
    try {
        buffer_.reserve(kBufferSize);
    } catch (const std::bad_alloc&) {
        // Writes then go straight to the file.
    }
    return true;
}

bool TextStream::fail(int error) {
    report(*this, ErrorCode::FileNotAccessible, path_);
    printSystemReason(error);
    return false;
}

bool TextStream::flush() {
    if (buffer_.empty()) return true;
    if (int error = writeFully(fd_, buffer_.data(), buffer_.size(), flushed_)) return fail(error);
    flushed_ += buffer_.size();
    buffer_.clear();
    return true;
}

bool TextStream::write(std::string_view bytes) {
    if (fd_ < 0) return false;
    if (buffer_.size() + bytes.size() > kBufferSize) {
        if (!flush()) return false;
        if (bytes.size() >= kBufferSize) {
            if (int error = writeFully(fd_, bytes.data(), bytes.size(), flushed_)) return fail(error);
            flushed_ += bytes.size();
            return true;
        }
    }
    buffer_.append(bytes);
    return true;
}

bool TextStream::patch(uint64_t position, std::string_view bytes) {
    if (fd_ < 0 || position + bytes.size() > this->position()) return false;
    // The part that is still in the buffer is changed there, the rest in the file.
    size_t inFile =
        position < flushed_ ? static_cast<size_t>(std::min<uint64_t>(flushed_ - position, bytes.size())) : 0;
    if (inFile > 0) {
        if (int error = writeFully(fd_, bytes.data(), inFile, position)) return fail(error);
    }
    if (inFile < bytes.size()) {
        buffer_.replace(static_cast<size_t>(position + inFile - flushed_), bytes.size() - inFile, bytes.substr(inFile));
    }
    return true;
}

bool TextStream::readAll(std::vector<uint8_t>& out) {
    if (fd_ < 0 || !flush()) return false;
    try {
        out.resize(static_cast<size_t>(flushed_));
    } catch (const std::bad_alloc&) {
        return false;
    }
    size_t done = 0;
    while (done < out.size()) {
        ssize_t got = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return fail(got < 0 ? errno : EIO);
        done += static_cast<size_t>(got);
    }
    return true;
}

bool TextStream::readAll(WrittenText& text) {
    if (fd_ < 0 || !flush()) return false;
    if (flushed_ > 0 && flushed_ <= SIZE_MAX) {
        void* mapped = ::mmap(nullptr, static_cast<size_t>(flushed_), PROT_READ, MAP_PRIVATE, fd_, 0);
        if (mapped != MAP_FAILED) {
            text.mapped_ = static_cast<const uint8_t*>(mapped);
            text.size_ = static_cast<size_t>(flushed_);
            return true;
        }
    }
    return readAll(text.copy_);
}

WrittenText::~WrittenText() {
    if (mapped_) ::munmap(const_cast<uint8_t*>(mapped_), size_);
}

void TextStream::close() {
    if (fd_ < 0) return;
    ::close(fd_);
    ::unlink(path_.c_str());
    cleanup_.reset();
    fd_ = -1;
    path_.clear();
    buffer_.clear();
    flushed_ = 0;
}

}  // namespace qp
