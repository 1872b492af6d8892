#include "convert/href_normalize.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/path_text.h"
#include "markup/xml_parser_text.h"

namespace qp {

namespace {

namespace fs = std::filesystem;

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool existsOnDisk(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

// The entry of `directory` whose name equals `name` but for the case of A to Z, or "" when none does.
std::string caseBlindEntry(const fs::path& directory, const std::string& name) {
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        std::string entry = it->path().filename().string();
        if (equalsCaseBlind(entry, name)) return entry;
    }
    return {};
}

}  // namespace

std::string decodePercentEscapes(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            int high = hexValue(text[i + 1]);
            int low = hexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                decoded.push_back(static_cast<char>(high * 16 + low));
                i += 2;
                continue;
            }
        }
        decoded.push_back(text[i]);
    }
    return decoded;
}

std::string HrefNormalizer::normalizePath(std::string_view path) {
    std::string key(path);
    auto known = normalized_.find(key);
    if (known != normalized_.end()) return known->second;
    std::string result = normalizeUncached(key);
    // A path not on disk (yet) is looked up again next time.
    if (existsOnDisk(result)) normalized_.emplace(std::move(key), result);
    return result;
}

std::string HrefNormalizer::normalizeUncached(std::string slashed) {
    std::string normal = absoluteNormalPath(slashed);
    if (existsOnDisk(normal)) return normal;
    return matchCaseOnDisk(normal);
}

// Walks the path from its root and, for each step not found as spelled, takes the entry that differs only in
// case. A path that has no such match stays as it was.
std::string HrefNormalizer::matchCaseOnDisk(const std::string& path) const {
    fs::path input(path);
    fs::path matched = input.root_path();
    bool found = true;
    for (const fs::path& step : input.relative_path()) {
        fs::path next = matched / step;
        if (found && !existsOnDisk(next)) {
            std::string entry = caseBlindEntry(matched, step.string());
            if (entry.empty())
                found = false;
            else
                next = matched / entry;
        }
        matched = std::move(next);
    }
    return found ? matched.generic_string() : path;
}

LinkTarget HrefNormalizer::target(std::string_view currentFile, std::string_view href) {
    LinkTarget target;
    size_t hash = href.find('#');
    std::string path = decodePercentEscapes(href.substr(0, hash));
    if (hash != std::string_view::npos) target.fragment = decodePercentEscapes(href.substr(hash + 1));
    if (path.empty()) {
        target.file = normalizePath(currentFile);
        return target;
    }
    path = withForwardSlashes(path);
    if (path.front() == '/') {
        target.file = normalizePath(path);
        return target;
    }
    target.file = normalizePath(withForwardSlashes(directoryOf(currentFile)) + path);
    return target;
}

}  // namespace qp
