// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Conversion of 8-bit and multi-byte code pages to and from UTF-16 little-endian. Windows-1252, ASCII (20105)
// and UTF-8 (65001) are converted here; every other code page goes through iconv.
#include <cstdint>
#include <string>
#include <string_view>

namespace qp {

struct DecodeResult {
    bool supported = true;  // false: the code page is unknown to the converter, nothing was produced
    size_t invalid = 0;     // byte sequences that were replaced by U+FFFD
    bool lossy = false;     // characters were changed (ASCII keeps only the low 7 bits)
};

struct EncodeResult {
    bool supported = true;  // false: the code page is unknown to the converter, nothing was produced
    bool lossy = false;     // characters without a form in the code page were replaced by '?'
};

// Appends the UTF-16 form of bytes in a code page to `out`.
DecodeResult decodeToUtf16(int32_t codePage, std::string_view bytes, std::u16string& out);
// Appends the code-page form of UTF-16 text to `out`.
EncodeResult encodeFromUtf16(int32_t codePage, std::u16string_view text, std::string& out);

// The iconv name of a Windows code page ("" when there is none).
std::string iconvNameOfCodePage(int32_t codePage);

}  // namespace qp
