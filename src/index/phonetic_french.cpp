// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/phonetic_languages.h"

namespace qp {

namespace {

constexpr std::string_view kRules =
    "31$1a01A"  // a vowel that begins a word is kept as A
    "302ch01S"  // chat
    "302ck01k"
    "502cc1e2kz"  // cc before e or i: accent, accident
    "502cc1i2kz"
    "301c1e1z"  // c before e, i or y: ceci, cygne; any other c is k
    "301c1i1z"
    "301c1y1z"
    "201d1$0"  // d at the end is silent: pied
    "31$1e01A"
    "402gu1e1g"  // gu before e or i is a hard g: guerre, guide
    "402gu1i1g"
    "302gn01N"  // montagne
    "301g1e1j"  // g before e, i or y sounds as j: genou, girafe, gymnase
    "301g1i1j"
    "301g1y1j"
    "41$1h1A1A"   // h is silent: a word that begins with h and a vowel begins with the vowel
    "51A2il1$1y"  // il at the end after a vowel: soleil, travail
    "31$1i01A"
    "41i2ll01y"  // ll after i: fille, famille
    "302oi01w"   // moi, oiseau
    "31$1o01A"
    "302ph01f"
    "302qu01k"
    "201q01k"
    "201s1$0"  // s, t, x and z at the end are silent: gros, chat, deux, nez
    "302th01t"
    "501t3ion1z"  // nation
    "201t1$0"
    "31$1u01A"
    "201x1$0"
    "301x02kz"
    "201z1$0"
    "31$1\x9C"
    "01A"  // oe at the start, small or capital: oeuvre
    "31$1\x8C"
    "01A";

// s between vowels sounds as z and the two are written alike; m and n sound alike before consonants.
constexpr std::string_view kSounds = "bbckddffggjjkkllmnnnpprrszttvvwwzz";

// gn is written as n: montagne, montanie.
constexpr std::string_view kClasses = "AAbbddffggjjkkllNnnnpprrSSttvvwwyyzz";

constexpr PhoneticLanguage kFrench{12, kRules, kSounds, kClasses};

}  // namespace

const PhoneticLanguage& frenchPhonetics() { return kFrench; }

}  // namespace qp
