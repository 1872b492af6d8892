// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>

#include "index_books.h"
#include "kova_book.h"

namespace {

using kovatest::be16;
using kovatest::be32;
using kovatest::bytes;
using kovatest::IndexBook;
using Records = std::vector<std::string>;

// The western lookup book: header record with TAGX at 197 (24 bytes), master entries at 224 ("cafe", its count
// at 229) and 231, IDXT at 240. Both data records: entries at 192 and 199, IDXT at 208 (offsets at 212).
struct FaultCase {
    const char* name;
    IndexBook (*book)();
    void (*changeBook)(IndexBook&);
    void (*changeRecords)(Records&);
    std::string fault;
};

class IndexFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(IndexFaults, AreReported) {
    const FaultCase& c = GetParam();
    IndexBook book = c.book();
    ASSERT_TRUE(kova::Book::fromBytes(kovatest::bookBytes(book)).sound());
    if (c.changeBook) c.changeBook(book);
    kova::Book read = kova::Book::fromBytes(kovatest::bookBytes(book, c.changeRecords));
    std::string faults;
    for (const std::string& f : read.faults()) faults += f + "\n";
    EXPECT_NE(faults.find(c.fault), std::string::npos) << faults;
}

IndexBook unicodeBook() { return kovatest::unicodeLookupBook(true); }

INSTANTIATE_TEST_SUITE_P(
    Kinds, IndexFaults,
    testing::Values(
        FaultCase{"IdxtOffsetOutsideTheEntries", kovatest::westernLookupBook, nullptr,
                  [](Records& r) { r[1].replace(212, 2, be16(16)); },
                  "index at record 2, record 3: IDXT offset 0 (16) lies outside the entries of the record"},
        FaultCase{"IdxtOffsetsNotRising", kovatest::westernLookupBook, nullptr,
                  [](Records& r) { r[1].replace(212, 4, be16(199) + be16(192)); },
                  "IDXT offset 1 (192) does not rise above the one before (199)"},
        FaultCase{"IdxtCountPastTheRecord", kovatest::westernLookupBook, nullptr,
                  [](Records& r) { r[1].replace(24, 4, be32(4)); }, "IDXT of 4 offsets at 208 runs past"},
        FaultCase{"TagxWithoutEndRow", kovatest::westernLookupBook,
                  [](IndexBook& b) {
                      b.index.tagx = kovatest::tagxBlock(0, {{1, 1, 1, 0}, {2, 1, 2, 0}});
                  },
                  nullptr, "TAGX does not end with an end row"},
        FaultCase{"TagxLengthField", kovatest::westernLookupBook, nullptr,
                  [](Records& r) { r[0].replace(201, 4, be32(28)); },
                  "TAGX length field 28 disagrees with the first master entry at 224"},
        FaultCase{"ControlByteCount", kovatest::westernLookupBook, nullptr,
                  [](Records& r) { r[0].replace(205, 4, be32(2)); }, "TAGX gives 2 control bytes but has 1 end rows"},
        FaultCase{"EntryPastItsRecord", kovatest::westernLookupBook, nullptr, [](Records& r) { r[2][199] = 0x7F; },
                  "entry at 199: its key runs past the end of the entry (208)"},
        FaultCase{"PositionOutsideTheCharacterTable", unicodeBook, nullptr, [](Records& r) { r[1][199] = 9; },
                  "the key of entry 1 has a position outside the character table (7 characters)"},
        FaultCase{"StringLocationOutside", kovatest::tableOfContentsBook, nullptr,
                  [](Records& r) { r[1][205] = 0x0C; },  // 3 × 65536
                  "entry 2, tag 3: string location 196608 lies outside the string records"},
        FaultCase{"EntryCountOfTheHeader", kovatest::westernLookupBook, nullptr,
                  [](Records& r) { r[0].replace(36, 4, be32(5)); },
                  "the header counts 5 entries, the data records hold 4"},
        FaultCase{"MasterEntryCount", kovatest::westernLookupBook, nullptr,
                  [](Records& r) { r[0].replace(229, 2, be16(3)); },
                  "master entry 0 counts 3 entries, record 3 holds 2"},
        FaultCase{"MasterKeyNotTheLastKey", kovatest::westernLookupBook,
                  [](IndexBook& b) {
                      b.index.masterKeys[0] = bytes({3, 'a', 'n', 't'});
                  },
                  nullptr, "master entry 0 has the key \"ant\", not the last key of record 3 \"cafe\""},
        FaultCase{"KeysOutOfOrder", kovatest::westernLookupBook,
                  [](IndexBook& b) {
                      std::swap(b.index.records[1][0], b.index.records[1][1]);
                      b.index.masterKeys[1] = bytes({3, 'd', 'o', 'g'});
                  },
                  nullptr, "key \"dog\" (rank 3) does not sort after \"eel\""},
        FaultCase{"FieldBeyondTheBook", kovatest::westernLookupBook,
                  [](IndexBook& b) { b.fields.orthographicIndex = 1000; }, nullptr,
                  "orthographicIndex 1002 is beyond the record list (6 records)"},
        FaultCase{"FieldAtARecordWithoutIndx", kovatest::westernLookupBook, nullptr,
                  [](Records& r) { r[0].replace(0, 4, "XNDX"); },
                  "orthographicIndex 2 names a record that does not begin with \"INDX\""}),
    [](const testing::TestParamInfo<FaultCase>& test) { return test.param.name; });

}  // namespace
