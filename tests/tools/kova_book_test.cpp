// SPDX-License-Identifier: GPL-3.0-or-later
#include "kova_book.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "test_book.h"

namespace {

using kovatest::be16;
using kovatest::be32;
using kovatest::bookFile;
using kovatest::bytes;
using kovatest::Record0Fields;

bool hasFault(const kova::Book& book, const std::string& part) {
    return std::any_of(book.faults().begin(), book.faults().end(),
                       [&](const std::string& f) { return f.find(part) != std::string::npos; });
}

std::string faultList(const kova::Book& book) {
    std::string s;
    for (const auto& f : book.faults()) s += f + "\n";
    return s;
}

// Fields of an uncompressed 1252 book with the given text length and a record size of 4096.
Record0Fields plainFields(uint32_t textLength) {
    Record0Fields f;
    f.textLength = textLength;
    return f;
}

TEST(KovaBook, ReadsPdbHeaderAndRecordList) {
    kova::Book book = kova::Book::fromBytes(bookFile(plainFields(5), {"hello"}));
    EXPECT_TRUE(book.sound()) << faultList(book);
    EXPECT_EQ(book.pdbHeader().name, "Test_Book");
    EXPECT_EQ(book.pdbHeader().type, "BOOK");
    EXPECT_EQ(book.pdbHeader().creator, "KOVA");
    EXPECT_EQ(book.pdbHeader().creationDate, 1700000000u);
    EXPECT_EQ(book.pdbHeader().modificationDate, 1700000001u);
    // record 0, text, pad of 3 bytes, end of file
    ASSERT_EQ(book.recordCount(), 4u);
    EXPECT_EQ(book.records()[0].offset, 80u + 8 * 4);
    EXPECT_EQ(book.records()[1].length, 5u);
    EXPECT_EQ(book.records()[2].length, 3u);
    EXPECT_EQ(book.records()[3].uniqueId, 4u);
    EXPECT_EQ(book.recordBytes(3), (std::vector<uint8_t>{0xE9, 0x8E, 0x0D, 0x0A}));
    EXPECT_TRUE(book.record(4).empty());
}

TEST(KovaBook, ReadsRecord0FieldsExthAndFullName) {
    Record0Fields f = plainFields(4);
    f.encoding = 65001;
    f.extraFlags = 0x1;
    f.version = 5;
    f.fullName = "Caf\xC3\xA9";
    f.exth = {{100, "Ann"}, {100, "Bob"}, {204, be32(200)}, {207, be32(85)}};
    kova::Book book = kova::Book::fromBytes(bookFile(f, {"text" + bytes({0x00})}));
    EXPECT_TRUE(book.sound()) << faultList(book);
    EXPECT_EQ(book.palmDoc().compression, 1);
    EXPECT_EQ(book.palmDoc().textLength, 4u);
    EXPECT_EQ(book.palmDoc().textRecordCount, 1);
    EXPECT_EQ(book.palmDoc().recordSize, 4096);
    EXPECT_EQ(book.kova().headerLength, 232u);
    EXPECT_EQ(book.kova().textEncoding, 65001u);
    EXPECT_EQ(book.kova().uniqueId, 0x12345678u);
    EXPECT_EQ(book.kova().version, 5u);
    EXPECT_EQ(book.kova().minimumVersion, 5u);
    EXPECT_EQ(book.kova().locale, 9u);
    EXPECT_EQ(book.kova().orthographicIndex, kova::noRecord);
    EXPECT_EQ(book.kova().fdstRecord, kova::noRecord);
    EXPECT_EQ(book.kova().fdstSectionCount, 1u);
    EXPECT_EQ(book.kova().exthFlags, 0x50u);
    EXPECT_EQ(book.kova().extraRecordDataFlags, 1u);
    EXPECT_EQ(book.kova().firstNonBookRecord, 3u);  // text record 5 bytes, pad of 3
    // 12 + (8 + 3) × 2 + 12 × 2 = 58, rounded up to 60
    EXPECT_EQ(book.exthBlockLength(), 60u);
    EXPECT_EQ(book.kova().fullNameOffset, 308u);
    EXPECT_EQ(book.fullName(), "Caf\xC3\xA9");
    EXPECT_EQ(book.exthStrings(100), (std::vector<std::string>{"Ann", "Bob"}));
    EXPECT_EQ(book.exthString(100), "Ann");
    EXPECT_EQ(book.exthNumber(204), 200u);
    EXPECT_EQ(book.exthNumber(207), 85u);
    EXPECT_FALSE(book.exthNumber(100));
    EXPECT_FALSE(book.exthString(101));
    EXPECT_EQ(book.textString(), "text");
}

TEST(KovaBook, DecodesPalmdocRecordsAfterRemovingTrailingEntries) {
    // Two 4096-byte records of PalmDOC text with a position list entry each.
    Record0Fields f = plainFields(4096 + 12);
    f.compression = 2;
    f.extraFlags = kova::positionListFlag;
    std::string first;
    std::string firstText;
    for (int i = 0; i < 4096 / 8; ++i) {
        first += bytes({0x08}) + "abcdefgh";
        firstText += "abcdefgh";
    }
    first += bytes({0x82, 0x82});  // position value 2, length 2
    std::string second = "a" + bytes({0x80, 0x0F, 'a'}) + bytes({0x81});
    kova::Book book = kova::Book::fromBytes(bookFile(f, {first, second}));
    EXPECT_TRUE(book.sound()) << faultList(book);
    ASSERT_TRUE(book.textDecoded());
    EXPECT_EQ(book.textString(), firstText + "aaaaaaaaaaaa");
    ASSERT_EQ(book.textRecords().size(), 2u);
    EXPECT_EQ(book.textRecords()[0].trailing.positionValues, (std::vector<uint32_t>{2}));
    EXPECT_EQ(book.textRecords()[0].trailing.size, 2u);
    EXPECT_EQ(book.textRecords()[1].compressedLength, 4u);
    EXPECT_EQ(book.textRecords()[1].textStart, 4096u);
    EXPECT_EQ(book.textRecords()[1].decodedLength, 12u);
    EXPECT_TRUE(book.textRecords()[1].trailing.positionValues.empty());
}

TEST(KovaBook, ChecksMultibyteEntriesAgainstTheText) {
    // Record size 4096: the first record ends after the lead byte of "€" (E2 82 AC); its entry repeats
    // 82 AC with k = 2, and the next record counts 2 leading continuation bytes.
    Record0Fields f = plainFields(4096 + 3);
    f.encoding = 65001;
    f.extraFlags = kova::multibyteEntryFlag;
    std::string firstText = std::string(4095, 'x') + bytes({0xE2});
    std::string secondText = bytes({0x82, 0xAC}) + "y";
    std::string good = bookFile(f, {firstText + bytes({0x82, 0xAC, 0x02}), secondText + bytes({0x20})});
    kova::Book book = kova::Book::fromBytes(good);
    EXPECT_TRUE(book.sound()) << faultList(book);
    EXPECT_EQ(book.textString(), firstText + secondText);

    std::string wrongK = bookFile(f, {firstText + bytes({0x82, 0x01}), secondText + bytes({0x20})});
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(wrongK), "multibyte entry carries 1 bytes"));
    std::string wrongJ = bookFile(f, {firstText + bytes({0x82, 0xAC, 0x02}), secondText + bytes({0x00})});
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(wrongJ), "counts 0 continuation bytes"));
}

