// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Phonetic rule strings of the spell checker. A rule string is a sequence of rules written in digits and
// letters. Each rule is one digit, its total length n, then four fields, each a digit giving its length
// followed by that many characters: the left context, the letters matched, the right context and the
// replacement; the four lengths add up to n. "41e1t1$1t" matches "t" after "e" at the end of a word and writes
// the code "t"; "403sch01S" matches "sch" anywhere and writes "S".
//
// Indexing a rule string checks every rule and fills the first-rule table (SPL6): for each byte, the offset of
// the first rule whose matched letters begin with that byte, 0xFFFF when no rule does. A rule string passes when
//  - every length is a digit and the four field lengths of each rule add up to its total;
//  - no rule runs past the end of the string;
//  - no field holds a digit 1 to 8;
//  - the matched letters are not empty and do not begin with a capital A to Z or "$";
//  - the rules whose matched letters begin with the same byte stand together, so that a reader may stop at the
//    first rule of another byte;
//  - every rule begins below offset 0xFFFF, the largest offset the table can hold.
// The first four are the checks of a single rule, the last two those of the whole string.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qp {

inline constexpr uint16_t kNoPhoneticRule = 0xFFFF;

struct PhoneticRule {
    std::string_view left;
    std::string_view matched;
    std::string_view right;
    std::string_view replacement;
    size_t size = 0;  // bytes the rule takes in the string
};

enum class PhoneticRuleFault {
    none,
    lengthNotDigit,
    lengthsDoNotAddUp,
    runsPastEnd,
    digitInField,
    badMatchedLetters,
    scatteredRules,
    beyondTableReach,
};

// What the index header record says about the rules, gathered while they are checked. The eleven values are
// written in this order (header offsets 100 to 140); a reader may use them to size its buffers and to know how
// far around a letter the rules look.
struct PhoneticRuleFacts {
    uint32_t ruleCount = 0;
    uint32_t firstByteCount = 0;  // bytes that begin at least one rule (SPL6 entries other than 0xFFFF)
    uint32_t longestLeftContext = 0;
    uint32_t longestMatch = 0;
    uint32_t longestRightContext = 0;
    uint32_t longestReplacement = 0;
    uint32_t leftContextRules = 0;   // rules with a left context
    uint32_t rightContextRules = 0;  // rules with a right context
    uint32_t boundaryRules = 0;      // rules whose contexts test a word boundary ("$")
    uint32_t silentRules = 0;        // rules with an empty replacement
    uint32_t largestGroup = 0;       // the most rules that begin with one byte

    std::array<uint32_t, 11> values() const;
};

struct PhoneticRuleIndex {
    std::array<uint16_t, 256> firstRule{};
    PhoneticRuleFacts facts;
};

// Reads the rule that begins at offset and makes the checks of a single rule.
PhoneticRuleFault readPhoneticRule(std::string_view rules, size_t offset, PhoneticRule& rule);

// Checks the whole rule string and fills the index; the first fault found ends the check.
PhoneticRuleFault indexPhoneticRules(std::string_view rules, PhoneticRuleIndex& index);

}  // namespace qp
