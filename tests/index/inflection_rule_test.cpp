#include "index/inflection_rule.h"

#include <gtest/gtest.h>

namespace {

struct RuleCase {
    const char* headword;
    const char* form;
    std::string rule;
};

class InflectionRules : public ::testing::TestWithParam<RuleCase> {};

TEST_P(InflectionRules, EncodeAndApplyBack) {
    const RuleCase& c = GetParam();
    EXPECT_EQ(qp::inflectionRule(c.headword, c.form), c.rule);
    EXPECT_EQ(qp::headwordOf(c.form, c.rule), c.headword);
}

INSTANTIATE_TEST_SUITE_P(Forms, InflectionRules,
                         ::testing::Values(RuleCase{"run", "run", ""},                    // equal: no parts
                                           RuleCase{"cat", "cats", "\x02st\x03t"},        // boundary "t" on both sides
                                           RuleCase{"run", "running", "\x02gninn\x03n"},  //
                                           RuleCase{"city", "cities", "\x02seit\x03yt"},  //
                                           RuleCase{"go", "went", "\x02tnew\x03og"},      // nothing in common
                                           RuleCase{"mouse", "mice",
                                                    "\x02"
                                                    "ecim\x03"
                                                    "esuom"},  // the first of equal runs
                                           RuleCase{"bind", "unbind",
                                                    "\x01unb\x04"
                                                    "b"},  // a beginning to put in front
                                           RuleCase{"machen", "gemacht", "\x01gem\x04m\x02th\x03neh"},
                                           RuleCase{"\xEAtre", "\xE9t\xE9",
                                                    "\x01\xE9\x04\xEA\x02\xE9t\x03"
                                                    "ert"}));  // a run of one

TEST(InflectionRules, RuleThatDoesNotFitTheForm) {
    EXPECT_EQ(qp::headwordOf("dogs", "\x02seit\x03yt"), std::nullopt);
    EXPECT_EQ(qp::headwordOf("x", "\x05"), std::nullopt);
}

struct OldStyleCase {
    const char* first;
    const char* second;
    std::optional<unsigned> number;
    std::optional<std::string> rule;
};

class OldStyleRules : public ::testing::TestWithParam<OldStyleCase> {};

TEST_P(OldStyleRules, Encode) {
    const OldStyleCase& c = GetParam();
    EXPECT_EQ(qp::oldStyleRule(c.first, c.second, c.number), c.rule);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, OldStyleRules,
    ::testing::Values(OldStyleCase{"running", "run", {}, std::string("\0nning\0n", 8)},  // shortened by one
                      OldStyleCase{"walked", "walking", 3,
                                   std::string("\0ed\0ing\0"
                                               "3",
                                               9)},
                      OldStyleCase{"same", "same", {}, std::nullopt},
                      OldStyleCase{"ab", "ac", {}, std::nullopt},  // common beginning under 2 characters
                      OldStyleCase{std::string("ab\0x", 4).c_str(), "abc", {}, std::nullopt}));

}  // namespace
