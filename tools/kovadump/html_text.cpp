// SPDX-License-Identifier: GPL-3.0-or-later
#include "html_text.h"

#include <cstdint>
#include <optional>

#include "text_encoding.h"

namespace kova {

namespace {

bool isReferenceCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '#';
}

// Length of the character reference at text[at] ('&' up to ';'), or 0 when none starts there.
size_t referenceLength(std::string_view text, size_t at) {
    constexpr size_t longest = 32;
    size_t i = at + 1;
    while (i < text.size() && i - at <= longest && isReferenceCharacter(text[i])) ++i;
    return i < text.size() && text[i] == ';' && i > at + 1 ? i + 1 - at : 0;
}

std::optional<uint32_t> numericReference(std::string_view name) {
    if (name.size() < 2 || name[0] != '#') return std::nullopt;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    uint32_t value = 0;
    for (size_t i = hex ? 2 : 1; i < name.size(); ++i) {
        const char c = name[i];
        uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            digit = static_cast<uint32_t>((c | 0x20) - 'a' + 10);
        else
            return std::nullopt;
        value = value * (hex ? 16 : 10) + digit;
        if (value > 0x10FFFF) return std::nullopt;
    }
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF)) return std::nullopt;
    return value;
}

}  // namespace

void appendHtmlText(std::string& out, std::string_view utf8) {
    for (size_t i = 0; i < utf8.size(); ++i) {
        // A plain loop: find_first_of looks each byte up in the set with a call of its own.
        size_t plain = i;
        while (plain < utf8.size() && utf8[plain] != '<' && utf8[plain] != '>' && utf8[plain] != '&') ++plain;
        out.append(utf8.substr(i, plain - i));
        if (plain == utf8.size()) return;
        i = plain;
        const char c = utf8[i];
        if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c == '&') {
            const size_t length = referenceLength(utf8, i);
            if (length == 0) {
                out += "&amp;";
            } else {
                out.append(utf8.substr(i, length));
                i += length - 1;
            }
        }
    }
}

void appendHtmlText(std::string& out, std::string_view text, uint32_t textEncoding) {
    if (textEncoding == codePageUtf8) {
        appendHtmlText(out, text);
        return;
    }
    // Runs of ASCII go as they are; each other byte becomes the UTF-8 of its Windows-1252 character.
    for (size_t i = 0; i < text.size();) {
        size_t end = i;
        while (end < text.size() && static_cast<uint8_t>(text[end]) < 0x80) ++end;
        appendHtmlText(out, text.substr(i, end - i));
        if (end < text.size()) appendUtf8(out, characterOf1252(static_cast<uint8_t>(text[end++])));
        i = end;
    }
}

std::string htmlAttribute(std::string_view utf8) {
    std::string out;
    for (char c : utf8) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string decodeBasicReferences(std::string_view utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const size_t length = utf8[i] == '&' ? referenceLength(utf8, i) : 0;
        if (length == 0) {
            out += utf8[i];
            continue;
        }
        const std::string_view name = utf8.substr(i + 1, length - 2);
        uint32_t character = 0;
        if (name == "amp")
            character = '&';
        else if (name == "lt")
            character = '<';
        else if (name == "gt")
            character = '>';
        else if (name == "quot")
            character = '"';
        else if (name == "apos")
            character = '\'';
        else if (name == "nbsp")
            character = 0xA0;
        else if (const std::optional<uint32_t> number = numericReference(name))
            character = *number;
        if (character == 0) {
            out += utf8[i];
            continue;
        }
        appendUtf8(out, character);
        i += length - 1;
    }
    return out;
}

}  // namespace kova
