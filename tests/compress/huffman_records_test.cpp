// SPDX-License-Identifier: GPL-3.0-or-later
// The HUFF and CDIC record layouts, against hand-computed bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "compress/huffman_canonical_code.h"
#include "compress/huffman_cdic_records.h"
#include "compress/huffman_huff_record.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t bigEndian(const Bytes& bytes, size_t at) {
    return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
}

uint32_t littleEndian(const Bytes& bytes, size_t at) {
    return uint32_t{bytes[at + 3]} << 24 | uint32_t{bytes[at + 2]} << 16 | uint32_t{bytes[at + 1]} << 8 | bytes[at];
}

// Lengths 1, 2, …, 8, 9, 9: the code of length L < 9 is 0…01 (L bits), the two 9-bit codes are 1 and 0.
// M(L) = 1 + (L - 1) = L for L <= 8, M(9) = 1 + 8 = 9; above 9, smallest 0 and M = 10 entries - 1.
Bytes chainHuff() {
    qp::CanonicalCode code;
    EXPECT_TRUE(code.assign({1, 2, 3, 4, 5, 6, 7, 8, 9, 9}));
    return qp::huffRecord(code);
}

TEST(HuffRecord, HeaderGivesTheFourTableOffsets) {
    const Bytes huff = chainHuff();
    ASSERT_EQ(huff.size(), 2584u);
    EXPECT_EQ(std::string(huff.begin(), huff.begin() + 4), "HUFF");
    const uint32_t expected[] = {24, 24, 1048, 1304, 2328};
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(bigEndian(huff, 4 + 4 * i), expected[i]) << i;
}

TEST(HuffRecord, CodeTableEntriesInBothByteOrders) {
    const Bytes huff = chainHuff();
    // Prefix -> entry: terminal codes of length L <= 8 give L | 0x80 | M(L) << 8; prefix 0 starts the
    // search at length 9.
    const std::pair<uint32_t, uint32_t> cases[] = {
        {0, 0x009},  {1, 0x888},  {2, 0x787},  {3, 0x787},  {4, 0x686},  {7, 0x686},   {8, 0x585},   {15, 0x585},
        {16, 0x484}, {31, 0x484}, {32, 0x383}, {63, 0x383}, {64, 0x282}, {127, 0x282}, {128, 0x181}, {255, 0x181}};
    for (const auto& [prefix, entry] : cases) {
        EXPECT_EQ(bigEndian(huff, 24 + 4 * prefix), entry) << prefix;
        EXPECT_EQ(littleEndian(huff, 1304 + 4 * prefix), entry) << prefix;
    }
}

TEST(HuffRecord, LengthTablePairsInBothByteOrders) {
    const Bytes huff = chainHuff();
    for (uint32_t length = 1; length <= 32; ++length) {
        const uint32_t smallest = length <= 8 ? 1 : 0;
        const uint32_t base = length <= 8 ? length : 9;
        const size_t at = 8 * (length - 1);
        EXPECT_EQ(bigEndian(huff, 1048 + at), smallest) << length;
        EXPECT_EQ(bigEndian(huff, 1048 + at + 4), base) << length;
        EXPECT_EQ(littleEndian(huff, 2328 + at), smallest) << length;
        EXPECT_EQ(littleEndian(huff, 2328 + at + 4), base) << length;
    }
}

struct EntryBitsCase {
    const char* name;
    std::vector<uint32_t> lengths;
    uint32_t bits;
};

class CdicEntryBits : public testing::TestWithParam<EntryBitsCase> {};

TEST_P(CdicEntryBits, LargestPowerOfTwoThatEveryRunHolds) {
    EXPECT_EQ(qp::cdicEntryBits(GetParam().lengths), GetParam().bits);
}

// Stored size = 4 + length (+1 when odd); a run fits while 16 + its stored sizes stay below 61,439.
INSTANTIATE_TEST_SUITE_P(
    Runs, CdicEntryBits,
    testing::Values(EntryBitsCase{"AllFitOneRecord", std::vector<uint32_t>(100, 3), 6},
                    EntryBitsCase{"FourFit", std::vector<uint32_t>(9, 15350), 2},        // 16 + 4 x 15354 = 61432
                    EntryBitsCase{"OddLengthPads", std::vector<uint32_t>(9, 15351), 1},  // 16 + 4 x 15356 = 61440
                    EntryBitsCase{"ShortestRunDecides", {10, 30000, 30000, 30000, 10, 10, 10, 10}, 1},
                    EntryBitsCase{"OneEntry", {5}, 0}),
    [](const auto& test) { return std::string(test.param.name); });

// Entries "abc" (literal), two bytes of codes, "x" (literal). All three fit one record, so 2^b = 2.
TEST(CdicRecords, EntriesOnEvenOffsetsWithTheirLengthWords) {
    qp::DictionaryEntries entries;
    entries.add(Bytes{'a', 'b', 'c'}, true);
    entries.add(Bytes{0xA5, 0x80}, false);
    entries.add(Bytes{'x'}, true);
    const std::vector<Bytes> records = qp::cdicRecords(entries);
    ASSERT_EQ(records.size(), 2u);
    const Bytes first = {'C',  'D', 'I',  'C',  0,   0, 0, 16, 0, 0, 0, 3, 0, 0, 0, 1, 0, 4, 0, 10,  // offsets from 16
                         0x80, 3,   'a',  'b',  'c', 0,  // a 3-byte literal; the next entry starts one byte later
                         0,    2,   0xA5, 0x80,          // coded
                         0,    0};                       // 30 used bytes, rounded up to 32
    EXPECT_EQ(records[0], first);
    const Bytes second = {'C', 'D', 'I', 'C', 0, 0, 0, 16, 0, 0, 0, 3, 0, 0, 0, 1, 0, 2, 0x80, 1, 'x', 0, 0, 0};
    EXPECT_EQ(records[1], second);
}

}  // namespace
