// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The phonetic data of the languages the spell checker knows: the rule string (grammar in phonetic_rules.h)
// and two byte maps, each written as pairs of bytes: a byte, then what it maps to; bytes not listed map to 0.
//  - The sound map (SPL4) gives the code a letter is sounded as where no rule matches it. 0: the letter is
//    not sounded on its own (vowels, and letters that only rules sound, such as q and x).
//  - The class map (SPL5) gives the class in which each code is written into the phonetic form. The rules and
//    the sound map describe sounds; the class map decides which of them the form keeps apart: it merges the
//    sounds that writers of the language mistake for one another, and it maps every code that the form does
//    not use to 0.
// Codes are small letters for the sounds of plain letters and capitals for sounds without a letter of their
// own ("S" the sh sound, "C" the ch sound, "T" the th sound, "X" the German ch, "Z" the German z, "J" the Italian
// soft g, "L" and "N" palatal l and n). "A" marks a vowel that begins a word: vowels elsewhere leave no code.
#include <cstdint>
#include <string_view>

namespace qp {

struct PhoneticLanguage {
    uint32_t language;  // primary language code
    std::string_view rules;
    std::string_view sounds;
    std::string_view classes;
};

const PhoneticLanguage& germanPhonetics();
const PhoneticLanguage& englishPhonetics();
const PhoneticLanguage& spanishPhonetics();
const PhoneticLanguage& frenchPhonetics();
const PhoneticLanguage& italianPhonetics();

// The data of a language code (only its primary language, the low 10 bits, counts); nothing for a language
// without phonetic data of its own.
const PhoneticLanguage* findPhoneticLanguage(uint32_t language);

}  // namespace qp
