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

bool isSeparator(char16_t ch) { return ch == u'/' || ch == u'\\'; }

bool startsWithStep(const std::u16string& path, std::u16string_view step) {
    if (path.size() < step.size() || path.compare(0, step.size(), step) != 0) return false;
    return path.size() == step.size() || isSeparator(path[step.size()]);
}

// Drops the last directory of a directory path that ends with a separator ("a/b/" becomes "a/"); false when
// there is none to drop (empty, the root, or a parent step).
bool dropLastDirectory(std::u16string& directory) {
    if (directory.empty()) return false;
    size_t end = directory.size() - 1;  // the trailing separator
    if (end == 0) return true;          // the root: ".." stays there
    size_t previous = directory.find_last_of(u"/\\", end - 1);
    size_t start = previous == std::u16string::npos ? 0 : previous + 1;
    if (directory.compare(start, end - start, u"..") == 0) return false;
    directory.erase(start);
    return true;
}

}  // namespace

std::string String::systemPath() const { return withForwardSlashes(toUtf8()); }

String String::directoryPart() const {
    size_t position = 0;
    size_t bytes = 0;
    if (!findLast(u'/', u'\\', position, bytes)) return slice(viewBegin_, viewBegin_);
    return slice(viewBegin_, position + bytes);
}

String String::fileNamePart() const {
    size_t position = 0;
    size_t bytes = 0;
    if (!findLast(u'/', u'\\', position, bytes)) return slice(viewBegin_, viewEnd_);
    return slice(position + bytes, viewEnd_);
}

String String::extension() const {
    String name = fileNamePart();
    size_t position = 0;
    size_t bytes = 0;
    if (!name.findLast(u'.', u'.', position, bytes)) return name.slice(0, 0);
    return name.slice(position + bytes, name.length_);
}

String String::baseName() const {
    String name = fileNamePart();
    size_t position = 0;
    size_t bytes = 0;
    if (!name.findLast(u'.', u'.', position, bytes)) return name;
    return name.slice(0, position);
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

String String::resolvePath(const String& base, const String& relative) {
    String result;
    try {
        std::u16string directory = base.directoryPart().toUtf16();
        std::u16string rest = relative.toUtf16();
        if (!rest.empty() && isSeparator(rest[0])) {
            directory.clear();  // an absolute path needs no base
        } else {
            for (;;) {
                if (startsWithStep(rest, u".")) {
                    rest.erase(0, std::min<size_t>(2, rest.size()));
                } else if (startsWithStep(rest, u"..") && dropLastDirectory(directory)) {
                    rest.erase(0, std::min<size_t>(3, rest.size()));
                } else {
                    break;
                }
            }
        }
        if (!directory.empty() && !isSeparator(directory.back())) directory.push_back(u'/');
        std::u16string path = directory + rest;
        std::replace(path.begin(), path.end(), u'\\', u'/');
        result.wipe_ = base.wipe_ || relative.wipe_;
        result.assignUtf16(path);
    } catch (const std::bad_alloc&) {
        report(result, ErrorCode::StringAllocationFailed);
        return result;
    }
    // Keep the encoding both sides share; mixed encodings stay UTF-16.
    int32_t codePage = base.empty() ? relative.codePage_ : relative.empty() ? base.codePage_ : base.codePage_;
    if (!base.empty() && !relative.empty() && base.codePage_ != relative.codePage_) codePage = kCodePageUtf16;
    if (codePage != kCodePageUnset && codePage != kCodePageUtf16) result.convertTo(codePage);
    return result;
}

}  // namespace qp
