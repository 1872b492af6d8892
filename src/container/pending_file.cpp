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
    return fs::path(target.string() + ".quillpress-" + std::to_string(getpid()) + "-" +
                    std::to_string(counter++) + ".part");
}

bool targetReplaceable(const fs::path& target) {
    std::error_code ec;
    fs::file_status status = fs::status(target, ec);
    if (status.type() == fs::file_type::not_found) return true;
    if (ec || status.type() != fs::file_type::regular) return false;
    return access(target.c_str(), W_OK) == 0;
}

}  // namespace

PendingFile::~PendingFile() { abandon(); }

bool PendingFile::begin(const fs::path& target) {
    abandon();
    if (target.empty() || !targetReplaceable(target)) return false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = sideFileName(target);
        int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            target_ = target;
            sidePath_ = candidate;
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

bool PendingFile::commit(std::span<const uint8_t> image) {
    if (fd_ < 0) return false;
    // One write call moves at most about 2 GiB on Linux; larger images continue where the call stopped.
    size_t done = 0;
    while (done < image.size()) {
        ssize_t count = write(fd_, image.data() + done, image.size() - done);
        if (count <= 0) break;
        done += static_cast<size_t>(count);
    }
    bool written = done == image.size();
    bool closed = close(fd_) == 0;
    fd_ = -1;
    std::error_code ec;
    if (written && closed) fs::rename(sidePath_, target_, ec);
    if (!written || !closed || ec) {
        fs::remove(sidePath_, ec);
        sidePath_.clear();
        return false;
    }
    sidePath_.clear();
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
}

}  // namespace qp
