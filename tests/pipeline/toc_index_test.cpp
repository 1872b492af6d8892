// SPDX-License-Identifier: GPL-3.0-or-later
#include "pipeline/toc_index.h"

#include <gtest/gtest.h>

#include "convert/media_table.h"

namespace {

qp::TocNode node(std::string label, uint32_t position, uint32_t depth, int32_t parent = qp::kNoTocNode) {
    qp::TocNode made;
    made.label = std::move(label);
    made.target = "a.html";
    made.position = position;
    made.depth = depth;
    made.parent = parent;
    return made;
}

TEST(TocIndex, HexadecimalKeysOfOneWidthAndListKeysAfterABar) {
    qp::TableOfContents toc;
    for (uint32_t i = 0; i < 17; ++i) toc.navMap.push_back(node("L" + std::to_string(i), 100 * i, 0));
    toc.navLists.push_back(node("List", 0, 0));
    toc.navLists.push_back(node("Fig", 50, 1, 0));
    qp::MediaTable media;
    const qp::TocIndex built = qp::buildTocIndex(toc, 1252, 9, media);
    std::vector<std::string> keys;
    for (qp::IndexEntryId id : built.index->sorted()) keys.emplace_back(built.index->key(id));
    ASSERT_EQ(keys.size(), 19u);
    // 17 entries need two digits; "|" sorts as nothing in a western index, the raw bytes break the tie.
    EXPECT_EQ(keys[0], "00");
    EXPECT_EQ(keys[1], "|00");
    EXPECT_EQ(keys[2], "01");
    EXPECT_EQ(keys[3], "|01");
    EXPECT_EQ(keys[18], "10");
    ASSERT_EQ(built.trailingEntries.size(), 17u);
    EXPECT_EQ(built.trailingEntries[16].number, 18u);  // "10" is the last rank
    EXPECT_EQ(built.trailingEntries[16].start, 1600u);
}

TEST(TocIndex, KeysAreAsWideAsTheLargestSequenceNumber) {
    const struct {
        uint32_t count;
        std::string first, last;
    } cases[] = {{16, "0", "F"}, {17, "00", "10"}, {256, "00", "FF"}, {4097, "0000", "1000"}};
    for (const auto& c : cases) {
        qp::TableOfContents toc;
        for (uint32_t i = 0; i < c.count; ++i) toc.navMap.push_back(node("L", 10 * i, 0));
        qp::MediaTable media;
        const qp::TocIndex built = qp::buildTocIndex(toc, 1252, 9, media);
        const std::vector<qp::IndexEntryId> sorted = built.index->sorted();
        ASSERT_EQ(sorted.size(), c.count);
        EXPECT_EQ(built.index->key(sorted.front()), c.first) << c.count;
        EXPECT_EQ(built.index->key(sorted.back()), c.last) << c.count;
    }
}

}  // namespace
