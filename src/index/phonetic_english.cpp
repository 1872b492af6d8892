// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/phonetic_languages.h"

namespace qp {

namespace {

constexpr std::string_view kRules =
    "31$1a01A"   // a vowel that begins a word is kept as A
    "31m1b1$0"   // b after m at the end is silent: lamb, climb
    "402ch1r1k"  // ch before r: chrome
    "302ch01C"   // church
    "302ck01k"   // back
    "41s1c1i1z"  // c between s and i: science
    "402ci1A1S"  // ci before a vowel: special, social
    "301c1a1k"   // c before a, o, u, a consonant or at the end is hard; any other c is soft
    "301c1o1k"
    "301c1u1k"
    "301c1C1k"
    "301c1$1k"
    "402dg1e1j"  // edge, judge
    "31$1e01A"
    "41$2gh01k"  // gh at the start: ghost; elsewhere silent: night, though
    "202gh00"
    "41$2gn01n"  // gn at the start or the end: gnome, sign
    "402gn1$1n"
    "302gg01k"  // egg, bigger
    "301g1e1j"  // g before e, i or y is soft: gem, giant, gym
    "301g1i1j"
    "301g1y1j"
    "301h1A1h"  // h before a vowel is sounded, elsewhere silent: oh, John
    "31$1i01A"
    "41$2kn01n"  // kn at the start: knee
    "31$1o01A"
    "302ph01f"
    "41$2ps01z"  // ps and pn at the start: psalm, pneumonia
    "41$2pn01n"
    "402qu02kw"
    "201q01k"
    "403sch01S"
    "302sh01S"
    "603ssi2on1S"  // mission, tension
    "502si2on1S"
    "41e1t1$1t"  // t after e at the end: net, ballet
    "403tch01C"  // watch
    "302th01T"
    "402ti1o1S"  // ti before o or a: nation, initial
    "402ti1a1S"
    "31$1u01A"
    "41$2wr01r"  // wr at the start: write
    "302wh01w"   // which
    "301w1A1w"   // w before a vowel is sounded, elsewhere silent: saw, bowl
    "31$1x01z"   // x at the start: xylophone; elsewhere ks: box
    "301x02kz"
    "41$1y1A1y"  // y before a vowel at the start is a consonant: yes; before a consonant a vowel: ypsilon
    "31$1y01A";

// c and s sound alike (z), and so do d and t, m and n, p and b, v and f; g without a rule is hard (k).
constexpr std::string_view kSounds = "bbczdtffgkjjkkllmnnnpbrrszttvfzz\xDF"
                                     "z";

// The ch sound is written as sh: chef, machine.
constexpr std::string_view kClasses = "AAbbCSffhhjjkkllnnrrSSttTTwwyyzz";

constexpr PhoneticLanguage kEnglish{9, kRules, kSounds, kClasses};

}  // namespace

const PhoneticLanguage& englishPhonetics() { return kEnglish; }

}  // namespace qp
