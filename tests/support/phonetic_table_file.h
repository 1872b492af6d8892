// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The spell tables of each language as the writer makes them, kept in tests/data/phonetic/<language>.spell for
// the reader's tests, which may not use the writer. Layout: SPL1, SPL2, SPL4, SPL5 (256 bytes each), SPL6 (512
// bytes), then the rule string SPL3 to the end of the file. The writer's tests check that the files still hold
// the writer's tables.
#include <cstddef>
#include <fstream>
#include <iterator>
#include <string>

namespace phonetic_test {

inline constexpr size_t kSpl1At = 0;
inline constexpr size_t kSpl2At = 256;
inline constexpr size_t kSpl4At = 512;
inline constexpr size_t kSpl5At = 768;
inline constexpr size_t kSpl6At = 1024;
inline constexpr size_t kSpl3At = 1536;

inline std::string tableFilePath(const std::string& language) {
    return std::string(QP_TEST_DATA_DIR) + "/phonetic/" + language + ".spell";
}

// The file's bytes; empty when it cannot be read.
inline std::string readTableFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace phonetic_test
