// SPDX-License-Identifier: GPL-3.0-or-later
// Key order of western and Unicode indexes, and the Unicode character table.
#include <gtest/gtest.h>

#include "captured_sink.h"
#include "index/index.h"
#include "index/unicode_folding.h"
#include "index/western_collation.h"

namespace {

TEST(WesternCollation, LigaturesAccentsAndIgnoredBytes) {
    EXPECT_EQ(qp::westernSortKey("\xC6ther"), "aether");  // AE ligature as "ae"
    EXPECT_EQ(qp::westernSortKey("stra\xDF"
                                 "e"),
              "strasse");  // sharp s as "ss"
    EXPECT_EQ(qp::westernSortKey("Caf\xE9-au lait"), "cafeau lait");
}

TEST(WesternCollation, LigatureAndItsLettersAreOneKeyUnlessExact) {
    qp::Index loose("", qp::IndexType::Lookup, 1252, 9, false);
    EXPECT_EQ(loose.addKey("\xC3\x86"), loose.addKey("ae"));  // "Æ" given as UTF-8
    qp::Index exact("", qp::IndexType::Lookup, 1252, 9, true);
    EXPECT_NE(exact.addKey("\xC3\x86"), exact.addKey("ae"));
    EXPECT_EQ(exact.entryCount(), 2u);
}

TEST(WesternCollation, SortedByFoldedKeysThenRawBytesWhenExact) {
    qp::Index index("", qp::IndexType::Lookup, 1252, 9, true);
    for (const char* key : {"b", "\xC3\x89t\xC3\xA9", "ete", "a b", "ab"}) index.addKey(key);
    std::vector<std::string> order;
    for (qp::IndexEntryId id : index.sorted()) order.emplace_back(index.key(id));
    EXPECT_EQ(order, (std::vector<std::string>{"a b", "ab", "b", "ete", "\xC9t\xE9"}));
}

TEST(UnicodeFolding, LowerCaseWithoutAccents) {
    EXPECT_EQ(qp::foldCharacter(u'\u00C9'), u'e');
    EXPECT_EQ(qp::foldCharacter(u'\u0150'), u'o');       // Ő
    EXPECT_EQ(qp::foldCharacter(u'\u0416'), u'\u0436');  // Cyrillic Zhe
    EXPECT_EQ(qp::foldCharacter(u'\u30A2'), u'\u30A2');  // katakana A stays
    EXPECT_EQ(qp::foldCharacter(u'\u0301'), 0);          // a combining accent alone
    EXPECT_EQ(qp::foldCharacter(u'\u0007'), 0);
}

TEST(CharacterTable, StartsWithThreeAndAddsTheLatinBlockOnce) {
    qp::Index index("", qp::IndexType::Lookup, qp::kUnicodeIndexCodePage, 9, false);
    EXPECT_EQ(index.characterTable().size(), 3u);
    index.addKey("\xD0\x96");  // Ж: no block
    EXPECT_EQ(index.characterTable().size(), 4u);
    index.addKey("b");
    const size_t latin = index.characterTable().size();
    EXPECT_GT(latin, 100u);
    index.addKey("abc");
    EXPECT_EQ(index.characterTable().size(), latin);
}

TEST(CharacterTable, SingleByteFormUpTo255ThenSixteenBitThenTheLimit) {
    qp::Index index("", qp::IndexType::Lookup, qp::kUnicodeIndexCodePage, 9, false);
    // Han characters (no block) one by one, all above U+00FF, so the single-byte form (which keeps low bytes)
    // is off from the first.
    char16_t next = 0x4E00;
    auto addOne = [&] {
        std::string utf8;
        utf8.push_back(static_cast<char>(0xE0 | (next >> 12)));
        utf8.push_back(static_cast<char>(0x80 | ((next >> 6) & 0x3F)));
        utf8.push_back(static_cast<char>(0x80 | (next & 0x3F)));
        ++next;
        return index.addKey(utf8);
    };
    for (int i = 0; i < 765; ++i) ASSERT_TRUE(addOne()) << i;
    EXPECT_EQ(index.characterTable().size(), 768u);
    EXPECT_FALSE(index.characterTable().singleByteForm());
    EXPECT_FALSE(addOne());  // the 769th
    EXPECT_EQ(index.lastError, qp::ErrorCode::CharacterTableOverflow);
    EXPECT_EQ(index.characterTable().size(), 768u);
}

TEST(CharacterTable, LatinOnlyTableKeepsTheSingleByteFormTill255) {
    qp::Index index("", qp::IndexType::Lookup, qp::kUnicodeIndexCodePage, 9, false);
    index.addKey("a");
    EXPECT_TRUE(index.characterTable().singleByteForm());
    EXPECT_LE(index.characterTable().size(), 255u);
}

// Keys differing only in case are one entry, unless the index is exact; thousands of keys make the key table
// grow several times on the way.
TEST(IndexKeys, EqualKeysFindTheirEntryAmongThousands) {
    for (const int32_t codePage : {1252, qp::kUnicodeIndexCodePage}) {
        for (const bool exact : {false, true}) {
            qp::Index index("", qp::IndexType::Lookup, codePage, 9, exact);
            std::vector<qp::IndexEntryId> first;
            for (int i = 0; i < 5000; ++i) first.push_back(*index.addKey("word" + std::to_string(i)));
            for (int i = 0; i < 5000; ++i) {
                EXPECT_EQ(index.addKey("word" + std::to_string(i)), first[i]);
                const auto capital = index.addKey("WORD" + std::to_string(i));
                EXPECT_EQ(capital == first[i], !exact) << codePage << " " << i;
            }
            EXPECT_EQ(index.entryCount(), exact ? 10000u : 5000u) << codePage;
            EXPECT_EQ(index.keyText(first[4321]), "word4321");
        }
    }
}

// A megabyte of keys of 127 characters each, every one read back as it was given.
TEST(IndexKeys, EveryKeyReadsBackAmongAMegabyteOfKeys) {
    qp::Index index("", qp::IndexType::Lookup, qp::kUnicodeIndexCodePage, 9, false);
    std::vector<std::string> given;
    std::vector<qp::IndexEntryId> entries;
    for (int i = 0; i < 2000; ++i) {
        given.push_back(std::to_string(i) + std::string(127 - std::to_string(i).size(), 'x'));
        entries.push_back(*index.addKey(given.back()));
    }
    for (int i = 0; i < 2000; ++i) {
        ASSERT_EQ(index.keyText(entries[i]), given[i]) << i;
        EXPECT_EQ(index.addKey(given[i]), entries[i]);
    }
}

// Broken and astral sequences between ASCII letters: U+FFFD for the broken one, nothing for the astral one.
TEST(CharacterTable, BrokenAndAstralSequencesAmongAscii) {
    CapturedSink log;
    qp::Index index("", qp::IndexType::Lookup, qp::kUnicodeIndexCodePage, 9, false);
    index.messages = &log;
    const auto entry = index.addKey("a\xE2\x82z\xF0\x9F\x98\x80\xC3\xA9!");
    EXPECT_EQ(index.keyText(*entry), "a\xEF\xBF\xBDz\xC3\xA9!");
    EXPECT_EQ(log.count(qp::WarningCode::EntityNotMappable), 1);
}

TEST(KeyLimits, CutWithOneWarning) {
    CapturedSink log;
    qp::Index utf8("", qp::IndexType::Lookup, 65001, 9, false);
    utf8.messages = &log;
    const auto entry = utf8.addKey(std::string(300, 'k'));
    EXPECT_EQ(utf8.key(*entry).size(), 255u);
    qp::Index unicode("", qp::IndexType::Lookup, qp::kUnicodeIndexCodePage, 9, false);
    unicode.messages = &log;
    const auto wide = unicode.addKey(std::string(130, 'w'));
    EXPECT_EQ(unicode.key(*wide).size(), 2u * 127);
    EXPECT_EQ(log.count(qp::WarningCode::StringTruncated), 1);
    EXPECT_EQ(log.count(qp::WarningCode::UnicodeStringTruncated), 1);
}

TEST(KeyLimits, OtherCodePagesAreWestern) {
    qp::Index index("", qp::IndexType::Lookup, 932, 9, false);
    EXPECT_EQ(index.codePage(), 1252);
    EXPECT_EQ(index.lastWarning, qp::WarningCode::IndexEncodingUnsupported);
}

}  // namespace
