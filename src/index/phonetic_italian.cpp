// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/phonetic_languages.h"

namespace qp {

namespace {

constexpr std::string_view kRules =
    "31$1a01A"   // a vowel that begins a word is kept as A
    "302ch01k"   // chiesa
    "402cc1e1C"  // cc and c before e or i: accento, cena; any other c is k
    "402cc1i1C"
    "301c1e1C"
    "301c1i1C"
    "31$1e01A"
    "403gli01L"  // famiglia
    "302gn01N"   // compagnia
    "302gh01g"   // ghiaccio
    "402gg1e1J"  // gg and g before e or i: oggi, gelato
    "402gg1i1J"
    "301g1e1J"
    "301g1i1J"
    "41$1h1A1A"  // h is silent: a word that begins with h and a vowel begins with the vowel
    "31$1i01A"
    "31$1o01A"
    "402qu02kw"   // quando
    "503sch02sk"  // schiena
    "402sc1e1S"   // sc before e or i: scena, pesce
    "402sc1i1S"
    "31$1u01A"
    "301x02ks";  // taxi

// m and n sound alike before consonants: impossibile.
constexpr std::string_view kSounds = "bbckddffggjjkkllmnnnpprrssttvvwwzz";

// gli is written as l and gn as n: famiglia, familia; compagnia, compania.
constexpr std::string_view kClasses = "AAbbCCddffggJJjjkkLlllNnnnpprrssSSttvvwwzz";

constexpr PhoneticLanguage kItalian{16, kRules, kSounds, kClasses};

}  // namespace

const PhoneticLanguage& italianPhonetics() { return kItalian; }

}  // namespace qp
