// SPDX-License-Identifier: GPL-3.0-or-later
// Huffman code lengths and canonical code assignment, against hand-worked codes.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "compress/huffman_canonical_code.h"
#include "compress/huffman_code_lengths.h"

namespace {

using Lengths = std::vector<uint8_t>;

TEST(HuffmanCodeLengths, FollowTheHandWorkedTree) {
    // 1+1 -> 2; 2+3 -> 5; 5+5 -> 10; 10+10 -> 20.
    EXPECT_EQ(qp::huffmanCodeLengths({10, 1, 1, 5, 3}), (Lengths{1, 4, 4, 2, 3}));
    EXPECT_EQ(qp::huffmanCodeLengths({7}), (Lengths{1}));
}

TEST(HuffmanCodeLengths, DeepCodesAreLimitedTo32BitsAndStayComplete) {
    // Fibonacci counts make the optimal code as deep as there are symbols.
    std::vector<uint32_t> counts = {1, 1};
    while (counts.size() < 40) counts.push_back(counts[counts.size() - 1] + counts[counts.size() - 2]);
    const Lengths lengths = qp::huffmanCodeLengths(counts);
    uint64_t kraft = 0;  // in units of 2^-32
    for (uint8_t length : lengths) {
        ASSERT_GE(length, 1);
        ASSERT_LE(length, 32);
        kraft += uint64_t{1} << (32 - length);
    }
    EXPECT_EQ(kraft, uint64_t{1} << 32);
}

// Lengths 2,2,3,3,3,4,4: first(4) = 0 (0000, 0001), first(3) = (0+2+1)/2 = 1 (001, 010, 011),
// first(2) = (1+3+1)/2 = 2 (10, 11), first(1) = (2+2+1)/2 = 2 (no codes). Entries are numbered from the
// shortest codes, and within a length the largest code comes first.
TEST(HuffmanCanonicalCode, AssignsCodesFromTheLongestLengthDown) {
    qp::CanonicalCode code;
    ASSERT_TRUE(code.assign({2, 2, 3, 3, 3, 4, 4}));
    EXPECT_EQ(code.maxLength(), 4u);
    const uint32_t expectedFirst[] = {0, 2, 2, 1, 0};
    for (uint32_t length = 1; length <= 4; ++length) EXPECT_EQ(code.first(length), expectedFirst[length]) << length;
    // M(L) = largest code of length L + entries with shorter codes; for length 1, first(1) - 1 + 0.
    EXPECT_EQ(code.entryBase(1), 1u);
    EXPECT_EQ(code.entryBase(2), 3u);
    EXPECT_EQ(code.entryBase(3), 5u);
    EXPECT_EQ(code.entryBase(4), 6u);
    const uint32_t lengths[] = {2, 2, 3, 3, 3, 4, 4};
    const uint32_t codes[] = {0b11, 0b10, 0b011, 0b010, 0b001, 0b0001, 0b0000};
    for (uint32_t entry = 0; entry < 7; ++entry) EXPECT_EQ(code.code(entry, lengths[entry]), codes[entry]) << entry;
}

TEST(HuffmanCanonicalCode, RefusesLengthsOutOfOrderOrOutOfRange) {
    qp::CanonicalCode code;
    EXPECT_FALSE(code.assign({3, 2}));
    EXPECT_FALSE(code.assign({0, 1}));
    EXPECT_FALSE(code.assign({33}));
    EXPECT_FALSE(code.assign({1, 1, 1}));  // three codes of one bit
}

}  // namespace
