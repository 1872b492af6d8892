// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shared character classification table: 256 entries indexed by the Windows-1252 code of a character.
#include <cstdint>

namespace qp {

enum class LetterClass : uint16_t { Other = 0, Consonant = 1, Vowel = 2, Punctuation = 3, Space = 4 };

// Column 1: bits 0-2 letter class, bits 3-7 character category.
uint16_t charFlags(uint16_t ch);
LetterClass letterClass(uint16_t ch);
uint16_t charCategory(uint16_t ch);
// Columns 2 to 4: lower-case form, upper-case form, base letter (first character of the decomposition).
uint16_t charLower(uint16_t ch);
uint16_t charUpper(uint16_t ch);
uint16_t charBase(uint16_t ch);

// The Windows-1252 byte of a UTF-16 character, or -1 when it has none (characters below 256 map to themselves
// except 0x80-0x9F, which are looked up).
int windows1252Byte(uint16_t ch);

}  // namespace qp
