// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/phonetic_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "index/phonetic_tables.h"

namespace {

using qp::PhoneticRuleFault;

// "ph" -> f, then t after e at the end, then th -> T.
constexpr const char* kTinyRules = "302ph01f"
                                   "41e1t1$1t"
                                   "302th01T";

TEST(PhoneticRules, EveryLanguagePassesTheChecks) {
    for (uint32_t language : {7u, 9u, 10u, 12u, 16u}) {
        qp::PhoneticTables tables;
        EXPECT_TRUE(tables.setUp(language)) << language << ": fault " << static_cast<int>(tables.ruleFault());
        EXPECT_FALSE(tables.fellBackToEnglish()) << language;
    }
}

TEST(PhoneticRules, AnotherLanguageFallsBackToEnglish) {
    qp::PhoneticTables dutch;
    qp::PhoneticTables english;
    ASSERT_TRUE(dutch.setUp(0x0413));
    ASSERT_TRUE(english.setUp(0x0809));
    EXPECT_TRUE(dutch.fellBackToEnglish());
    EXPECT_FALSE(english.fellBackToEnglish());
    EXPECT_EQ(dutch.spl3(), english.spl3());
    EXPECT_EQ(dutch.spl4(), english.spl4());
}

struct BrokenRules {
    const char* name;
    std::string rules;
    PhoneticRuleFault fault;
};

class BrokenRuleString : public ::testing::TestWithParam<BrokenRules> {};

TEST_P(BrokenRuleString, FailsTheSetUp) {
    qp::PhoneticTables tables;
    EXPECT_FALSE(tables.setUp(qp::PhoneticLanguage{9, GetParam().rules, "bb", "bb"}));
    EXPECT_EQ(tables.ruleFault(), GetParam().fault);
}

std::string rulesBeyondOffsetLimit() {
    std::string rules;
    while (rules.size() < 0xFFFF) rules += "201a01A";
    return rules + "201b01b";
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BrokenRuleString,
    ::testing::Values(
        BrokenRules{"LengthsDoNotAddUp", "302ph01f402ck01k", PhoneticRuleFault::lengthsDoNotAddUp},
        BrokenRules{"TotalIsNoDigit", "x02ph01f", PhoneticRuleFault::lengthNotDigit},
        BrokenRules{"FieldLengthIsNoDigit", "302phx1f", PhoneticRuleFault::lengthNotDigit},
        BrokenRules{"ReplacementRunsPastEnd", "302ph02f", PhoneticRuleFault::runsPastEnd},
        BrokenRules{"FieldsMissing", "302ph", PhoneticRuleFault::runsPastEnd},
        BrokenRules{"DigitInMatchedLetters", "302p301f", PhoneticRuleFault::digitInField},
        BrokenRules{"DigitInContext", "402ph181f", PhoneticRuleFault::digitInField},
        BrokenRules{"DigitInReplacement", "302ph015", PhoneticRuleFault::digitInField},
        BrokenRules{"MatchBeginsWithCapital", "302Ph01f", PhoneticRuleFault::badMatchedLetters},
        BrokenRules{"MatchBeginsWithEnd", "302$h01f", PhoneticRuleFault::badMatchedLetters},
        BrokenRules{"NothingMatched", "1001f0", PhoneticRuleFault::badMatchedLetters},
        BrokenRules{"RulesOfOneLetterApart", "302ph01f302th01T201p01b", PhoneticRuleFault::scatteredRules},
        BrokenRules{"RuleBeyondOffsetLimit", rulesBeyondOffsetLimit(), PhoneticRuleFault::beyondTableReach}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(PhoneticRules, FirstRuleOffsetsOfATinyRuleString) {
    qp::PhoneticTables tables;
    ASSERT_TRUE(tables.setUp(qp::PhoneticLanguage{9, kTinyRules, "", ""}));
    const std::array<uint8_t, 512>& spl6 = tables.spl6();
    for (unsigned byte = 0; byte < 256; ++byte) {
        // "302ph01f" begins at 0, "41e1t1$1t" (8 bytes later) opens the rules of t, which "302th01T" joins.
        uint16_t expected = byte == 'p' ? 0x0000 : byte == 't' ? 0x0008 : 0xFFFF;
        EXPECT_EQ(spl6[2 * byte], expected >> 8) << byte;
        EXPECT_EQ(spl6[2 * byte + 1], expected & 0xFF) << byte;
    }
}

TEST(PhoneticRules, HeaderFieldsOfATinyRuleString) {
    qp::PhoneticTables tables;
    ASSERT_TRUE(tables.setUp(qp::PhoneticLanguage{9, kTinyRules, "", ""}));
    // 65, 90, 36; three rules, two first letters, longest left context 1, match 2, right context 1,
    // replacement 1; one rule with a left and one with a right context, one testing the end, none silent,
    // at most two rules of one letter; 4.
    std::array<uint32_t, 15> expected{65, 90, 36, 3, 2, 1, 2, 1, 1, 1, 1, 1, 0, 2, 4};
    EXPECT_EQ(tables.headerFields(), expected);
}

}  // namespace
