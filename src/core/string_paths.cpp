// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>

#include "core/path_text.h"
#include "core/string.h"

namespace qp {

namespace {

constexpr size_t kMaxAbsolutePath = 519;  // characters

}  // namespace

std::string String::systemPath() const { return withForwardSlashes(toUtf8()); }

String String::directoryPart() const {
    size_t position = 0;
    size_t bytes = 0;
    if (!findLast(u'/', u'\\', position, bytes)) return slice(0, 0);
    return slice(0, position + bytes);
}

String String::fileNamePart() const {
    size_t position = 0;
    size_t bytes = 0;
    if (!findLast(u'/', u'\\', position, bytes)) return slice(0, length_);
    return slice(position + bytes, length_);
}

String String::extension() const {
    String name = fileNamePart();
    size_t position = 0;
    size_t bytes = 0;
    if (!name.findLast(u'.', u'.', position, bytes)) return name.slice(0, 0);
    return name.slice(position + bytes, name.length_);
}

bool String::makeAbsolute() {
    try {
        std::string path = systemPath();
        if (path.empty()) return false;
        std::error_code error;
        std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::path(path), error);
        if (error) return false;
        String result = fromUtf8(absolute.lexically_normal().string());
        std::u16string units = result.toUtf16();
        if (units.empty() || units.size() > kMaxAbsolutePath) return false;
        return assignUtf16(units);
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace qp
