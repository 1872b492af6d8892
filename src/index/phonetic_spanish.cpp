// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/phonetic_languages.h"

namespace qp {

namespace {

constexpr std::string_view kRules =
    "31$1a01A"   // a vowel that begins a word is kept as A
    "302ch01C"   // chico
    "402cc02kz"  // accion
    "301c1e1z"   // c before e or i sounds as s and z: cero, cinco; any other c is k
    "301c1i1z"
    "31$1e01A"
    "402gu1e1g"  // gu before e or i is a hard g: guerra, guitarra
    "402gu1i1g"
    "301g1e1j"  // g before e or i sounds as j: gente, girar
    "301g1i1j"
    "51$2hu1A1w"  // hu before a vowel at the start: huevo
    "41$1h1A1A"   // h is silent: a word that begins with h and a vowel begins with the vowel
    "31$1i01A"
    "302ll01L"  // llave
    "31$1o01A"
    "302qu01k"  // queso
    "31$1u01A"
    "301x1C1z"  // x before a consonant sounds as s: extranjero; elsewhere ks: examen
    "301x02kz"
    "201y1$0";  // y at the end is a vowel: hoy, muy

// b and v sound alike, and so do s, z and soft c (z), m and n.
constexpr std::string_view kSounds = "bbckddffggjjkkllmnnnpprrszttvbwwyyzz";

// ll is written as y, as most speakers say it.
constexpr std::string_view kClasses = "AAbbCCddffggjjkkLyllnnpprrttwwyyzz";

constexpr PhoneticLanguage kSpanish{10, kRules, kSounds, kClasses};

}  // namespace

const PhoneticLanguage& spanishPhonetics() { return kSpanish; }

}  // namespace qp
