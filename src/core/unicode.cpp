// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unicode.h"

namespace qp {

size_t utf8SequenceLength(uint8_t first) {
    if (first >= 0xC0 && first <= 0xDF) return 2;
    if (first >= 0xE0 && first <= 0xEF) return 3;
    if (first >= 0xF0 && first <= 0xF7) return 4;
    return 1;
}

void appendUtf8(uint32_t codePoint, std::string& out) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

void appendUtf16(uint32_t codePoint, std::u16string& out) {
    if (codePoint >= 0x10000) {
        codePoint -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(codePoint));
    }
}

uint32_t nextCodePoint(std::u16string_view text, size_t& i) {
    const uint32_t unit = text[i++];
    if (isHighSurrogate(unit) && i < text.size() && isLowSurrogate(text[i])) {
        return 0x10000 + ((unit - 0xD800) << 10) + (text[i++] - 0xDC00);
    }
    return unit;
}

size_t utf8PrefixLength(std::string_view utf8, size_t limit) {
    if (utf8.size() <= limit) return utf8.size();
    size_t end = limit;
    while (end > 0 && (static_cast<uint8_t>(utf8[end]) & 0xC0) == 0x80) --end;
    return end;
}

size_t appendUtf8AsUtf16(std::string_view bytes, std::u16string& out) {
    size_t replaced = 0;
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        const auto first = static_cast<uint8_t>(bytes[i]);
        if (first < 0x80) {
            out.push_back(first);
            ++i;
            continue;
        }
        size_t length = 0;
        uint32_t codePoint = 0;
        uint32_t minimum = 0;
        if (first >= 0xC2 && first <= 0xDF) {
            length = 2, codePoint = first & 0x1F, minimum = 0x80;
        } else if (first >= 0xE0 && first <= 0xEF) {
            length = 3, codePoint = first & 0x0F, minimum = 0x800;
        } else if (first >= 0xF0 && first <= 0xF4) {
            length = 4, codePoint = first & 0x07, minimum = 0x10000;
        } else {
            out.push_back(kReplacementCharacter);
            ++replaced;
            ++i;
            continue;
        }
        size_t k = 1;
        for (; k < length && i + k < n && (static_cast<uint8_t>(bytes[i + k]) & 0xC0) == 0x80; ++k)
            codePoint = (codePoint << 6) | (static_cast<uint8_t>(bytes[i + k]) & 0x3F);
        i += k;
        if (k < length || codePoint < minimum || codePoint > 0x10FFFF || isSurrogate(codePoint)) {
            out.push_back(kReplacementCharacter);
            ++replaced;
            continue;
        }
        appendUtf16(codePoint, out);
    }
    return replaced;
}

std::u16string utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    appendUtf8AsUtf16(utf8, out);
    return out;
}

size_t appendUtf16AsUtf8(std::u16string_view text, std::string& out) {
    size_t replaced = 0;
    for (size_t i = 0; i < text.size();) {
        uint32_t codePoint = nextCodePoint(text, i);
        if (isSurrogate(codePoint)) {
            codePoint = kReplacementCharacter;
            ++replaced;
        }
        appendUtf8(codePoint, out);
    }
    return replaced;
}

std::string utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    appendUtf16AsUtf8(utf16, out);
    return out;
}

}  // namespace qp
