// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/phonetic_letter_classes.h"

#include <cstddef>

namespace qp {

namespace {

struct ByteRange {
    uint8_t first;
    uint8_t last;
};

constexpr ByteRange kVowels[] = {
    {'a', 'a'},
    {'e', 'e'},
    {'i', 'i'},
    {'o', 'o'},
    {'u', 'u'},
    {'y', 'y'},
    {'A', 'A'},
    {'E', 'E'},
    {'I', 'I'},
    {'O', 'O'},
    {'U', 'U'},
    {'Y', 'Y'},
    {0x8C, 0x8C},
    {0x9C, 0x9C},
    {0x9F, 0x9F},  // OE, oe, Y with
                   // diaeresis
    {0xC0, 0xC6},
    {0xC8, 0xCF},
    {0xD2, 0xD6},
    {0xD8, 0xDD},  // accented capitals, AE, O with stroke
    {0xE0, 0xE6},
    {0xE8, 0xEF},
    {0xF2, 0xF6},
    {0xF8, 0xFD},
    {0xFF, 0xFF},
};

constexpr ByteRange kConsonants[] = {
    {'a', 'z'},   {'A', 'Z'},  // the vowels among them are marked afterwards
    {0x83, 0x83}, {0x8A, 0x8A}, {0x8E, 0x8E}, {0x9A, 0x9A}, {0x9E, 0x9E}, {0xB5, 0xB5},
    {0xC7, 0xC7}, {0xD0, 0xD1}, {0xDE, 0xDF}, {0xE7, 0xE7}, {0xF0, 0xF1}, {0xFE, 0xFE},
};

template <size_t N>
void mark(std::array<uint8_t, 256>& classes, const ByteRange (&ranges)[N], uint8_t letterClass) {
    for (const ByteRange& range : ranges) {
        for (unsigned byte = range.first; byte <= range.last; ++byte) classes[byte] = letterClass;
    }
}

}  // namespace

std::array<uint8_t, 256> phoneticLetterClasses() {
    std::array<uint8_t, 256> classes{};
    mark(classes, kConsonants, kConsonantClass);
    mark(classes, kVowels, kVowelClass);
    return classes;
}

}  // namespace qp
