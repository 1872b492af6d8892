// SPDX-License-Identifier: GPL-3.0-or-later
// Reading trailing index entries back as a reader does, and the check that each names exactly the
// table-of-contents entries overlapping its record.
#include "container/index_entry_check.h"

#include <gtest/gtest.h>

using Bytes = std::vector<uint8_t>;
using qp::TocEntryName;

namespace {

// Five entries on one place (0 to 3 reach the end of the text, 4 ends in the first record), then 5 from the
// first record to the end and its child 6 (level 1) from the second record on.
const std::vector<qp::TocEntry> kEntries = {{100, 20000, 0, 0}, {100, 20000, 0, 1}, {100, 20000, 0, 2},
                                            {100, 20000, 0, 3}, {100, 1300, 0, 4},  {1400, 18700, 0, 5},
                                            {7000, 3000, 1, 6}};

// The three records of [0, 12288) as the entries name them, each with its length: the first names 0 to 5 as
// one run (0x86 0x80, count 6); the second and the third 0 to 3 (run of 4), 5 marked with the spanning offset 0
// (0xA1 0x80), then 6 (0xB2 0x81), which begins in the second and ends in the third.
const std::vector<Bytes> kSoundRecords = {{0x86, 0x80, 0x06, 0x84},
                                          {0x86, 0x80, 0x04, 0xA1, 0x80, 0xB2, 0x81, 0x88},
                                          {0x86, 0x80, 0x04, 0xA1, 0x80, 0xB2, 0x81, 0x88}};

std::optional<size_t> check(const std::vector<Bytes>& records) {
    std::vector<std::span<const uint8_t>> views(records.begin(), records.end());
    const std::vector<uint32_t> lengths(records.size(), 4096);
    return qp::firstUnsoundIndexEntry(views, lengths, kEntries);
}

}  // namespace

TEST(IndexEntryCheck, ReadsRunsDifferencesLevelsAndOffsets) {
    const auto names = qp::readIndexEntry(Bytes{0x86, 0x80, 0x04, 0xA1, 0x80, 0xB2, 0x81, 0xD8}, 4096);
    ASSERT_TRUE(names);
    // 0xD8: five back from 6 (0x50 | 0x8), at level 1.
    EXPECT_EQ(*names, (std::vector<TocEntryName>{{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 5}, {1, 6}, {1, 1}}));
    EXPECT_FALSE(qp::readIndexEntry(Bytes{0xA0}, 4096));                    // a difference before any entry
    EXPECT_FALSE(qp::readIndexEntry(Bytes{0x82, 0x80, 0xF8}, 4096));        // seven back from 0
    EXPECT_FALSE(qp::readIndexEntry(Bytes{0x83, 0x80}, 4096));              // the offset is missing
    EXPECT_FALSE(qp::readIndexEntry(Bytes{0x83, 0x80, 0x40, 0x81}, 4096));  // an offset of 8,193 past the record
}

TEST(IndexEntryCheck, EveryRecordMustNameExactlyTheEntriesOverlappingIt) {
    EXPECT_EQ(check(kSoundRecords), std::nullopt);
    const std::vector<std::pair<Bytes, const char*>> unsound = {
        // Two offsets after entry 5 (the 0x1 set twice): 2,904 is read as the next header.
        {{0x86, 0x80, 0x04, 0xA1, 0x80, 0x16, 0xD8, 0xB2, 0x81, 0x8A}, "unreadable"},
        {{0x86, 0x80, 0x04, 0xA1, 0x80, 0x86}, "6 missing"},
        {{0x86, 0x80, 0x04, 0xA1, 0x80, 0xB2, 0x81, 0x80, 0x89}, "6 twice"},
        {{0x86, 0x80, 0x05, 0xA1, 0x80, 0xB2, 0x81, 0x88}, "4 has ended"},
        {{0xFF}, "length past the record"}};
    for (const auto& [record, what] : unsound) {
        std::vector<Bytes> records = kSoundRecords;
        records[1] = record;
        EXPECT_EQ(check(records), std::optional<size_t>(1)) << what;
    }
}
