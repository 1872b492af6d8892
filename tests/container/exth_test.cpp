// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/exth.h"

#include <gtest/gtest.h>

#include <string>

using Bytes = std::vector<uint8_t>;

namespace {

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

}  // namespace

TEST(ExthBlock, ThirtySevenBytesOfRecordsArePaddedToFiftyTwo) {
    qp::ExthList list;
    list.append(100, bytesOf("Ann"));         // 8 + 3 = 11 bytes
    list.append(101, bytesOf("Publishers"));  // 8 + 10 = 18 bytes
    list.append(105, {});                     // 8 bytes: 37 in all, 12 + 37 = 49 -> 52
    Bytes expected = {'E', 'X', 'T', 'H', 0,   0, 0, 52, 0,   0, 0, 3, 0,  0,   0,   100, 0,   0,
                      0,   11,  'A', 'n', 'n', 0, 0, 0,  101, 0, 0, 0, 18, 'P', 'u', 'b', 'l', 'i',
                      's', 'h', 'e', 'r', 's', 0, 0, 0,  105, 0, 0, 0, 8,  0,   0,   0};
    EXPECT_EQ(list.encodeBlock(), expected);
}

TEST(ExthBlock, NoItemsNoBlock) { EXPECT_TRUE(qp::ExthList().encodeBlock().empty()); }

TEST(ExthList, AppendKeepsEveryItemAndSetKeepsOne) {
    qp::ExthList list;
    list.append(100, bytesOf("First"));
    list.append(101, bytesOf("House"));
    list.append(100, bytesOf("Second"));
    ASSERT_EQ(list.items().size(), 3u);
    EXPECT_EQ(list.items()[0].value, bytesOf("First"));
    EXPECT_EQ(list.items()[2].value, bytesOf("Second"));

    list.set(100, bytesOf("Only"));
    ASSERT_EQ(list.items().size(), 2u);
    EXPECT_EQ(list.items()[0].type, 100u);
    EXPECT_EQ(list.items()[0].value, bytesOf("Only"));
    EXPECT_EQ(list.items()[1].type, 101u);

    list.setNumber(207, 85);
    EXPECT_EQ(list.items().back().value, (Bytes{0, 0, 0, 85}));
}

TEST(ExthLimit, ReviewIsCutByTheExcess) {
    qp::ExthList list;
    list.append(103, Bytes(10000, 'd'));
    list.append(107, Bytes(1000, 'r'));
    list.append(100, Bytes(20000, 'c'));  // 31,000 in all
    qp::ExthList::LimitOutcome outcome = list.fitWithin(qp::kMetadataLimit);
    EXPECT_TRUE(outcome.within);
    EXPECT_EQ(outcome.truncations, 1);
    EXPECT_EQ(list.items()[1].value.size(), 720u);
    EXPECT_EQ(list.items()[0].value.size(), 10000u);
}

TEST(ExthLimit, DescriptionGoesSecondThenTheRestIsTooMuch) {
    qp::ExthList list;
    list.append(107, Bytes(100, 'r'));
    list.append(103, Bytes(500, 'd'));
    list.append(100, Bytes(30500, 'c'));  // 380 over: the review empties, the description loses 280
    qp::ExthList::LimitOutcome outcome = list.fitWithin(qp::kMetadataLimit);
    EXPECT_TRUE(outcome.within);
    EXPECT_EQ(outcome.truncations, 2);
    EXPECT_TRUE(list.items()[0].value.empty());
    EXPECT_EQ(list.items()[1].value.size(), 220u);

    list.append(100, Bytes(300, 'c'));
    outcome = list.fitWithin(qp::kMetadataLimit);
    EXPECT_FALSE(outcome.within);
}

TEST(ExthLimit, OnlyTheLastReviewIsCut) {
    qp::ExthList list;
    list.append(107, Bytes(500, 'a'));
    list.append(107, Bytes(500, 'b'));
    list.append(100, Bytes(29800, 'c'));  // 80 over
    list.fitWithin(qp::kMetadataLimit);
    EXPECT_EQ(list.items()[0].value.size(), 500u);
    EXPECT_EQ(list.items()[1].value.size(), 420u);
}
