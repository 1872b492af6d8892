// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "core/message_sink.h"
#include "core/string.h"

namespace qp {

namespace {

// A file descriptor closed on scope exit.
class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Reads up to `size` bytes; fewer when the file ends early or a read fails.
size_t readFully(int fd, char* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        ssize_t got = ::read(fd, data + done, size - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    return done;
}

}  // namespace

bool String::loadFile(const String& path) {
    context = path;
    const std::string name = path.systemPath();
    // Non-blocking, so that a named pipe given as a file is refused instead of waiting for a writer.
    FileHandle file(name.empty() ? -1 : ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        report(*this, ErrorCode::FileNotAccessible, context);
        return false;
    }
    std::string content;
    try {
        content.resize(static_cast<size_t>(info.st_size));
    } catch (const std::exception&) {
        report(*this, ErrorCode::StringAllocationFailed, context);
        return false;
    }
    size_t got = readFully(file.get(), content.data(), content.size());
    bool complete = got == content.size();
    content.resize(got);

    auto startsWith = [&](std::string_view mark) { return content.compare(0, mark.size(), mark) == 0; };
    TextKind kind = TextKind::SingleByte;
    int32_t codePage = kCodePageAscii;
    size_t skip = 0;
    bool swapped = false;
    if (startsWith("\xFF\xFE")) {
        kind = TextKind::Utf16, codePage = kCodePageUtf16, skip = 2;
    } else if (startsWith("\xFE\xFF")) {
        kind = TextKind::Utf16, codePage = kCodePageUtf16, skip = 2, swapped = true;
    } else if (startsWith("\xEF\xBB\xBF")) {
        kind = TextKind::MultiByte, codePage = kCodePageUtf8, skip = 3;
    }
    size_t size = content.size() - skip;
    if (kind == TextKind::Utf16 && size % 2 != 0) {
        --size;
        complete = false;
    }
    char* text = content.data() + skip;
    if (swapped)
        for (size_t i = 0; i + 1 < size; i += 2) std::swap(text[i], text[i + 1]);
    bool assigned = assignBytes(text, size, kind, codePage);
    if (!complete) report(*this, ErrorCode::FileNotAccessible, context);
    return assigned && complete;
}

}  // namespace qp
