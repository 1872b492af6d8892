// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sorting western (windows-1252) keys: each byte by its sort value in the western ordering table, a ligature
// as its two letters, bytes of sort value 0 left out.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qp {

// A ligature byte and the two bytes it sorts as: the byte that stands for its first letter (0x01 to 0x05 in
// the ordering table) and its second letter.
struct Ligature {
    uint8_t ligature;
    uint8_t firstLetter;
    uint8_t secondLetter;
};

// The ligature table of western indexes, in the order it is written.
inline constexpr std::array<Ligature, 5> kLigatures = {{
    {0x8C, 0x01, 'E'},
    {0x9C, 0x02, 'e'},
    {0xC6, 0x03, 'E'},
    {0xE6, 0x04, 'e'},
    {0xDF, 0x05, 's'},
}};

// The sequence of sort values a key compares by; two keys compare as their sort keys do, byte by byte, a
// proper prefix first.
std::string westernSortKey(std::string_view key);

// A key byte (as a character U+0000 to U+00FF) by its sort value; a byte the ordering table ignores, and
// anything above U+00FF, by itself.
char16_t westernFold(char16_t byte);

}  // namespace qp
