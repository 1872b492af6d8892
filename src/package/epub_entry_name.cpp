// SPDX-License-Identifier: GPL-3.0-or-later
#include "package/epub_entry_name.h"

#include <algorithm>

#include "core/path_text.h"
#include "core/string.h"

namespace qp {

namespace {

constexpr int32_t kCodePageDosLatinUs = 437;

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Control characters are legal in Linux file names but useless and confusing in a book's files.
std::string withoutControls(std::string text, char replacement) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return isControl(static_cast<unsigned char>(c)); }, replacement);
    return text;
}

}  // namespace

std::string EntryName::relativePath() const {
    std::string path;
    for (const std::string& step : components) {
        if (!path.empty()) path += '/';
        path += step;
    }
    return path;
}

std::string_view EntryName::fileName() const {
    return components.empty() ? std::string_view() : std::string_view(components.back());
}

std::string decodeEntryName(std::string_view stored, bool utf8) {
    bool ascii = std::all_of(stored.begin(), stored.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) return std::string(stored);
    if (!utf8) return String(stored, kCodePageDosLatinUs).toUtf8();
    // Through UTF-16 and back, so that malformed sequences come out as U+FFFD.
    return String(String(stored, kCodePageUtf8).toUtf16()).toUtf8();
}

EntryName parseEntryName(std::string_view stored, bool utf8) {
    EntryName name;
    std::string decoded = decodeEntryName(stored, utf8);
    name.display = withoutControls(decoded, '?');
    if (decoded.empty()) return name;
    if (isPathSeparator(decoded.front())) {
        name.verdict = EntryNameVerdict::Absolute;
        return name;
    }
    if (decoded.size() >= 2 && isAsciiLetter(decoded[0]) && decoded[1] == ':') {
        name.verdict = EntryNameVerdict::DriveLetter;
        return name;
    }
    name.directory = isPathSeparator(decoded.back());

    size_t begin = 0;
    while (begin <= decoded.size()) {
        size_t end = begin;
        while (end < decoded.size() && !isPathSeparator(decoded[end])) ++end;
        std::string step = decoded.substr(begin, end - begin);
        if (step == "..") {
            if (name.components.empty()) {
                name.components.clear();
                name.verdict = EntryNameVerdict::EscapesDirectory;
                return name;
            }
            name.components.pop_back();
        } else if (!step.empty() && step != ".") {
            name.components.push_back(withoutControls(std::move(step), '_'));
        }
        begin = end + 1;
    }
    name.verdict = name.components.empty() ? EntryNameVerdict::Empty : EntryNameVerdict::Accepted;
    return name;
}

}  // namespace qp
