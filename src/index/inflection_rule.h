// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Inflection rules: how the key of a lookup entry becomes one of its inflected forms, as an inflection index
// stores it.
//
// A reader takes the key as it decodes it from the lookup index (the folded characters of a Unicode index, the
// bytes of a western one) and applies the parts of a rule with two cursors, one at the key's front and one at
// its end:
//   1 put in front: characters inserted at the front cursor, which moves past them;
//   4 take off the beginning: characters removed at the front cursor, each checked against the rule;
//   2 add at the end: characters written last first, each inserted at the end cursor, which stays where it is;
//   3 take off the end: characters removed before the end cursor, written last first, each checked.
// A removed character that is not the one the rule names makes a reader reject the whole index, so the
// characters a rule takes off are those of the key as the reader decodes it. Those it adds are the form's as
// written.
//
// Where the rule splits the words: when the key and the form begin alike (compared through the index's
// folding), the rule has ending parts only, from the first character in which they differ. The key's first
// character is then never touched, so the rule works on the folded key and on the key as written alike. The
// ending reaches back one character into the common beginning when that is 2 characters or longer, so that a
// rule also says where it applies: "run" -> "running" takes off "n" and adds "nning".
// Words that begin differently are aligned on their longest common run (through the folding): the key is
// a + run + b, the form c + run + d. The beginnings a and c and the endings b and d are each extended by the run's
// character next to them (a run of one character goes to the ending). Words without a common character give a
// rule that takes the whole key off as an ending and adds the whole form.
#include <optional>
#include <string>
#include <string_view>

namespace qp {

// How an index compares characters: the character it sorts by.
using FoldFunction = char16_t (*)(char16_t);

// The four parts of a rule, each in reading order.
struct InflectionRule {
    std::u16string putInFront;
    std::u16string takeOffBeginning;
    std::u16string addEnding;
    std::u16string takeOffEnding;

    bool operator==(const InflectionRule&) const = default;
};

// The rule that turns `key` into `form`; a rule without parts when they are equal through the folding.
InflectionRule inflectionRule(std::u16string_view key, std::u16string_view form, FoldFunction fold);

// The form that a rule makes of a key, applied strictly: nothing when a character it takes off is not there.
std::optional<std::u16string> applyRule(std::u16string_view key, const InflectionRule& rule);

// Characters are UTF-16 units, or in a western index its windows-1252 bytes, one unit each.
// The bytes of a rule in the inflection index's code page: each non-empty part as its code byte and its
// characters (UTF-8, or the western bytes as they are), endings last character first. Nothing when a
// character would read as a code byte (1 to 4), or a western character is not a byte.
std::optional<std::string> encodeRule(const InflectionRule& rule, bool utf8);
// The rule that bytes hold; nothing when they do not begin with a code byte.
std::optional<InflectionRule> decodeRule(std::string_view bytes, bool utf8);

// An old-style rule: the key's remainder after the common beginning of key and form (compared through the
// folding), and the form's remainder. When the form is wholly the beginning of the key, the common beginning
// gives up its last character so that both parts start with it. Nothing for words equal through the folding
// or a common beginning under 2 characters.
struct OldStyleRule {
    std::u16string first;
    std::u16string second;
};
std::optional<OldStyleRule> oldStyleRule(std::u16string_view key, std::u16string_view form, FoldFunction fold);

// The bytes: 0x00, the first part, 0x00, the second part, and 0x00 and the number when there is one (as
// decimal digits). Zero characters inside the parts are written as spaces.
std::optional<std::string> encodeOldStyleRule(const OldStyleRule& rule, std::optional<unsigned> number, bool utf8);

// Characters in the inflection index's code page and back (see encodeRule).
std::optional<std::string> encodeRuleText(std::u16string_view text, bool utf8);
std::u16string decodeRuleText(std::string_view bytes, bool utf8);

}  // namespace qp
