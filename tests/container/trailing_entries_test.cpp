// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/trailing_entries.h"

#include <gtest/gtest.h>

#include <string>

using Bytes = std::vector<uint8_t>;
using qp::TocEntry;

namespace {

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes multibyte(const Bytes& text, size_t start, size_t end) {
    Bytes out;
    qp::appendMultibyteEntry(out, text, start, end);
    return out;
}

Bytes indexEntry(qp::IndexEntryEncoder& encoder, size_t start, size_t end) {
    Bytes out;
    EXPECT_TRUE(encoder.appendEntry(out, 0, start, end));
    return out;
}

}  // namespace

TEST(MultibyteEntry, RecordEndingAfterLeadByteCarriesTheContinuationBytes) {
    // "ab" then U+20AC (E2 82 AC), cut after its lead byte: the record is [0, 3).
    Bytes text = {'a', 'b', 0xE2, 0x82, 0xAC, 'c'};
    EXPECT_EQ(multibyte(text, 0, 3), (Bytes{0x82, 0xAC, 0x02}));
    // The next record starts with the two continuation bytes.
    EXPECT_EQ(multibyte(text, 3, 6), (Bytes{0x20}));
}

TEST(MultibyteEntry, CleanCutsAndTheTextEnd) {
    Bytes text = bytesOf("hello");
    EXPECT_EQ(multibyte(text, 0, 5), (Bytes{0x00}));
    // Continuation bytes are copied only while they lie within the text.
    Bytes cut = {'x', 0xF0, 0x9F, 0x98};
    EXPECT_EQ(multibyte(cut, 0, 2), (Bytes{0x9F, 0x98, 0x02}));
    EXPECT_EQ(multibyte(cut, 0, 3), (Bytes{0x98, 0x01}));
}

TEST(PositionListEntry, RecordWithoutPositionsIsItsLengthByte) {
    qp::PositionListEncoder encoder({{5000, false}});
    Bytes out;
    encoder.appendEntry(out, 0, 4096);
    EXPECT_EQ(out, (Bytes{0x81}));
}

TEST(PositionListEntry, DistancesInEightsWithRoundUpAndCarriedCursor) {
    qp::PositionListEncoder encoder({{16, false}, {21, true}, {100, false}, {4100, true}});
    Bytes first;
    encoder.appendEntry(first, 0, 4096);
    // 16 -> 16 >> 3 = 2, base 16; 21 marked -> (5 + 7) >> 3 = 1, base += 8 -> 24;
    // 100 -> 76 >> 3 = 9, base += 72 -> 96. Payload 3 bytes, length 4.
    EXPECT_EQ(first, (Bytes{0x82, 0x81, 0x89, 0x84}));
    Bytes second;
    encoder.appendEntry(second, 4096, 8192);
    // 4100 marked, base 4096 -> (4 + 7) >> 3 = 1.
    EXPECT_EQ(second, (Bytes{0x81, 0x82}));
}

TEST(IndexEntry, EntrySpanningRecordsThenEndingInOne) {
    qp::IndexEntryEncoder encoder({{0, 10000, 0, 0}});
    // Spans [0, 4096): header 0*8 with 0x2 -> 0x82, level 0 -> 0x80; spanning mark 0x1 and offset 0.
    EXPECT_EQ(indexEntry(encoder, 0, 4096), (Bytes{0x83, 0x80, 0x80, 0x84}));
    EXPECT_EQ(indexEntry(encoder, 4096, 8192), (Bytes{0x83, 0x80, 0x80, 0x84}));
    // Ends inside [8192, 12288): emitted without the spanning mark.
    EXPECT_EQ(indexEntry(encoder, 8192, 12288), (Bytes{0x82, 0x80, 0x83}));
    // Nothing open any more: only the length.
    EXPECT_EQ(indexEntry(encoder, 12288, 16384), (Bytes{0x81}));
}

TEST(IndexEntry, NoRunContinuesAcrossTheSpanningOffset) {
    // (0,0) spans [4096, 8192); (0,1) began before and ends inside it.
    qp::IndexEntryEncoder encoder({{0, 10000, 0, 0}, {100, 5000, 0, 1}});
    indexEntry(encoder, 0, 4096);
    // 0x82 0x80 for (0,0), the mark (0x83) and offset 0x80; (0,1) follows it but gets its own header, +1 (0x90).
    EXPECT_EQ(indexEntry(encoder, 4096, 8192), (Bytes{0x83, 0x80, 0x80, 0x90, 0x85}));
}

TEST(IndexEntry, ConsecutiveNumbersFormARun) {
    qp::IndexEntryEncoder encoder({{0, 50, 1, 0}, {100, 50, 1, 1}, {200, 50, 1, 2}, {300, 50, 1, 3}});
    // Header of entry 0 (0x82, level 0x81), run flag 0x4 on the header byte, count byte 2 then 3 then 4.
    EXPECT_EQ(indexEntry(encoder, 0, 4096), (Bytes{0x86, 0x81, 0x04, 0x84}));
}

