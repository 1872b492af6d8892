// SPDX-License-Identifier: GPL-3.0-or-later
// Inflection rules applied as a device applies them: to the key as the lookup index decodes it (folded in a
// UTF-16 index), strictly, with a fault for a rule that takes off a character the key does not have.
#include "inflected_forms.h"

#include <gtest/gtest.h>

#include "headword_lookup.h"
#include "html_preview.h"
#include "index_books.h"
#include "test_support.h"

namespace {

using kovatest::bytes;

struct InflectionCase {
    const char* name;
    std::string groupEntry;  // rank 0 of the inflection index
    std::string ruleEntry;   // rank 1, when there is one
    std::string tagx;
    std::string strings;
    const char* fault;  // "" for a sound book
    bool oldStyle;
};

// The single-byte UTF-16 book whose entry 1 is "bé" (decoded folded as "be"), naming inflection group 0.
std::string bookWith(const InflectionCase& c) {
    kovatest::IndexBook book = kovatest::unicodeLookupBook(true);
    book.index.tagx = kovatest::tagxBlock(1, {{1, 1, 0x01, 0}, {2, 1, 0x02, 0}, {42, 1, 0x04, 0}, {0, 0, 0, 1}});
    book.index.records = {{bytes({2, 3, 4, 0x03, 0x80, 0x8D}), bytes({2, 4, 5, 0x07, 0x8D, 0x8E, 0x80})}};
    kovatest::TestIndex inflections;
    inflections.name = "";
    inflections.type = 2;
    inflections.codePage = 65001;
    inflections.tagx = c.tagx;
    inflections.records = {{c.groupEntry}};
    if (!c.ruleEntry.empty()) inflections.records[0].push_back(c.ruleEntry);
    const std::string& last = inflections.records[0].back();
    inflections.masterKeys = {last.substr(0, 1 + static_cast<uint8_t>(last[0]))};
    inflections.stringRecords = {c.strings};
    std::vector<std::string> records = kovatest::indexRecords(book.index);
    book.fields.inflectionIndex = static_cast<uint32_t>(records.size());
    for (std::string& record : kovatest::indexRecords(inflections)) records.push_back(record);
    return kovatest::bookFile(book.fields, {book.text}, records);
}

// Tags 5 (form name) and 26 (rule) in group entries, 27 (group) in rule entries.
const std::string kRuleTagx =
    kovatest::tagxBlock(1, {{5, 1, 0x01, 0}, {26, 1, 0x02, 0}, {27, 1, 0x04, 0}, {0, 0, 0, 1}});
const std::string kGroup = bytes({0, 0x03, 0x80, 0x81});  // no key; name at 0, rule rank 1
// A rule entry: the rule as its key, then tag 27 naming group 0.
std::string ruleEntry(const std::string& rule) { return static_cast<char>(rule.size()) + rule + bytes({0x04, 0x80}); }
// Tag 7: the length and location of an old-style rule's second part.
const std::string kOldTagx = kovatest::tagxBlock(1, {{7, 2, 0x01, 0}, {0, 0, 0, 1}});

class InflectedForms : public ::testing::TestWithParam<InflectionCase> {};

TEST_P(InflectedForms, AreMadeFromTheFoldedKeyStrictly) {
    const InflectionCase& c = GetParam();
    const kova::Book book = kova::Book::fromBytes(bookWith(c));
    const kova::Lookup lookup = kova::lookUp(book, "b\xC3\xA9"
                                                   "a");
    if (*c.fault == '\0') {
        ASSERT_TRUE(book.sound()) << book.faults().front();
        ASSERT_EQ(lookup.matches.size(), 1u);
        EXPECT_EQ(lookup.matches[0].rank, 1u);
        EXPECT_EQ(lookup.matches[0].how, kova::MatchKind::inflection);
        EXPECT_EQ(lookup.matches[0].group, 0u);
        EXPECT_EQ(lookup.matches[0].rule, c.oldStyle ? std::nullopt : std::optional<size_t>(1));
        return;
    }
    ASSERT_EQ(book.faults().size(), 1u) << book.faults().front();
    EXPECT_NE(book.faults()[0].find(c.fault), std::string::npos) << book.faults()[0];
    EXPECT_TRUE(lookup.matches.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, InflectedForms,
    ::testing::Values(InflectionCase{"AddsAnEnding", kGroup,
                                     ruleEntry("\x02"
                                               "a"),
                                     kRuleTagx, bytes({0x80}), "", false},
                      InflectionCase{"TakesOffTheFoldedEnding", kGroup,
                                     ruleEntry("\x02"
                                               "ae\x03"
                                               "e"),
                                     kRuleTagx, bytes({0x80}), "", false},
                      InflectionCase{"TakesOffTheEndingAsWritten", kGroup,
                                     ruleEntry("\x02"
                                               "a\xC3\xA9\x03\xC3\xA9"),
                                     kRuleTagx, bytes({0x80}),
                                     "inflection rule 1 of group 0 does not apply: it takes off \"\xC3\xA9\" where "
                                     "the key has \"e\"",
                                     false},
                      InflectionCase{"TakesOffMoreThanTheKey", kGroup,
                                     ruleEntry("\x04"
                                               "b\x03"
                                               "eb"),
                                     kRuleTagx, bytes({0x80}), "it takes off \"b\" where the key has nothing", false},
                      InflectionCase{"SplitsACharacter", kGroup, ruleEntry("\x02s\xA9\x03\xA9"), kRuleTagx,
                                     bytes({0x80}), "is not well-formed UTF-8", false},
                      InflectionCase{"OldStyleEnding", bytes({1, 'e', 0x01, 0x82, 0x80}), "", kOldTagx,
                                     bytes({0x82}) + "ea", "", true},
                      InflectionCase{"OldStyleEndingNotThere", bytes({1, 'x', 0x01, 0x82, 0x80}), "", kOldTagx,
                                     bytes({0x82}) + "ea",
                                     "old-style group 0 does not apply: the key does not end with \"x\"", true}),
    [](const auto& test) { return std::string(test.param.name); });

// The preview's search finds a form under the same key as a headword, after it, as a lookup tries them.
TEST(InflectedFormsInThePreview, FollowTheHeadwordOfTheSameKey) {
    // Entry 1 "b\xC3\xA9" (folded "be") becomes "ab", the key of entry 0: 4 takes off "b", 3 "e", 1 puts "ab" first.
    const kova::Book book = kova::Book::fromBytes(bookWith({"MakesAHeadword", kGroup,
                                                            ruleEntry("\x04"
                                                                      "b\x03"
                                                                      "e\x01"
                                                                      "ab"),
                                                            kRuleTagx, bytes({0x80}), "", false}));
    ASSERT_TRUE(book.sound()) << book.faults().front();
    qptest::TempDir dir;
    std::string error;
    ASSERT_TRUE(kova::writeHtmlPreview(book, dir / "preview", error)) << error;
    const std::string keys = qptest::readFile(dir / "preview" / "data" / "keys-0000.js");
    EXPECT_NE(keys.find(R"( = [["Lab",[[0,0],[1,1,0,1]]],["Lbe",[[1,0]]]];)"), std::string::npos) << keys;
}

}  // namespace
