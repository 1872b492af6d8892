// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/inflection_rule.h"

#include <gtest/gtest.h>

#include "core/unicode.h"
#include "index/unicode_folding.h"
#include "index/western_collation.h"

namespace {

std::u16string western(std::string_view bytes) {
    std::u16string units;
    for (char byte : bytes) units.push_back(static_cast<uint8_t>(byte));
    return units;
}

struct RuleCase {
    const char* key;   // as the reader decodes it
    const char* form;  // as written
    bool utf8;         // a Unicode index (UTF-8 text), else a western one (windows-1252 bytes)
    std::string rule;  // the bytes, worked out by hand
};

class InflectionRules : public ::testing::TestWithParam<RuleCase> {};

TEST_P(InflectionRules, MadeFromTheDecodedKeyAndAppliedToItStrictly) {
    const RuleCase& c = GetParam();
    const std::u16string key = c.utf8 ? qp::utf8ToUtf16(c.key) : western(c.key);
    const std::u16string form = c.utf8 ? qp::utf8ToUtf16(c.form) : western(c.form);
    const qp::FoldFunction fold = c.utf8 ? qp::foldCharacter : qp::westernFold;
    const qp::InflectionRule rule = qp::inflectionRule(key, form, fold);
    ASSERT_EQ(qp::encodeRule(rule, c.utf8), c.rule);
    const std::optional<qp::InflectionRule> decoded = qp::decodeRule(c.rule, c.utf8);
    ASSERT_EQ(decoded, rule);
    const std::optional<std::u16string> made = qp::applyRule(key, rule);
    ASSERT_TRUE(made);
    ASSERT_EQ(made->size(), form.size());
    for (size_t i = 0; i < form.size(); ++i) EXPECT_EQ(fold((*made)[i]), fold(form[i])) << c.form;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, InflectionRules,
    ::testing::Values(
        // Folded keys of a Unicode index against capitalised forms: endings only, the first letter untouched.
        RuleCase{"tooth", "Teeth", true, "\x02htee\x03htoo"},
        RuleCase{"cancion", "Canciones", true, "\x02sen\x03n"},  // "ó" folds to the key's "o"
        RuleCase{"cafe", "Caf\xC3\xA9s", true,
                 "\x02s\xC3\xA9\x03"
                 "e"},
        RuleCase{"cafe", "Caf\xC3\xA9", true, ""},  // equal through the folding
        RuleCase{"cheval", "Chevaux", true, "\x02xua\x03la"},
        // A character outside the basic plane is one character: endings reverse it whole, cuts never split it.
        RuleCase{"ab", "ab\xF0\x9D\x94\xB8", true,
                 "\x02\xF0\x9D\x94\xB8"
                 "b\x03"
                 "b"},
        RuleCase{"\xF0\x9D\x94\xB8x", "\xF0\x9D\x94\xB9y", true, "\x02y\xF0\x9D\x94\xB9\x03x\xF0\x9D\x94\xB8"},
        RuleCase{"go", "went", true, "\x02tnew\x03og"},  // nothing in common
        // Keys of a western index as written.
        RuleCase{"Man", "Men", false, "\x02ne\x03na"},  // a common beginning of one letter keeps it
        RuleCase{"run", "running", false, "\x02gninn\x03n"}, RuleCase{"\xC9lan", "\xC9lans", false, "\x02sn\x03n"},
        RuleCase{"bind", "unbind", false,
                 "\x01unb\x04"
                 "b"},  // different beginnings: a prefix rule
        RuleCase{"machen", "gemacht", false, "\x01gem\x04m\x02th\x03neh"}));

TEST(InflectionRules, EndingRulesApplyToTheKeyAsWrittenToo) {
    const qp::InflectionRule rule = qp::inflectionRule(u"tooth", u"Teeth", qp::foldCharacter);
    EXPECT_EQ(qp::applyRule(u"Tooth", rule), u"Teeth");
}

TEST(InflectionRules, ARuleThatTakesOffOtherCharactersDoesNotApply) {
    const qp::InflectionRule rule{u"unb", u"b", u"eeth", u"ooth"};
    EXPECT_EQ(qp::applyRule(u"bind", rule), std::nullopt);   // the ending is not there
    EXPECT_EQ(qp::applyRule(u"Booth", rule), std::nullopt);  // the beginning differs in case
    EXPECT_EQ(qp::applyRule(u"booth", rule), u"unbeeth");
    EXPECT_EQ(qp::applyRule(u"b", qp::InflectionRule{u"", u"b", u"", u"b"}), std::nullopt);  // takes off too much
}

TEST(InflectionRules, CharactersThatReadAsCodesCannotBeStored) {
    EXPECT_EQ(qp::encodeRule(qp::InflectionRule{u"", u"", u"a\x02", u""}, true), std::nullopt);
    EXPECT_EQ(qp::encodeRule(qp::InflectionRule{u"", u"", u"\x0100", u""}, false), std::nullopt);  // not a byte
    EXPECT_EQ(qp::decodeRule("x\x02s", true), std::nullopt);
}

struct OldStyleCase {
    const char* key;
    const char* form;
    std::optional<unsigned> number;
    std::optional<std::string> rule;
};

class OldStyleRules : public ::testing::TestWithParam<OldStyleCase> {};

TEST_P(OldStyleRules, Encode) {
    const OldStyleCase& c = GetParam();
    const auto rule = qp::oldStyleRule(western(c.key), western(c.form), qp::westernFold);
    EXPECT_EQ(rule ? qp::encodeOldStyleRule(*rule, c.number, false) : std::nullopt, c.rule);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, OldStyleRules,
    ::testing::Values(OldStyleCase{"running", "run", {}, std::string("\0nning\0n", 8)},  // shortened by one
                      OldStyleCase{"walked", "walking", 3,
                                   std::string("\0ed\0ing\0"
                                               "3",
                                               9)},
                      OldStyleCase{"Walk", "walks", {}, std::string("\0\0s", 3)},  // compared through the folding
                      OldStyleCase{"same", "same", {}, std::nullopt},
                      OldStyleCase{"ab", "ac", {}, std::nullopt}));  // common beginning under 2 characters

}  // namespace
