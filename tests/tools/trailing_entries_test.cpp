// SPDX-License-Identifier: GPL-3.0-or-later
#include "trailing_entries.h"

#include <gtest/gtest.h>

#include "test_book.h"
#include "variable_width.h"

namespace {

using kovatest::bytes;

kova::ByteView view(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

TEST(VariableWidth, ForwardFormMarksTheLastByte) {
    auto one = kova::readForward(view(bytes({0x85})), 0);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->value, 5u);
    EXPECT_EQ(one->byteCount, 1u);
    // 0x01 0x80 = (1 << 7) | 0 = 128; starting at an offset.
    auto two = kova::readForward(view(bytes({0xFF, 0x01, 0x80})), 1);
    ASSERT_TRUE(two);
    EXPECT_EQ(two->value, 128u);
    EXPECT_EQ(two->byteCount, 2u);
    EXPECT_FALSE(kova::readForward(view(bytes({0x01, 0x02})), 0));                          // no last byte
    EXPECT_FALSE(kova::readForward(view(bytes({0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0xFF})), 0));  // too long
}

TEST(VariableWidth, BackwardFormMarksTheFirstByte) {
    // Length 1 is 0x81; 300 = 2 × 128 + 44 is 0x82 0x2C.
    auto one = kova::readBackward(view(bytes({0x11, 0x81})));
    ASSERT_TRUE(one);
    EXPECT_EQ(one->value, 1u);
    auto two = kova::readBackward(view(bytes({0x05, 0x82, 0x2C})));
    ASSERT_TRUE(two);
    EXPECT_EQ(two->value, 300u);
    EXPECT_EQ(two->byteCount, 2u);
    EXPECT_FALSE(kova::readBackward(view(bytes({0x01, 0x02}))));
}

TEST(TrailingEntries, MultibyteEntryNextToTheText) {
    // Text "ab", then two continuation bytes and 0x12 (j = 1, k = 2).
    std::string record = "ab" + bytes({0x82, 0xAC, 0x12});
    kova::TrailingEntries entries;
    EXPECT_FALSE(kova::readTrailingEntries(view(record), kova::multibyteEntryFlag, entries));
    EXPECT_TRUE(entries.hasMultibyte);
    EXPECT_EQ(entries.size, 3u);
    EXPECT_EQ(entries.multibyteBytes, (std::vector<uint8_t>{0x82, 0xAC}));
    EXPECT_EQ(entries.leadingContinuationCount(), 1u);
}

TEST(TrailingEntries, EntriesComeOffInIncreasingBitOrder) {
    // Text "xyz", multibyte 0x00, position list (values 2 and 1, length 3: 0x82 0x81 0x83),
    // index entry (number 4 × 8 | 0x2 = 0x22 → 0xA2, parent level 0 → 0x80, length 3: 0x83).
    std::string record = "xyz" + bytes({0x00, 0x82, 0x81, 0x83, 0xA2, 0x80, 0x83});
    kova::TrailingEntries entries;
    EXPECT_FALSE(kova::readTrailingEntries(view(record), 0x7, entries));
    EXPECT_EQ(entries.size, 7u);
    EXPECT_TRUE(entries.hasMultibyte);
    EXPECT_TRUE(entries.multibyteBytes.empty());
    ASSERT_TRUE(entries.hasPositionList);
    EXPECT_EQ(entries.positionValues, (std::vector<uint32_t>{2, 1}));
    EXPECT_EQ(kova::positionListPositions(entries.positionValues, 4096), (std::vector<uint64_t>{4112, 4120}));
    ASSERT_TRUE(entries.hasIndex);
    ASSERT_TRUE(entries.indexDecoded);
    ASSERT_EQ(entries.indexItems.size(), 1u);
    EXPECT_EQ(entries.indexItems[0].number, 4u);
    EXPECT_EQ(entries.indexItems[0].parentLevel, 0u);
}

TEST(TrailingEntries, EmptyPositionListIsItsLengthByte) {
    std::string record = "text" + bytes({0x81});
    kova::TrailingEntries entries;
    EXPECT_FALSE(kova::readTrailingEntries(view(record), kova::positionListFlag, entries));
    EXPECT_TRUE(entries.hasPositionList);
    EXPECT_TRUE(entries.positionValues.empty());
    EXPECT_EQ(entries.size, 1u);
}

TEST(TrailingEntries, FaultsWhenAnEntryDoesNotFit) {
    kova::TrailingEntries entries;
    EXPECT_TRUE(kova::readTrailingEntries(view(bytes({'a', 0x85})), kova::positionListFlag, entries));
    EXPECT_TRUE(kova::readTrailingEntries(view(bytes({0x01, 0x02})), kova::positionListFlag, entries));
    EXPECT_TRUE(kova::readTrailingEntries(view(""), kova::multibyteEntryFlag, entries));
    EXPECT_TRUE(kova::readTrailingEntries(view(bytes({0x03})), kova::multibyteEntryFlag, entries));
    EXPECT_TRUE(kova::readTrailingEntries(view(bytes({'a', 0x82, 0x01})), kova::positionListFlag, entries));
}

TEST(IndexEntry, DecodesRunsDifferencesAndStartOffsets) {
    // Item 1: number 3 at parent level 1 (0x1A | 0x1 start offset | 0x4 run → 0x1F → 0x9F), level 0x81,
    //         run count 2 (entries 3 and 4), start offset 0 (0x80).
    // Item 2: difference +2 from 4 (0x20 → 0xA0): entry 6.
    // Item 3: difference -5 (0x50 | 0x8 = 0x58 → 0xD8): entry 1.
    auto items = kova::decodeIndexEntry(view(bytes({0x9F, 0x81, 0x02, 0x80, 0xA0, 0xD8})));
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 3u);
    EXPECT_EQ((*items)[0].number, 3u);
    EXPECT_EQ((*items)[0].parentLevel, 1u);
    EXPECT_EQ((*items)[0].runCount, 2u);
    EXPECT_EQ((*items)[0].startOffset, 0u);
    EXPECT_EQ((*items)[1].number, 6u);
    EXPECT_FALSE((*items)[1].startOffset);
    EXPECT_EQ((*items)[2].number, 1u);
    EXPECT_EQ((*items)[2].parentLevel, 1u);
    // An item after a spanning offset: (0,0) with offset 0, then +1.
    auto afterOffset = kova::decodeIndexEntry(view(bytes({0x83, 0x80, 0x80, 0x90})));
    ASSERT_TRUE(afterOffset);
    ASSERT_EQ(afterOffset->size(), 2u);
    EXPECT_EQ((*afterOffset)[1].number, 1u);
    EXPECT_EQ((*afterOffset)[1].runCount, 1u);
    EXPECT_FALSE(kova::decodeIndexEntry(view(bytes({0xA0}))));  // a difference with no previous entry
    EXPECT_FALSE(kova::decodeIndexEntry(view(bytes({0xA2}))));  // parent level missing
}

}  // namespace
