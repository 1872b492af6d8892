// SPDX-License-Identifier: GPL-3.0-or-later
#include "html_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "text_encoding.h"

namespace kova {

namespace {

// What a byte of the text needs: escaping ('<', '>', '&'), or conversion in Windows-1252 text (from 0x80).
constexpr uint8_t escaped = 1;
constexpr uint8_t converted = 2;
constexpr std::array<uint8_t, 256> byteWork = [] {
    std::array<uint8_t, 256> work{};
    work['<'] = work['>'] = work['&'] = escaped;
    for (size_t b = 0x80; b < work.size(); ++b) work[b] = converted;
    return work;
}();

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

void appendHtmlText(std::string& out, std::string_view utf8) { appendHtmlText(out, utf8, codePageUtf8); }

void appendHtmlText(std::string& out, std::string_view text, uint32_t textEncoding) {
    // Bytes from 0x80 of Windows-1252 text become the UTF-8 of their characters.
    const uint8_t work = textEncoding == codePageUtf8 ? escaped : escaped | converted;
    for (size_t i = 0; i < text.size();) {
        // What needs no work goes as a run; a plain loop, as find_first_of calls out for each byte.
        size_t plain = i;
        while (plain < text.size() && !(byteWork[static_cast<uint8_t>(text[plain])] & work)) ++plain;
        out.append(text.substr(i, plain - i));
        if (plain == text.size()) return;
        i = plain;
        const char c = text[i++];
        if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c != '&') {
            appendUtf8(out, characterOf1252(static_cast<uint8_t>(c)));
        } else if (const size_t length = referenceLength(text, i - 1)) {
            out.append(text.substr(i - 1, length));
            i += length - 1;
        } else {
            out += "&amp;";
        }
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
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        const size_t reference = std::min(utf8.find('&', i), utf8.size());
        out.append(utf8.substr(i, reference - i));
        if (reference == utf8.size()) break;
        i = reference;
        const size_t length = referenceLength(utf8, i);
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