TEST(KovaBook, DetectsTextFaults) {
    Record0Fields f = plainFields(6);
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(bookFile(f, {"hello"})), "text length mismatch"));

    f = plainFields(5);
    f.compression = 2;
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(bookFile(f, {bytes({'a', 0x80, 0x18})})), "malformed PalmDOC"));

    // A record before the last that is shorter than the record size.
    f = plainFields(8);
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(bookFile(f, {"abcd", "efgh"})), "decodes to 4 bytes"));

    f = plainFields(5);
    f.extraFlags = kova::positionListFlag;
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(bookFile(f, {"hello"})), "text record 1: trailing entry"));

    // An index entry whose item announces a start offset that is not there (0xA3: number 4, 0x1 and 0x2 set,
    // level 0x80, then nothing); its length byte 0x83.
    f = plainFields(5);
    f.extraFlags = kova::indexEntryFlag;
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(bookFile(f, {"hello" + bytes({0xA3, 0x80, 0x83})})),
                         "text record 1: its trailing index entry does not decode"));
}

TEST(KovaBook, DetectsContainerFaults) {
    std::string good = bookFile(plainFields(5), {"hello"});
    ASSERT_TRUE(kova::Book::fromBytes(good).sound());

    EXPECT_TRUE(hasFault(kova::Book::fromBytes(good.substr(0, 50)), "too short for a PDB header"));
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(good.substr(0, 90)), "record list of 4 records ends at 110"));

    // Record 2 placed before record 1.
    std::string swapped = good;
    swapped.replace(78 + 16, 4, be32(100));
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(swapped), "record 2 starts at 100, before record 1"));

    std::string outside = good;
    outside.replace(78 + 24, 4, be32(100000));
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(outside), "record 3 starts at 100000, beyond the end of the file"));

    std::string noEnd = good;
    noEnd[noEnd.size() - 1] = 0;
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(noEnd), "missing end-of-file record"));

    std::string wrongType = good;
    wrongType.replace(60, 4, "TEXt");
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(wrongType), "not \"BOOKKOVA\""));

    std::string repeatedId = good;
    repeatedId.replace(78 + 12, 4, be32(1));
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(repeatedId), "repeats the unique ID 1"));
}

