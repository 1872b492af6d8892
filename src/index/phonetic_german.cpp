// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/phonetic_languages.h"

namespace qp {

namespace {

constexpr std::string_view kRules =
    "31$1a01A"    // a vowel that begins a word is kept as A (umlauts are normalised to their vowel)
    "503chs02kz"  // sechs, Fuchs
    "302ch01X"    // Bach, ich
    "302ck01k"
    "301c1e1Z"  // c before e or i: Cent, Circus; any other c is k
    "301c1i1Z"
    "31$1e01A"
    "41i1g1$1X"  // ig at the end: König
    "31$1h01h"   // h at the start is sounded; elsewhere it only lengthens a vowel: gehen, Kuh
    "31$1i01A"
    "31$1o01A"
    "302ph01f"
    "302pf01f"  // Pferd, Apfel
    "402qu02kw"
    "403sch01S"
    "51$2sp02Sb"  // sp and st at the start: Spiel, Stein
    "51$2st02St"
    "504tsch01C"  // deutsch
    "302tz01Z"    // Katze
    "302th01t"    // Theater
    "501t3ion1Z"  // Nation
    "31$1u01A"
    "301x02kz";

// Final devoicing makes b and p, d and t, g and k alike; s sounds as z, v as f; z is ts (Z); sharp s is s.
constexpr std::string_view kSounds = "bbckdtffgkjjkkllmnnnpbrrszttvfwwzZ\xDF"
                                     "z";

// tsch is written as sch.
constexpr std::string_view kClasses = "AAbbCSffhhjjkkllnnrrSSttwwXXzzZZ";

constexpr PhoneticLanguage kGerman{7, kRules, kSounds, kClasses};

}  // namespace

const PhoneticLanguage& germanPhonetics() { return kGerman; }

}  // namespace qp
