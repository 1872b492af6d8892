// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The phonetic form of a word: its key in the spell index of a dictionary, so that a misspelling that sounds
// the same finds the word. A reading device computes the form of a typed word from the spell tables of the
// index header record alone (SPL1 to SPL6, PhoneticTables), so these steps are the whole contract between a
// book and its readers. Words, letters and codes are windows-1252 bytes.
//
//  1. Normalising. Each byte b of the word is looked up in SPL1. When SPL1[b] is not 0 and is a letter
//     (SPL2[SPL1[b]] is not 0), that letter takes b's place. When SPL1[b] is 0 but b is a letter itself
//     (SPL2[b] is not 0: the ligatures and sharp s), b stays as it is. Any other byte (digits, spaces,
//     punctuation) is left out. The result is the normalised word w, of n letters.
//  2. Walking. A position i runs through w from 0 to n, one step at a time. Each step searches the rules at i
//     (step 3). When a rule matches, the step's codes are the rule's replacement and i moves past the rule's
//     matched letters. When none matches, the step's code is SPL4[w[i]] (the step has no code when that is 0)
//     and i moves on by one.
//  3. Searching. For c = w[i], SPL6[c] (the big-endian 16-bit value at byte 2c of SPL6) is the offset in SPL3
//     of the first rule whose matched letters begin with c; 0xFFFF means there is none. From there the rules are
//     read in string order (grammar in phonetic_rules.h). The search ends at the first rule whose matched letters
//     do not begin with c, at a rule that breaks the grammar or the checks of a single rule, or at the end of
//     SPL3; the first rule that matches on the way is taken.
//  4. Matching. A rule matches at i when its matched letters equal w[i], w[i+1], ... byte for byte within w,
//     its left context (read from left to right) fits the positions that end just before i, and its right
//     context fits the positions that begin just after the matched letters. For the contexts w has a word
//     boundary at position -1 (before its first letter) and at position n (after its last); positions further
//     out fit nothing. A context character "$" fits only a boundary. "A" fits a letter of class "A" in SPL2,
//     "C" a letter of class "C"; any other character fits only a letter equal to it.
//  5. Classing. Each code x of a step is replaced by SPL5[x]; a code whose SPL5 entry is 0 is dropped.
//  6. Collapsing. The codes are written to the form in order, except a code equal to the one before it. A step
//     that keeps no code (a vowel, a silent letter) parts its neighbours: the same code after it is written
//     again. So "letter" and "leter" give one form, while the two t of "tot" stay.
//  7. The form keeps at most its first 255 codes.
//  8. A word whose form is empty (no letters, or only letters that keep no code) cannot be phonetized.
//
// The other spell fields of the header (the rule facts, 65, 90, 36 and 4) are not needed to compute a form.
#include <cstddef>
#include <string>
#include <string_view>

#include "index/phonetic_tables.h"

namespace qp {

inline constexpr size_t kLongestPhoneticForm = 255;

// The phonetic form of a key given in windows-1252; empty when the key cannot be phonetized.
std::string phoneticForm(const PhoneticTables& tables, std::string_view key);

}  // namespace qp