TEST(IndexEntry, LevelChangesAndBackwardSteps) {
    qp::IndexEntryEncoder encoder({{0, 8000, 0, 0}, {100, 50, 1, 5}, {200, 20, 1, 3}});
    // Entry (0,0) spans: 0x82 0x80, then the mark (0x83) and offset 0x80.
    // Entry (1,5): new level -> 5*8 = 40 with 0x2 -> 0xAA, level 1 -> 0x81.
    // Entry (1,3): two back -> (2 << 4) | 0x8 = 0x28 -> 0xA8. Payload 6, length 7.
    EXPECT_EQ(indexEntry(encoder, 0, 4096), (Bytes{0x83, 0x80, 0x80, 0xAA, 0x81, 0xA8, 0x87}));
    // The level-0 entry still spans the next record.
    EXPECT_EQ(indexEntry(encoder, 4096, 8192), (Bytes{0x82, 0x80, 0x83}));
}

TEST(IndexEntry, OffsetRestartsCountingAfterFiveEntries) {
    std::vector<TocEntry> entries;
    for (uint32_t i = 0; i < 6; ++i) entries.push_back({i * 10, 5, 0, i * 2});
    qp::IndexEntryEncoder encoder(entries);
    // 0x82 0x80, then four steps of +2 (0x20 -> 0xA0); the sixth entry, covered, sets 0x1 on the previous
    // header byte (0xA1), gives its offset 50 (0xB2) and its header (+2 -> 0xA0). Payload 8, length 9.
    EXPECT_EQ(indexEntry(encoder, 0, 4096), (Bytes{0x82, 0x80, 0xA0, 0xA0, 0xA0, 0xA1, 0xB2, 0xA0, 0x89}));
}

TEST(IndexEntry, TheSpanningOffsetRestartsTheCounting) {
    // Five entries on one place (0 to 3 reach the end of the text, 4 ends in the first record), then 5 from
    // the first record to the end and its child 6 (level 1) beginning inside the second record.
    qp::IndexEntryEncoder encoder({{100, 20000, 0, 0},
                                   {100, 20000, 0, 1},
                                   {100, 20000, 0, 2},
                                   {100, 20000, 0, 3},
                                   {100, 1300, 0, 4},
                                   {1400, 18700, 0, 5},
                                   {7000, 3000, 1, 6}});
    indexEntry(encoder, 0, 4096);
    // Spanning: 0x82 0x80 for 0, the run of 1 to 3 (0x86, count 4), 5 two on (0x20, marked 0xA1) and the
    // offset 0 (0x80). The offset counts as the restart, so 6 gets a plain header: 6 * 8 with 0x2 (0xB2) and
    // level 1 (0x81); a second offset on 5's header byte would make the entry unreadable. Payload 7, length 8.
    EXPECT_EQ(indexEntry(encoder, 4096, 8192), (Bytes{0x86, 0x80, 0x04, 0xA1, 0x80, 0xB2, 0x81, 0x88}));
}

TEST(IndexEntry, SixNestedEntriesOnOnePlace) {
    std::vector<TocEntry> entries;
    for (uint32_t depth = 0; depth < 6; ++depth) entries.push_back({100, 9900, depth, depth});
    qp::IndexEntryEncoder encoder(entries);
    // All begin in the first record, each at a new level: number × 8 with 0x2, then the level (0x82 0x80,
    // 0x8A 0x81, ... 0xAA 0x85). None is covered (nothing spans the record below them): no offset. Length 13.
    EXPECT_EQ(indexEntry(encoder, 0, 4096),
              (Bytes{0x82, 0x80, 0x8A, 0x81, 0x92, 0x82, 0x9A, 0x83, 0xA2, 0x84, 0xAA, 0x85, 0x8D}));
    // All six span the second record: the same headers, the last marked (0xAB) with the offset 0. Length 14.
    EXPECT_EQ(indexEntry(encoder, 4096, 8192),
              (Bytes{0x82, 0x80, 0x8A, 0x81, 0x92, 0x82, 0x9A, 0x83, 0xA2, 0x84, 0xAB, 0x85, 0x80, 0x8E}));
}

TEST(IndexEntry, ReportsOverflowWhenTheBufferIsAlmostFull) {
    qp::IndexEntryEncoder encoder({{0, 50, 0, 0}});
    Bytes out;
    EXPECT_FALSE(encoder.appendEntry(out, qp::kTrailingBufferSize - 10, 0, 4096));
}

TEST(TrailingEntryWriter, EntriesFollowInBitOrderFromTheText) {
    Bytes text = bytesOf("abcdefgh");
    qp::TrailingEntryWriter writer(qp::kMultibyteEntryFlag | qp::kPositionListFlag | qp::kIndexEntryFlag, text,
                                   {{0, false}}, {{0, 8, 0, 0}});
    Bytes out;
    ASSERT_TRUE(writer.appendEntries(out, 0, 8));
    // Multibyte 0x00; positions: 0 -> 0x80, length 0x82; index: spans [0, 8) -> 0x83 0x80 0x80, length 0x84.
    EXPECT_EQ(out, (Bytes{0x00, 0x80, 0x82, 0x83, 0x80, 0x80, 0x84}));
}
