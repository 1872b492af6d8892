// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "index_books.h"
#include "kova_book.h"

namespace {

using kovatest::bytes;
using kovatest::IndexBook;

std::string faultList(const kova::Book& book) {
    std::string s;
    for (const auto& f : book.faults()) s += f + "\n";
    return s;
}

std::vector<uint32_t> values(const kova::IndexEntry& entry, uint8_t tag) {
    const kova::TagValues* t = entry.tag(tag);
    return t ? t->values : std::vector<uint32_t>{};
}

TEST(IndexRecords, WesternIndexWithOneAndTwoBitMasks) {
    IndexBook book = kovatest::westernLookupBook();
    // Tags 1 and 2 on one bit each, tag 69 on bits 2-3. "cat": two groups of 69 (mask value 2). "dog": three
    // groups (all mask bits set), so the byte length of its values, 4, follows the control byte.
    book.index.tagx = kovatest::tagxBlock(1, {{1, 1, 0x01, 0}, {2, 1, 0x02, 0}, {69, 1, 0x0C, 0}, {0, 0, 0, 1}});
    book.index.records = {{bytes({3, 'c', 'a', 't', 0x0B, 0x80, 0x90, 0x85, 0x01, 0x80}),
                           bytes({3, 'd', 'o', 'g', 0x0F, 0x84, 0x90, 0x90, 0x81, 0x82, 0x02, 0xAC})}};
    book.index.masterKeys = {bytes({3, 'd', 'o', 'g'})};
    kova::Book read = kova::Book::fromBytes(kovatest::bookBytes(book));
    ASSERT_TRUE(read.sound()) << faultList(read);
    ASSERT_EQ(read.indexes().size(), 1u);
    const kova::BookIndex& index = read.indexes()[0];
    EXPECT_EQ(index.headerRecord, 2u);  // record 0, one text record of 64 bytes, then the index
    EXPECT_EQ(index.nameText(), "words");
    EXPECT_EQ(index.tagx.offset, 197u);  // right behind the 5-byte name
    EXPECT_EQ(index.tagx.controlByteCount, 1u);
    ASSERT_EQ(index.tagx.rows.size(), 4u);
    EXPECT_EQ(index.tagx.rows[2].mask, 0x0C);
    // TAGX 197 + 28 = 225, master entry at 228 (6 bytes), IDXT at 236, ORDT at 244, LIGT at 504, end at 528.
    ASSERT_EQ(index.masters.size(), 1u);
    EXPECT_EQ(index.masters[0].offset, 228u);
    EXPECT_EQ(index.masters[0].entryCount, 2u);
    EXPECT_EQ(index.header.at(kova::indexField::idxtOffset), 236u);
    EXPECT_EQ(index.tables.ordtOffset, 244u);
    EXPECT_EQ(index.tables.ligtOffset, 504u);
    EXPECT_EQ(index.tables.ligatures.size(), 5u);
    EXPECT_EQ(read.record(2).size(), 528u);
    ASSERT_EQ(index.dataRecords.size(), 1u);
    EXPECT_EQ(index.dataRecords[0].idxt, (std::vector<uint16_t>{192, 202}));

    ASSERT_EQ(index.entries.size(), 2u);
    EXPECT_EQ(index.keyText(index.entries[0].key), "cat");
    EXPECT_EQ(values(index.entries[0], 1), (std::vector<uint32_t>{0}));
    EXPECT_EQ(values(index.entries[0], 2), (std::vector<uint32_t>{16}));
    EXPECT_EQ(values(index.entries[0], 69), (std::vector<uint32_t>{5, 128}));
    EXPECT_EQ(index.entries[1].controlBytes, (std::vector<uint8_t>{0x0F}));
    EXPECT_EQ(values(index.entries[1], 69), (std::vector<uint32_t>{1, 2, 300}));
    EXPECT_EQ(index.entries[1].tag(69)->groupCount(), 3u);
    EXPECT_EQ(index.entries[1].size, 12u);
}

struct UnicodeCase {
    bool singleByteForm;
    std::vector<std::string> keys;
    std::vector<std::string> folded;
    size_t characters;
};

class UnicodeIndex : public testing::TestWithParam<UnicodeCase> {};

TEST_P(UnicodeIndex, KeysAreCharacterTablePositions) {
    const UnicodeCase& c = GetParam();
    kova::Book read = kova::Book::fromBytes(kovatest::bookBytes(kovatest::unicodeLookupBook(c.singleByteForm)));
    ASSERT_TRUE(read.sound()) << faultList(read);
    ASSERT_EQ(read.indexes().size(), 1u);
    const kova::BookIndex& index = read.indexes()[0];
    EXPECT_EQ(index.keyForm(), c.singleByteForm ? kova::KeyForm::positions8 : kova::KeyForm::positions16);
    EXPECT_EQ(index.tables.characters.size(), c.characters);
    EXPECT_EQ(index.tables.folds.size(), c.characters);
    ASSERT_EQ(index.entries.size(), c.keys.size());
    for (size_t i = 0; i < c.keys.size(); ++i) {
        EXPECT_EQ(index.keyText(index.entries[i].key), c.keys[i]);
        EXPECT_EQ(index.collation().foldedText(index.entries[i].key), c.folded[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, UnicodeIndex,
                         testing::Values(UnicodeCase{true, {"ab", "b\xC3\xA9"}, {"ab", "be"}, 7},
                                         UnicodeCase{false,
                                                     {"ao", "\xC5\x91"
                                                            "a"},
                                                     {"ao", "oa"},
                                                     6}));

TEST(IndexRecords, StringRecordsHoldTheLabels) {
    kova::Book read = kova::Book::fromBytes(kovatest::bookBytes(kovatest::tableOfContentsBook()));
    ASSERT_TRUE(read.sound()) << faultList(read);
    ASSERT_EQ(read.indexes().size(), 1u);
    const kova::BookIndex& index = read.indexes()[0];
    EXPECT_EQ(index.namedBy, (std::vector<std::string>{"ncxIndex"}));
    ASSERT_EQ(index.stringRecords.size(), 2u);
    EXPECT_EQ(index.stringRecords[1].record, index.headerRecord + 3);
    ASSERT_EQ(index.entries.size(), 3u);
    EXPECT_EQ(values(index.entries[2], 3), (std::vector<uint32_t>{65536}));
    EXPECT_EQ(values(index.entries[2], 4), (std::vector<uint32_t>{1}));
    EXPECT_EQ(index.stringAt(6), "Chapter");
    EXPECT_EQ(index.stringAt(65536), "End");
    EXPECT_FALSE(index.stringAt(2 * 65536));
    std::vector<kova::IndexString> strings = index.strings();
    ASSERT_EQ(strings.size(), 3u);
    EXPECT_EQ(strings[0].bytes, "Intro");
    EXPECT_EQ(strings[2].location, 65536u);
}

TEST(IndexRecords, DependentIndexFollowsItsLookupIndex) {
    IndexBook book = kovatest::westernLookupBook();
    book.index.tagx = kovatest::tagxBlock(1, {{38, 1, 0x01, 0}, {0, 0, 0, 1}});
    book.index.records = {{bytes({3, 'c', 'a', 't', 0x01, 0x80}), bytes({3, 'd', 'o', 'g', 0x01, 0x81})}};
    book.index.masterKeys = {bytes({3, 'd', 'o', 'g'})};
    book.index.dependentRecordCount = 2;
    kovatest::TestIndex wild = book.index;
    wild.name = "wild";
    wild.dependentRecordCount = 0;
    wild.tagx = kovatest::tagxBlock(1, {{37, 1, 0x01, 0}, {0, 0, 0, 1}});
    std::vector<std::string> records = kovatest::indexRecords(book.index);
    for (const std::string& r : kovatest::indexRecords(wild)) records.push_back(r);
    kova::Book read = kova::Book::fromBytes(kovatest::bookFile(book.fields, {book.text}, records));
    ASSERT_TRUE(read.sound()) << faultList(read);
    ASSERT_EQ(read.indexes().size(), 2u);
    const kova::BookIndex& dependent = read.indexes()[1];
    EXPECT_EQ(dependent.headerRecord, read.indexes()[0].headerRecord + 2);
    EXPECT_EQ(dependent.nameText(), "wild");
    EXPECT_EQ(dependent.namedBy, (std::vector<std::string>{"dependent index of the index at record 2"}));
    EXPECT_EQ(values(dependent.entries[1], 37), (std::vector<uint32_t>{1}));
}

TEST(IndexRecords, AnIndexNamedTwiceIsReadOnce) {
    // The naming index after the lookup index (3 records) lists it under "words" with tag 1 = 0, counted
    // from the first index record.
    IndexBook book = kovatest::westernLookupBook();
    book.fields.indexNames = 3;
    kovatest::TestIndex naming;
    naming.name = "";
    naming.type = 3;
    naming.tagx = kovatest::tagxBlock(1, {{1, 1, 0x01, 0}, {0, 0, 0, 1}});
    naming.records = {{bytes({5, 'w', 'o', 'r', 'd', 's', 0x01, 0x80})}};
    naming.masterKeys = {bytes({5, 'w', 'o', 'r', 'd', 's'})};
    std::vector<std::string> records = kovatest::indexRecords(book.index);
    for (const std::string& r : kovatest::indexRecords(naming)) records.push_back(r);
    kova::Book read = kova::Book::fromBytes(kovatest::bookFile(book.fields, {book.text}, records));
    ASSERT_TRUE(read.sound()) << faultList(read);
    ASSERT_EQ(read.indexes().size(), 2u);
    EXPECT_EQ(read.indexes()[0].namedBy,
              (std::vector<std::string>{"orthographicIndex", "index \"words\" of the naming index at record 5"}));
    EXPECT_EQ(read.indexes()[1].type(), kova::indexTypeNaming);
}

struct CollationCase {
    std::string a;
    std::string b;
    int folded;  // sign of the comparison by sort values
    int exact;   // sign in an exact index
};

class WesternCollation : public testing::TestWithParam<CollationCase> {};

kova::IndexKey key(const std::string& s) {
    std::vector<uint8_t> bytes(s.begin(), s.end());
    return {bytes, {bytes.begin(), bytes.end()}};
}

TEST_P(WesternCollation, ComparesThroughTheOrderingAndLigatureTables) {
    const CollationCase& c = GetParam();
    kova::IndexTables tables;
    std::string ordt = kovatest::westernOrdt();
    tables.sortValues.assign(ordt.begin(), ordt.end());
    std::string ligt = kovatest::westernLigt();
    for (size_t i = 0; i < ligt.size(); i += 4)
        tables.ligatures.push_back(
            {static_cast<uint8_t>(ligt[i]), 0, static_cast<uint8_t>(ligt[i + 2]), static_cast<uint8_t>(ligt[i + 3])});
    auto sign = [](int n) { return (n > 0) - (n < 0); };
    EXPECT_EQ(sign(kova::IndexCollation(tables, kova::KeyForm::bytes, false).compare(key(c.a), key(c.b))), c.folded);
    EXPECT_EQ(sign(kova::IndexCollation(tables, kova::KeyForm::bytes, true).compare(key(c.a), key(c.b))), c.exact);
}

INSTANTIATE_TEST_SUITE_P(Keys, WesternCollation,
                         testing::Values(CollationCase{"\xC6on", "aeon", 0, 1},  // Æ = 0xC6 sorts as "ae"
                                         CollationCase{"stra\xDF"
                                                       "e",
                                                       "strasse", 0, 1},
                                         CollationCase{"Caf\xE9", "cafe", 0, -1},  // 'C' (0x43) < 'c'
                                         CollationCase{"a-b", "ab", 0, -1},        // '-' has sort value 0
                                         CollationCase{"ab", "abc", -1, -1},       // a proper prefix first
                                         CollationCase{"b", "ab", 1, 1}));

}  // namespace
