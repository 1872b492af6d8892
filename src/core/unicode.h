// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// UTF-8 and UTF-16 (native char16_t units): the one place where code points are put together and taken apart.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qp {

constexpr char32_t kReplacementCharacter = 0xFFFD;

constexpr bool isHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool isLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
constexpr bool isSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

// The length of a UTF-8 sequence from its first byte (1 for bytes that cannot open one).
size_t utf8SequenceLength(uint8_t first);
void appendUtf8(uint32_t codePoint, std::string& out);
// One code point as one unit or a surrogate pair.
void appendUtf16(uint32_t codePoint, std::u16string& out);

// The code point at `i` (a surrogate pair taken together; a lone surrogate as itself); `i` moves past it.
uint32_t nextCodePoint(std::u16string_view text, size_t& i);

// The length of the longest beginning of UTF-8 text that is at most `limit` bytes and ends at a character
// boundary.
size_t utf8PrefixLength(std::string_view utf8, size_t limit);

// Appends UTF-8 as UTF-16. Malformed or overlong sequences, surrogates and values above U+10FFFF become
// U+FFFD; returns how many were replaced.
size_t appendUtf8AsUtf16(std::string_view utf8, std::u16string& out);
std::u16string utf8ToUtf16(std::string_view utf8);
// A lone surrogate becomes U+FFFD; returns how many were replaced.
size_t appendUtf16AsUtf8(std::u16string_view utf16, std::string& out);
std::string utf16ToUtf8(std::u16string_view utf16);

}  // namespace qp
