// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/path_text.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace qp {

std::string withForwardSlashes(std::string_view path) {
    std::string slashed(path);
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    return slashed;
}

size_t lastPathSeparator(std::string_view path) { return path.find_last_of("/\\"); }

std::string_view fileNameOf(std::string_view path) {
    const size_t separator = lastPathSeparator(path);
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string_view directoryOf(std::string_view path) {
    const size_t separator = lastPathSeparator(path);
    return separator == std::string_view::npos ? std::string_view() : path.substr(0, separator + 1);
}

std::string absoluteNormalPath(std::string_view path) {
    const std::filesystem::path slashed(withForwardSlashes(path));
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(slashed, error);
    if (error) absolute = slashed;
    return absolute.lexically_normal().generic_string();
}

}  // namespace qp
