// SPDX-License-Identifier: GPL-3.0-or-later
#include "package/epub_unpack_directory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "core/temporary_directory.h"

namespace qp {

namespace {

constexpr int kDirectoryFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

}  // namespace

UniqueFd::~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

UnpackDirectory::UnpackDirectory(std::string_view namePrefix) {
    std::string pattern = (temporaryDirectory() / (std::string(namePrefix) + "XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) return;
    path_ = pattern;
    cleanup_ = CleanupRegistration(pattern, CleanupKind::Tree);
    root_ = UniqueFd(::open(pattern.c_str(), kDirectoryFlags));
    std::error_code error;
    if (!root_.valid()) std::filesystem::remove(path_, error);
}

UnpackDirectory::~UnpackDirectory() {
    if (path_.empty()) return;
    // remove_all deletes links themselves, never what they point to.
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

UniqueFd UnpackDirectory::openDirectories(const std::vector<std::string>& steps, size_t count) {
    UniqueFd current(::dup(root_.get()));
    for (size_t i = 0; i < count && current.valid(); ++i) {
        const char* step = steps[i].c_str();
        if (::mkdirat(current.get(), step, 0700) != 0 && errno != EEXIST) return UniqueFd();
        current = UniqueFd(::openat(current.get(), step, kDirectoryFlags));
    }
    return current;
}

bool UnpackDirectory::makeDirectories(const std::vector<std::string>& steps) {
    return created() && openDirectories(steps, steps.size()).valid();
}

UniqueFd UnpackDirectory::createFile(const std::vector<std::string>& steps) {
    if (!created() || steps.empty()) return UniqueFd();
    UniqueFd parent = openDirectories(steps, steps.size() - 1);
    if (!parent.valid()) return UniqueFd();
    return UniqueFd(
        ::openat(parent.get(), steps.back().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace qp
