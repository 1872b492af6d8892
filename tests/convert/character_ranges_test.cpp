// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/character_ranges.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

std::vector<std::pair<uint32_t, uint32_t>> bounds(std::string_view text, int32_t codePage) {
    std::vector<std::pair<uint32_t, uint32_t>> found;
    for (const auto& range :
         qp::characterRanges({reinterpret_cast<const uint8_t*>(text.data()), text.size()}, codePage)) {
        found.emplace_back(range.first, range.last);
    }
    return found;
}

TEST(CharacterRanges, TheBlocksOfEveryCharacterInAscendingOrder) {
    // "a", "é", a dash, "Ж", "日" and a cut sequence, which counts as U+FFFD (Specials).
    EXPECT_EQ(bounds("a\xC3\xA9 \xE2\x80\x93 \xD0\x96 \xE6\x97\xA5 \xE6\x97", 65001),
              (std::vector<std::pair<uint32_t, uint32_t>>{{0x0000, 0x007F},
                                                          {0x0080, 0x00FF},
                                                          {0x0400, 0x04FF},
                                                          {0x2000, 0x206F},
                                                          {0x4E00, 0x9FFF},
                                                          {0xFFF0, 0xFFFF}}));
    // In 1252, 0x80 is the euro sign (Currency Symbols) and 0xE9 is "é".
    EXPECT_EQ(bounds("x\x80\xE9", 1252),
              (std::vector<std::pair<uint32_t, uint32_t>>{{0x0000, 0x007F}, {0x0080, 0x00FF}, {0x20A0, 0x20CF}}));
    EXPECT_TRUE(bounds("", 65001).empty());
}

TEST(CharacterRanges, NamedAndEncodedAsBigEndianPairs) {
    const std::vector<qp::CharacterRange> ranges{{0x0000, 0x007F, "Basic Latin"}, {0x1F300, 0x1F5FF, "x"}};
    EXPECT_EQ(qp::encodeCharacterRanges(ranges),
              (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0x7F, 0, 0x01, 0xF3, 0x00, 0, 0x01, 0xF5, 0xFF}));
    EXPECT_EQ(qp::describeCharacterRange(ranges[0]), "U+0000-U+007F Basic Latin");
    EXPECT_EQ(qp::characterRanges({reinterpret_cast<const uint8_t*>("\xD0\x96"), 2}, 65001)[0].name, "Cyrillic");
}

}  // namespace
