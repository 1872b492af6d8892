// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The letter classes of the spell checker, one per windows-1252 byte, as the rule contexts test them: "A" for
// a vowel (a, e, i, o, u, y, their capitals and accented forms, and the ligatures ae and oe), "C" for a
// consonant (the other letters a to z, their capitals and accented forms, sharp s, f with hook and the micro
// sign, which sorts as m), 0 for a byte that is no letter.
#include <array>
#include <cstdint>

namespace qp {

inline constexpr uint8_t kVowelClass = 'A';
inline constexpr uint8_t kConsonantClass = 'C';

std::array<uint8_t, 256> phoneticLetterClasses();

}  // namespace qp
