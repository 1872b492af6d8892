// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Conversions between the encodings a book uses (windows-1252, UTF-8, UTF-16) and UTF-8 for display.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "byte_view.h"

namespace kova {

constexpr uint32_t codePage1252 = 1252;
constexpr uint32_t codePageUtf8 = 65001;
constexpr uint32_t codePageUtf16 = 65002;

constexpr uint32_t replacementCharacter = 0xFFFD;

// The character a windows-1252 byte stands for (its five unassigned bytes stand for themselves).
uint32_t characterOf1252(uint8_t byte);

// The windows-1252 byte of a character; nothing when the code page lacks it.
std::optional<uint8_t> byteOf1252(uint32_t character);

// Writes the UTF-8 of a character (U+FFFD for a surrogate or beyond U+10FFFF); returns its length, 1 to 4.
size_t encodeUtf8(char* out, uint32_t character);
void appendUtf8(std::string& out, uint32_t character);

std::string utf8From1252(ByteView bytes);

// UTF-16 little-endian, as the writer keeps 65002 text; lone surrogates become U+FFFD.
std::string utf8FromUtf16le(ByteView bytes);

// Bytes in a book's text encoding (1252 or UTF-8) as UTF-8.
std::string utf8FromTextEncoding(ByteView bytes, uint32_t textEncoding);
std::string utf8FromTextEncoding(const std::string& bytes, uint32_t textEncoding);

// The characters of UTF-8 text; nothing when it is not well-formed UTF-8.
std::optional<std::vector<uint32_t>> utf8Characters(const std::string& text);

}  // namespace kova
