// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "headword_lookup.h"
#include "index_books.h"

namespace {

enum class BookKind { western, unicodeSingleByte, unicode16 };

struct LookupCase {
    const char* name;
    BookKind book;
    std::string word;
    std::vector<size_t> ranks;
};

class HeadwordLookup : public testing::TestWithParam<LookupCase> {};

kovatest::IndexBook bookOf(BookKind kind) {
    if (kind == BookKind::western) return kovatest::westernLookupBook();
    return kovatest::unicodeLookupBook(kind == BookKind::unicodeSingleByte);
}

TEST_P(HeadwordLookup, FindsTheEntriesWhoseKeyEqualsTheWord) {
    const LookupCase& c = GetParam();
    kova::Book book = kova::Book::fromBytes(kovatest::bookBytes(bookOf(c.book)));
    ASSERT_TRUE(book.sound());
    kova::Lookup lookup = kova::lookUp(book, c.word);
    ASSERT_NE(lookup.index, nullptr);
    std::vector<size_t> ranks;
    for (const kova::LookupMatch& match : lookup.matches) {
        ranks.push_back(match.rank);
        EXPECT_EQ(match.how, kova::MatchKind::headword);
    }
    EXPECT_EQ(ranks, c.ranks);
}

INSTANTIATE_TEST_SUITE_P(Words, HeadwordLookup,
                         testing::Values(LookupCase{"FirstKey", BookKind::western, "ant", {0}},
                                         LookupCase{"AccentedQuery", BookKind::western, "Caf\xC3\xA9", {1}},
                                         LookupCase{"SecondDataRecord", BookKind::western, "eel", {3}},
                                         LookupCase{"FirstKeyOfSecondRecord", BookKind::western, "dog", {2}},
                                         LookupCase{"BetweenKeys", BookKind::western, "cow", {}},
                                         LookupCase{"AfterTheLastKey", BookKind::western, "zebra", {}},
                                         LookupCase{"NotInCodePage", BookKind::western, "\xD0\xB6", {}},
                                         // "e" is not in the table; "é" folds to it.
                                         LookupCase{"FoldOfAMissingCharacter", BookKind::unicodeSingleByte, "be", {1}},
                                         LookupCase{"UnicodeNotFound", BookKind::unicodeSingleByte, "ba", {}},
                                         LookupCase{"SixteenBitForm", BookKind::unicode16, "oa", {1}}),
                         [](const testing::TestParamInfo<LookupCase>& test) { return test.param.name; });

TEST(HeadwordLookupWithoutIndex, SaysWhy) {
    kovatest::Record0Fields fields;
    fields.textLength = 4;
    kova::Book book = kova::Book::fromBytes(kovatest::bookFile(fields, {"word"}));
    kova::Lookup lookup = kova::lookUp(book, "word");
    EXPECT_EQ(lookup.index, nullptr);
    EXPECT_EQ(lookup.problem, "the book has no orthographic index");
}

}  // namespace
