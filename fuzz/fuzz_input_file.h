// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file through which a fuzz target hands its input to code that reads from a path: one per process in
// the temporary directory, rewritten for every input and removed when the process ends normally.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

class FuzzInputFile {
public:
    explicit FuzzInputFile(const std::string& extension)
        : path_(std::filesystem::temp_directory_path() /
                ("quillpress-fuzz-input-" + std::to_string(::getpid()) + extension)) {}
    ~FuzzInputFile() {
        std::error_code error;
        std::filesystem::remove(path_, error);
    }
    FuzzInputFile(const FuzzInputFile&) = delete;
    FuzzInputFile& operator=(const FuzzInputFile&) = delete;

    // Replaces the file's content with the input; returns its path.
    const std::filesystem::path& hold(const uint8_t* data, size_t size) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        return path_;
    }

private:
    std::filesystem::path path_;
};
