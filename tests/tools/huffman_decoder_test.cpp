// SPDX-License-Identifier: GPL-3.0-or-later
// The reader's Huffman dictionary decoder on a hand-made dictionary. Code lengths 1, 2, …, 8, 9, 9: entry k < 8
// has the code 0…01 of k + 1 bits, entries 8 and 9 the 9-bit codes 000000001 and 000000000. M(L) = L for
// L <= 8 and 9 for longer lengths. Entries: 0 " ", 1 "e", 2 "t", 3 "h", 4 "th" coded (001 0001 -> 0x22),
// 5 "the" coded (entries 4, 1: 00001 01 -> 0x0A), 6 "quick", 7 "abc", 8 "xyz", 9 coded as itself (0x00 0x00).
#include "huffman_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_book.h"

namespace {

using kovatest::be16;
using kovatest::be32;
using kovatest::bytes;

std::string le32(uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

uint32_t codeTableEntry(uint32_t prefix) {
    if (prefix == 0) return 9;  // not terminal: the search starts at 9 bits
    uint32_t length = 8;
    while (prefix >= (1u << (9 - length))) --length;  // prefix 1: 8 bits, 2-3: 7 bits, …, 128-255: 1 bit
    return length | 0x80 | length << 8;
}

std::string huffRecord() {
    std::string codeTable, codeTableCopy, lengthTable, lengthTableCopy;
    for (uint32_t prefix = 0; prefix < 256; ++prefix) {
        codeTable += be32(codeTableEntry(prefix));
        codeTableCopy += le32(codeTableEntry(prefix));
    }
    for (uint32_t length = 1; length <= 32; ++length) {
        const uint32_t smallest = length <= 8 ? 1 : 0;
        const uint32_t base = length <= 8 ? length : 9;
        lengthTable += be32(smallest) + be32(base);
        lengthTableCopy += le32(smallest) + le32(base);
    }
    return "HUFF" + be32(24) + be32(24) + be32(1048) + be32(1304) + be32(2328) + codeTable + lengthTable +
           codeTableCopy + lengthTableCopy;
}

std::string cdicHeader(uint32_t total, uint32_t bits) { return "CDIC" + be32(16) + be32(total) + be32(bits); }

// Eight entries per record (b = 3).
std::vector<std::string> cdicRecords(uint32_t total = 10) {
    const std::string first = cdicHeader(total, 3) + be16(16) + be16(20) + be16(24) + be16(28) + be16(32) + be16(36) +
                              be16(40) + be16(48) + bytes({0x80, 1, ' ', 0}) + bytes({0x80, 1, 'e', 0}) +
                              bytes({0x80, 1, 't', 0}) + bytes({0x80, 1, 'h', 0}) + bytes({0, 1, 0x22, 0}) +
                              bytes({0, 1, 0x0A, 0}) + bytes({0x80, 5}) + "quick" + bytes({0}) + bytes({0x80, 3}) +
                              "abc" + bytes({0, 0});
    const std::string second =
        cdicHeader(total, 3) + be16(4) + be16(10) + bytes({0x80, 3}) + "xyz" + bytes({0, 0, 2, 0, 0}) + bytes({0, 0});
    return {first, second};
}

kova::ByteView view(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

class HuffmanDecoderTest : public testing::Test {
protected:
    std::optional<std::string> load(const std::string& huff, const std::vector<std::string>& cdic) {
        huff_ = huff;
        cdic_ = cdic;
        std::vector<kova::ByteView> views;
        for (const std::string& record : cdic_) views.push_back(view(record));
        return decoder_.load(view(huff_), views);
    }

    // The decoded text, or the fault prefixed with "fault: ".
    std::string decode(const std::string& record) {
        std::vector<uint8_t> out;
        if (auto fault = decoder_.decode(view(record), out)) return "fault: " + *fault;
        return {out.begin(), out.end()};
    }

    std::string huff_;
    std::vector<std::string> cdic_;
    kova::HuffmanDecoder decoder_;
};

TEST_F(HuffmanDecoderTest, DecodesLiteralAndNestedCodedEntries) {
    ASSERT_FALSE(load(huffRecord(), cdicRecords()));
    EXPECT_EQ(decoder_.entryCount(), 10u);
    // entry 5 (000001), entry 0 (1), entry 6 (0000001), then two zero bits that complete the byte.
    EXPECT_EQ(decode(bytes({0x06, 0x04})), "the quick");
    // entry 8 (000000001): a 9-bit code found through the length table.
    EXPECT_EQ(decode(bytes({0x00, 0x80})), "xyz");
    // entry 7 (00000001), entries 1, 1 (01 01) and 0 (1), then three zero bits.
    EXPECT_EQ(decode(bytes({0x01, 0x58})), "abcee ");
    EXPECT_EQ(decode(""), "");
}

TEST_F(HuffmanDecoderTest, CodeWithoutEntryIsAFault) {
    ASSERT_FALSE(load(huffRecord(), cdicRecords(9)));
    EXPECT_EQ(decode(bytes({0x00, 0x00})), "fault: code 0x0 of 9 bits at bit 0 has no entry (9 entries)");
}

TEST_F(HuffmanDecoderTest, EntryNestedBeyondTheBoundIsAFault) {
    ASSERT_FALSE(load(huffRecord(), cdicRecords()));
    EXPECT_EQ(decode(bytes({0x00, 0x00})), "fault: entry 9 nests coded entries deeper than 32 levels");
}

TEST_F(HuffmanDecoderTest, EntryOutsideItsRecordIsAFault) {
    std::vector<std::string> cdic = cdicRecords();
    cdic[1].replace(18, 2, be16(200));  // entry 9's offset
    ASSERT_FALSE(load(huffRecord(), cdic));
    EXPECT_EQ(decode(bytes({0x00, 0x00})), "fault: entry 9 (CDIC record 1): offset 216 lies outside the record");
    cdic = cdicRecords();
    cdic[0].replace(56, 2, bytes({0x80, 50}));  // entry 6 claims 50 bytes
    ASSERT_FALSE(load(huffRecord(), cdic));
    EXPECT_EQ(decode(bytes({0x02})), "fault: entry 6 (CDIC record 0): 50 bytes at 58 run past the record's end");
}

struct MalformedCase {
    const char* name;
    std::string huff;
    std::vector<std::string> cdic;
    const char* fault;
};

class HuffmanDecoderMalformed : public testing::TestWithParam<MalformedCase> {};

TEST_P(HuffmanDecoderMalformed, LoadNamesTheFault) {
    const MalformedCase& c = GetParam();
    std::vector<kova::ByteView> views;
    for (const std::string& record : c.cdic) views.push_back(view(record));
    kova::HuffmanDecoder decoder;
    const auto fault = decoder.load(view(c.huff), views);
    ASSERT_TRUE(fault);
    EXPECT_EQ(*fault, c.fault);
}

std::string withBytes(std::string s, size_t at, const std::string& replacement) {
    return s.replace(at, replacement.size(), replacement);
}

std::vector<std::string> withFirstRecord(const std::string& first) {
    std::vector<std::string> cdic = cdicRecords();
    cdic[0] = first;
    return cdic;
}

INSTANTIATE_TEST_SUITE_P(
    Records, HuffmanDecoderMalformed,
    testing::Values(MalformedCase{"HuffMagic", withBytes(huffRecord(), 0, "HUFX"), cdicRecords(),
                                  "HUFF record: no \"HUFF\" header"},
                    MalformedCase{"HuffHeaderLength", withBytes(huffRecord(), 4, be32(20)), cdicRecords(),
                                  "HUFF record: header length 20, expected 24"},
                    MalformedCase{"HuffTruncated", huffRecord().substr(0, 2000), cdicRecords(),
                                  "HUFF record: code table copy at 1304 runs past the record's 2000 bytes"},
                    MalformedCase{"HuffCopyDiffers", withBytes(huffRecord(), 1304 + 4 * 7, le32(0x687)), cdicRecords(),
                                  "HUFF record: the little-endian code table differs at entry 7"},
                    MalformedCase{"NoCdic", huffRecord(), {}, "no CDIC records"},
                    MalformedCase{"CdicMagic", huffRecord(), withFirstRecord(withBytes(cdicRecords()[0], 0, "CDIX")),
                                  "CDIC record 0: no \"CDIC\" header"},
                    MalformedCase{
                        "CdicHeadersDisagree", huffRecord(), withFirstRecord(withBytes(cdicRecords()[0], 8, be32(11))),
                        "CDIC record 1: announces 10 entries, 2^3 per record; CDIC record 0 announces 11, 2^3"},
                    MalformedCase{"CdicRecordMissing",
                                  huffRecord(),
                                  {cdicRecords()[0]},
                                  "10 entries of 2^3 per record need 2 CDIC records, the book has 1"},
                    MalformedCase{"CdicOffsetsCut", huffRecord(), withFirstRecord(cdicRecords()[0].substr(0, 24)),
                                  "CDIC record 0: the offsets of its 8 entries run past its end"}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
