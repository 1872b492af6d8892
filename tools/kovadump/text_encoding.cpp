// SPDX-License-Identifier: GPL-3.0-or-later
#include "text_encoding.h"

namespace kova {

namespace {

// Characters of the bytes 0x80 to 0x9F; 0 where the byte is unassigned.
constexpr uint16_t windows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

}  // namespace

uint32_t characterOf1252(uint8_t byte) {
    if (byte >= 0x80 && byte <= 0x9F && windows1252High[byte - 0x80] != 0) return windows1252High[byte - 0x80];
    return byte;
}

std::optional<uint8_t> byteOf1252(uint32_t character) {
    if (character > 0xFF || (character >= 0x80 && character <= 0x9F && windows1252High[character - 0x80] != 0)) {
        for (unsigned i = 0; i < 32; ++i)
            if (windows1252High[i] == character) return static_cast<uint8_t>(0x80 + i);
        return std::nullopt;
    }
    return static_cast<uint8_t>(character);
}

size_t encodeUtf8(char* out, uint32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = replacementCharacter;
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    size_t length;
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | c >> 6);
        length = 2;
    } else if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | c >> 12);
        out[1] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        length = 3;
    } else {
        out[0] = static_cast<char>(0xF0 | c >> 18);
        out[1] = static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out[2] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        length = 4;
    }
    out[length - 1] = static_cast<char>(0x80 | (c & 0x3F));
    return length;
}

void appendUtf8(std::string& out, uint32_t c) {
    char bytes[4];
    out.append(bytes, encodeUtf8(bytes, c));
}

std::string utf8From1252(ByteView bytes) {
    // Written in place: each byte takes at most three bytes of UTF-8.
    std::string out(3 * bytes.size(), '\0');
    char* written = out.data();
    const uint8_t* const data = bytes.data();
    for (size_t i = 0, size = bytes.size(); i < size; ++i) {
        const uint8_t byte = data[i];
        if (byte < 0x80)
            *written++ = static_cast<char>(byte);
        else
            written += encodeUtf8(written, characterOf1252(byte));
    }
    out.resize(static_cast<size_t>(written - out.data()));
    return out;
}

std::string utf8FromUtf16le(ByteView bytes) {
    std::string out;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        uint32_t unit = bytes.u8(i) | uint32_t{bytes.u8(i + 1)} << 8;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            uint32_t low = bytes.u8(i + 2) | uint32_t{bytes.u8(i + 3)} << 8;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        appendUtf8(out, unit);
    }
    return out;
}

std::string utf8FromTextEncoding(ByteView bytes, uint32_t textEncoding) {
    return textEncoding == codePageUtf8 ? bytes.toString() : utf8From1252(bytes);
}

std::string utf8FromTextEncoding(const std::string& bytes, uint32_t textEncoding) {
    return utf8FromTextEncoding(ByteView(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), textEncoding);
}

std::optional<std::vector<uint32_t>> utf8Characters(const std::string& text) {
    std::vector<uint32_t> characters;
    for (size_t i = 0; i < text.size();) {
        uint8_t b = static_cast<uint8_t>(text[i]);
        size_t n = b < 0x80                 ? 1
                   : b >= 0xC2 && b <= 0xDF ? 2
                   : b >= 0xE0 && b <= 0xEF ? 3
                   : b >= 0xF0 && b <= 0xF4 ? 4
                                            : 0;
        if (n == 0 || i + n > text.size()) return std::nullopt;
        uint32_t c = n == 1 ? b : b & (0x7F >> n);
        for (size_t k = 1; k < n; ++k) {
            uint8_t next = static_cast<uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            c = c << 6 | (next & 0x3F);
        }
        bool overlong = (n == 3 && c < 0x800) || (n == 4 && c < 0x10000);
        if (overlong || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return std::nullopt;
        characters.push_back(c);
        i += n;
    }
    return characters;
}

}  // namespace kova
