// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The phonetic form of a word, as a reading device computes it to find a misspelled word in a dictionary's
// spell index: from the six spell tables of the index header record alone. SPL1 normalises the bytes, SPL2
// gives the letter classes, SPL3 holds the rules, SPL4 sounds a letter that no rule matches, SPL5 gives the
// class each code is written as, and SPL6 points at the first rule of each byte.
//
// Tables from a damaged book are read safely: a byte outside a table reads as 0, an SPL6 entry outside its
// table as "no rule", and a rule that breaks the grammar ends the search for rules.
#include <string>
#include <string_view>

#include "byte_view.h"

namespace kova {

struct SpellTables {
    ByteView spl1;
    ByteView spl2;
    ByteView spl3;
    ByteView spl4;
    ByteView spl5;
    ByteView spl6;
};

// The phonetic form of a windows-1252 word: at most 255 codes; empty when the word cannot be phonetized.
std::string phoneticForm(const SpellTables& tables, std::string_view word);

}  // namespace kova
