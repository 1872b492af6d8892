// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Paths as UTF-8 text. Input may separate with "/" or "\"; the paths the system composes use "/".
#include <cstddef>
#include <string>
#include <string_view>

namespace qp {

inline bool isPathSeparator(char c) { return c == '/' || c == '\\'; }

std::string withForwardSlashes(std::string_view path);
// The position of the last separator, std::string_view::npos when there is none.
size_t lastPathSeparator(std::string_view path);
// The part after the last separator (the whole path when there is none).
std::string_view fileNameOf(std::string_view path);
// The part up to and including the last separator ("" when there is none).
std::string_view directoryOf(std::string_view path);
// The path made absolute against the working directory, "." and ".." steps resolved, with "/" separators.
std::string absoluteNormalPath(std::string_view path);

}  // namespace qp
