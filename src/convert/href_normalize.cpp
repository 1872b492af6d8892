// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/href_normalize.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/ascii_text.h"
#include "core/path_text.h"

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

// A directory's entries by their names in lower case (A to Z); read once, as a book may link to thousands of
// names that are not on disk.
const std::unordered_map<std::string, std::string>& HrefNormalizer::caseBlindListing(const std::string& directory) {
    auto known = listings_.find(directory);
    if (known != listings_.end()) return known->second;
    ++directoriesRead_;
    std::unordered_map<std::string, std::string> entries;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        std::string entry = it->path().filename().string();
        entries.emplace(lowerAscii(entry), std::move(entry));
    }
    return listings_.emplace(directory, std::move(entries)).first->second;
}

bool HrefNormalizer::folderExists(const std::string& folder) {
    auto known = folders_.find(folder);
    if (known == folders_.end()) known = folders_.emplace(folder, existsOnDisk(folder)).first;
    return known->second;
}

// Walks the path from its root and, for each step not found as spelled, takes the entry that differs only in
// case. A path that has no such match stays as it was. The folders on the way are looked up once per build.
std::string HrefNormalizer::matchCaseOnDisk(const std::string& path) {
    const fs::path input(path);
    const fs::path steps = input.relative_path();
    fs::path matched = input.root_path();
    for (auto step = steps.begin(); step != steps.end(); ++step) {
        fs::path next = matched / *step;
        const bool onDisk = std::next(step) == steps.end() ? existsOnDisk(next) : folderExists(next.string());
        if (!onDisk) {
            const auto& entries = caseBlindListing(matched.string());
            const auto entry = entries.find(lowerAscii(step->string()));
            if (entry == entries.end()) return path;
            next = matched / entry->second;
        }
        matched = std::move(next);
    }
    return matched.generic_string();
}

LinkTarget HrefNormalizer::target(std::string_view currentFile, std::string_view href) {
    LinkTarget target;
    size_t hash = href.find('#');
    // A query ("two.html?x=1") names no other file.
    std::string path = decodePercentEscapes(href.substr(0, std::min(hash, href.find('?'))));
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
