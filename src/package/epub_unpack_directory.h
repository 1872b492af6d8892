// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The directory an archive is unpacked into (and the one child books are built in): a fresh directory in the
// temporary directory, named "quillpress-epub-" (or another prefix) and a random suffix, removed with
// everything in it when the object goes.
//
// Files and directories are created step by step relative to the directory's own descriptor, never following
// a symbolic link and never opening an existing file, so nothing can be written outside it.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/interrupt_cleanup.h"

namespace qp {

// A file descriptor closed on scope exit.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd();
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

class UnpackDirectory {
public:
    static constexpr const char* kNamePrefix = "quillpress-epub-";

    // Creates the directory, named by the prefix and a random suffix; created() tells whether that worked.
    explicit UnpackDirectory(std::string_view namePrefix = kNamePrefix);
    ~UnpackDirectory();
    UnpackDirectory(const UnpackDirectory&) = delete;
    UnpackDirectory& operator=(const UnpackDirectory&) = delete;

    bool created() const { return root_.valid(); }
    const std::filesystem::path& path() const { return path_; }

    // Creates the directories named by the steps, as far as they are missing.
    bool makeDirectories(const std::vector<std::string>& steps);
    // Creates a new file (its directories first); an invalid descriptor when it exists or cannot be made.
    UniqueFd createFile(const std::vector<std::string>& steps);

private:
    // An open descriptor of the directory reached by the first `count` steps, made as needed.
    UniqueFd openDirectories(const std::vector<std::string>& steps, size_t count);

    std::filesystem::path path_;
    UniqueFd root_;
    CleanupRegistration cleanup_;
};

// Writes all bytes, retrying after interruptions.
bool writeAll(int fd, const char* data, size_t size);

}  // namespace qp
