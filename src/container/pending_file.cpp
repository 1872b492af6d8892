// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/pending_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <system_error>

namespace qp {

namespace fs = std::filesystem;

namespace {

// Side files carry the target's name, the process id and a counter, so that concurrent builds never meet.
fs::path sideFileName(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    return fs::path(target.string() + ".quillpress-" + std::to_string(getpid()) + "-" + std::to_string(counter++) +
                    ".part");
}

// 0 when the target can be replaced (it is missing, or a writable file), else the reason.
int replaceError(const fs::path& target) {
    std::error_code ec;
    fs::file_status status = fs::status(target, ec);
    if (status.type() == fs::file_type::not_found) return 0;
    if (ec) return ec.value();
    if (status.type() == fs::file_type::directory) return EISDIR;
    if (status.type() != fs::file_type::regular) return EINVAL;
    return access(target.c_str(), W_OK) == 0 ? 0 : errno;
}

}  // namespace

PendingFile::~PendingFile() { abandon(); }

bool PendingFile::failWith(int error) {
    systemError_ = error;
    return false;
}

bool PendingFile::begin(const fs::path& target) {
    abandon();
    systemError_ = 0;
    if (target.empty()) return false;
    if (int error = replaceError(target)) return failWith(error);
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = sideFileName(target);
        int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            target_ = target;
            sidePath_ = candidate;
            cleanup_ = CleanupRegistration(sidePath_.string(), CleanupKind::File);
            return true;
        }
        if (errno != EEXIST) return failWith(errno);
    }
    return failWith(EEXIST);
}

bool PendingFile::append(std::span<const uint8_t> bytes) {
    if (fd_ < 0) return false;
    // One write call moves at most about 2 GiB on Linux; larger pieces continue where the call stopped.
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t count = write(fd_, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            const int error = count < 0 ? errno : EIO;
            abandon();
            return failWith(error);
        }
        done += static_cast<size_t>(count);
    }
    return true;
}

bool PendingFile::commit() {
    if (fd_ < 0) return false;
    int error = 0;
    // On the disk before the rename, so that a crash cannot leave an empty book in place of the old one.
    if (durable_ && fsync(fd_) != 0) error = errno;
    if (close(fd_) != 0 && error == 0) error = errno;
    fd_ = -1;
    std::error_code ec;
    if (error == 0) {
        fs::rename(sidePath_, target_, ec);
        error = ec.value();
    }
    if (error != 0) {
        abandon();
        return failWith(error);
    }
    sidePath_.clear();
    cleanup_.reset();
    return true;
}

void PendingFile::abandon() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (!sidePath_.empty()) {
        std::error_code ec;
        fs::remove(sidePath_, ec);
        sidePath_.clear();
    }
    cleanup_.reset();
}

}  // namespace qp