TEST(KovaBook, DetectsRecord0Faults) {
    std::vector<std::string> shortRecord0{std::string(20, '\0'), bytes({0xE9, 0x8E, 0x0D, 0x0A})};
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(kovatest::pdbFile(shortRecord0)), "too short for the KOVA header"));
    std::vector<std::string> tiny{std::string(10, '\0'), bytes({0xE9, 0x8E, 0x0D, 0x0A})};
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(kovatest::pdbFile(tiny)), "too short for the PalmDOC header"));

    Record0Fields f = plainFields(5);
    f.textRecordCount = 3;
    std::string record0 = kovatest::record0(f);
    std::vector<std::string> missingText{record0, "hello", bytes({0xE9, 0x8E, 0x0D, 0x0A})};
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(kovatest::pdbFile(missingText)), "announces 3 text records"));

    f = plainFields(4);
    f.exth = {{100, "Ann"}};
    std::string good = bookFile(f, {"abcd"});
    size_t record0Start = 80 + 8 * 3;
    std::string badExth = good;
    badExth.replace(record0Start + 248 + 12 + 4, 4, be32(200));  // record length beyond the block
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(badExth), "EXTH record 0 (type 100) has length 200"));

    std::string badName = good;
    badName.replace(record0Start + 88, 4, be32(5000));
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(badName), "lies outside record 0"));

    std::string badFirstNonBook = good;
    badFirstNonBook.replace(record0Start + 80, 4, be32(7));
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(badFirstNonBook), "first non-book record is 7, expected 2"));

    std::string badIndex = good;
    badIndex.replace(record0Start + 40, 4, be32(40));
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(badIndex), "orthographicIndex 40 is beyond the record list"));

    std::string badHeaderLength = good;
    badHeaderLength.replace(record0Start + 20, 4, be32(228));
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(badHeaderLength), "KOVA header length 228 is not 232"));

    std::string badMagic = good;
    badMagic.replace(record0Start + 16, 4, "XXXX");
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(badMagic), "lacks the \"KOVA\" magic"));
}

TEST(KovaBook, DetectsAMissingOrWrongPadRecord) {
    // 5 text bytes need a pad record of 3 zero bytes before the first non-book record.
    Record0Fields f = plainFields(5);
    f.textRecordCount = 1;
    f.firstNonBookRecord = 2;
    f.firstImageRecord = 2;
    std::vector<std::string> records{kovatest::record0(f), "hello", bytes({0xE9, 0x8E, 0x0D, 0x0A})};
    EXPECT_TRUE(hasFault(kova::Book::fromBytes(kovatest::pdbFile(records)), "pad record of 3 zero bytes"));
}

TEST(KovaBook, UnreadableFileGivesALoadError) {
    kova::Book book = kova::Book::fromFile("/nonexistent/dir/book.kova");
    EXPECT_FALSE(book.loadError().empty());
    EXPECT_FALSE(book.sound());
}

TEST(KovaBook, ArbitraryBytesNeverCrash) {
    std::string good = bookFile(plainFields(5), {"hello"});
    // Every truncation and a byte flipped at every offset must parse without crashing.
    for (size_t n = 0; n <= good.size(); n += 7) kova::Book::fromBytes(good.substr(0, n));
    for (size_t i = 0; i < good.size(); i += 3) {
        std::string changed = good;
        changed[i] = static_cast<char>(changed[i] ^ 0xA5);
        kova::Book::fromBytes(changed);
    }
    SUCCEED();
}

}  // namespace
