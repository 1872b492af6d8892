// SPDX-License-Identifier: GPL-3.0-or-later
#include "book_markup.h"

namespace kova {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ':' || c == '_' ||
           c == '-' || c == '.';
}

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// Comments end at "-->", other declarations and instructions at the next '>'.
std::optional<MarkupTag> skippedTag(std::string_view text, size_t at) {
    const bool comment = text.substr(at, 4) == "<!--";
    const size_t close = comment ? text.find("-->", at + 4) : text.find('>', at);
    if (close == std::string_view::npos) return std::nullopt;
    MarkupTag tag;
    tag.kind = MarkupTag::Kind::skipped;
    tag.end = close + (comment ? 3 : 1);
    return tag;
}

}  // namespace

std::optional<std::string> MarkupTag::attribute(std::string_view attributeName) const {
    for (const auto& [key, value] : attributes)
        if (key == attributeName) return value;
    return std::nullopt;
}

std::optional<MarkupTag> readMarkupTag(std::string_view text, size_t at) {
    size_t i = at + 1;
    if (i >= text.size()) return std::nullopt;
    if (text[i] == '!' || text[i] == '?') return skippedTag(text, at);
    MarkupTag tag;
    if (text[i] == '/') {
        tag.kind = MarkupTag::Kind::end;
        ++i;
    }
    const size_t nameStart = i;
    while (i < text.size() && isNameCharacter(text[i])) ++i;
    if (i == nameStart) return std::nullopt;
    tag.name = lowerCase(text.substr(nameStart, i - nameStart));
    while (i < text.size()) {
        const char c = text[i];
        if (c == '>') {
            tag.end = i + 1;
            return tag;
        }
        if (c == '/') {
            tag.selfClosing = i + 1 < text.size() && text[i + 1] == '>';
            ++i;
            continue;
        }
        if (isSpace(c) || !isNameCharacter(c)) {
            ++i;
            continue;
        }
        const size_t keyStart = i;
        while (i < text.size() && isNameCharacter(text[i])) ++i;
        std::string key = lowerCase(text.substr(keyStart, i - keyStart));
        size_t j = i;
        while (j < text.size() && isSpace(text[j])) ++j;
        std::string value;
        if (j < text.size() && text[j] == '=') {
            ++j;
            while (j < text.size() && isSpace(text[j])) ++j;
            if (j < text.size() && (text[j] == '"' || text[j] == '\'')) {
                const size_t close = text.find(text[j], j + 1);
                if (close == std::string_view::npos) return std::nullopt;
                value = text.substr(j + 1, close - j - 1);
                j = close + 1;
            } else {
                const size_t valueStart = j;
                while (j < text.size() && !isSpace(text[j]) && text[j] != '>') ++j;
                value = text.substr(valueStart, j - valueStart);
            }
            i = j;
        }
        if (tag.kind == MarkupTag::Kind::start) tag.attributes.emplace_back(std::move(key), std::move(value));
    }
    return std::nullopt;
}

}  // namespace kova
