// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The character ranges of a book: the Unicode blocks that hold at least one character of its text. The build
// names them on the console and stores them in metadata record 300, so that a reader can tell before opening
// the text which scripts (and so which fonts) the book needs.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qp {

struct CharacterRange {
    uint32_t first;
    uint32_t last;
    std::string name;  // the block's name from the Unicode data ("Basic Latin")
};

// The blocks used by a text in `codePage` (65001, or an 8-bit code page), in ascending order. Code points
// outside every block count by the aligned run of 16 that holds them.
std::vector<CharacterRange> characterRanges(std::span<const uint8_t> text, int32_t codePage);

// The value of record 300: for each range its first and then its last code point, each as 4 bytes
// big-endian, in ascending order. No range gives an empty value.
std::vector<uint8_t> encodeCharacterRanges(const std::vector<CharacterRange>& ranges);

// "U+0000-U+007F Basic Latin", as the console shows a range.
std::string describeCharacterRange(const CharacterRange& range);

}  // namespace qp
