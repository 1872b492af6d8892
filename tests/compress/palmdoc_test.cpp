// SPDX-License-Identifier: GPL-3.0-or-later
// PalmDOC compression: hand-computed token streams for the format's corner cases, and byte-for-byte
// agreement with the plain reference transcription on many kinds of input.
#include "compress/palmdoc.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "palmdoc_reference.h"
#include "sample_prose.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

std::string hex(const Bytes& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (uint8_t b : bytes) {
        if (!out.empty()) out += ' ';
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

Bytes compress(const Bytes& input) { return qp::palmdocCompress(input.data(), input.size()); }

// Production and reference agree, and the result expands back to the input.
void expectMatchesReference(const Bytes& input, const std::string& what) {
    const Bytes produced = compress(input);
    const Bytes expected = palmdocref::compress(input.data(), input.size());
    ASSERT_EQ(hex(produced), hex(expected)) << what << ", " << input.size() << " bytes";
    const auto expanded = palmdocref::decompress(produced.data(), produced.size());
    ASSERT_TRUE(expanded.has_value()) << what;
    ASSERT_EQ(*expanded, input) << what;
}

Bytes randomBytes(size_t size, uint32_t seed, int lowest = 0, int highest = 255) {
    std::mt19937 engine(seed);
    std::uniform_int_distribution<int> byte(lowest, highest);
    Bytes out(size);
    for (auto& b : out) b = static_cast<uint8_t>(byte(engine));
    return out;
}

// Text from a handful of words with spaces: many short and long matches, ties and pending spaces.
Bytes wordSoup(size_t size, uint32_t seed) {
    static const char* const words[] = {"the", "then", "there", "A",  "an",   "and",      "sand", "\xE9t\xE9",
                                        "a",   "@",    "x",     "  ", "\x01", "\x80\x81", "ab",   "abab"};
    std::mt19937 engine(seed);
    std::uniform_int_distribution<size_t> pick(0, std::size(words) - 1);
    Bytes out;
    while (out.size() < size) {
        const std::string_view word = words[pick(engine)];
        out.insert(out.end(), word.begin(), word.end());
        out.push_back(' ');
    }
    out.resize(size);
    return out;
}

Bytes prose() { return bytesOf(palmdocsample::prose); }

struct HandCase {
    const char* name;
    Bytes input;
    const char* expected;  // hex of the compressed record
};

class PalmdocHandComputed : public testing::TestWithParam<HandCase> {};

TEST_P(PalmdocHandComputed, ProducesTheExpectedTokens) {
    const HandCase& c = GetParam();
    EXPECT_EQ(hex(compress(c.input)), c.expected);
    EXPECT_EQ(hex(palmdocref::compress(c.input.data(), c.input.size())), c.expected) << "reference";
}

INSTANTIATE_TEST_SUITE_P(
    Corners, PalmdocHandComputed,
    testing::Values(
        HandCase{"Empty", {}, ""},
        // 'a', then distance 1 length 10 (0x8000 | 1 << 3 | 7), then the last byte as a literal.
        HandCase{"RunOfTwelve", bytesOf("aaaaaaaaaaaa"), "61 80 0F 61"},
        HandCase{"SpaceJoinsLetter", bytesOf(" A"), "C1"}, HandCase{"SpaceJoinsAt", bytesOf(" @"), "C0"},
        HandCase{"SpaceJoinsDel", bytesOf(" \x7F"), "FF"}, HandCase{"SpaceBeforePunctuation", bytesOf(" ?"), "20 3F"},
        HandCase{"SecondSpaceIsPlain", bytesOf("  A"), "20 20 41"},
        HandCase{"SpaceBeforeEscapedByte", bytesOf(" \xE9"), "20 01 E9"},
        HandCase{"TrailingSpace", bytesOf("a "), "61 20"},
        HandCase{"NineHighBytes", Bytes{0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88},
                 "08 80 81 82 83 84 85 86 87 01 88"},
        HandCase{"SixteenHighBytes",
                 Bytes{0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF},
                 "08 F0 F1 F2 F3 F4 F5 F6 F7 08 F8 F9 FA FB FC FD FE FF"},
        HandCase{"LowControlBytesEscaped", Bytes{0x01, 0x08, 0x09, 0x00}, "02 01 08 09 00"},
        HandCase{"NulIsLiteral", Bytes{0x00}, "00"},
        HandCase{"EscapeRunBrokenByLiteral",
                 bytesOf("\x80\x81"
                         "A\x82"),
                 "02 80 81 41 01 82"},
        HandCase{"EscapeRunBrokenBySpace", bytesOf("\xE9 \xE9"), "01 E9 20 01 E9"},
        // Escaped bytes, then distance 3 length 3: the 4-byte overlapping match reaches the end.
        HandCase{"EscapedBytesThenReference", Bytes{0x80, 0x81, 0x82, 0x80, 0x81, 0x82, 0x80},
                 "03 80 81 82 80 18 01 80"},
        // Distance 3 length 5 (0x8000 | 3 << 3 | 2); the 6-byte overlap that reaches the end is cut by one.
        HandCase{"OverlappingMatchShortenedAtEnd", bytesOf("abcabcabc"), "61 62 63 80 1A 63"},
        // The pending space is flushed before the reference (distance 4 length 3), the last one at the end.
        HandCase{"PendingSpaceBeforeReference", bytesOf("the the "), "74 68 65 20 80 20 20"},
        // Twice distance 11 length 10: at the third copy the 11-byte match at 11 decides the distance,
        // although the 10 bytes first occur at 0.
        HandCase{"CappedMatchKeepsPositionOfLongerString", bytesOf("0123456789A0123456789B0123456789Bx"),
                 "30 31 32 33 34 35 36 37 38 39 41 80 5F 42 80 5F 42 78"},
        // At 10 the 5 bytes "abcdE" reach the end: cut to 4 and taken from 5 (distance 5), not from 0.
        HandCase{"EndMatchKeepsPositionOfLongerString", bytesOf("abcdZabcdEabcdE"), "61 62 63 64 5A 80 29 45 80 29 45"},
        // Among equal matches the earliest wins: "xyz" at 0 (distance 8), not at 4.
        HandCase{"EarliestOfEqualMatches", bytesOf("xyz1xyz2xyz3"), "78 79 7A 31 80 20 32 80 40 33"}),
    [](const testing::TestParamInfo<HandCase>& test) { return std::string(test.param.name); });

TEST(PalmdocWindow, ReachesBackExactly2047Bytes) {
    // "XYZ" at 0 and again at 2047: distance 2047 length 3 is 0x8000 | 2047 << 3 = 0xBFF8.
    Bytes input = bytesOf("XYZ");
    input.insert(input.end(), 2044, 'z');
    const Bytes tail = bytesOf("XYZ!");
    input.insert(input.end(), tail.begin(), tail.end());
    const std::string out = hex(compress(input));
    EXPECT_EQ(out.substr(out.size() - 8), "BF F8 21");
    expectMatchesReference(input, "distance 2047");

    // One byte further the first "XYZ" has left the window.
    input.insert(input.begin() + 3, 'z');
    const std::string farther = hex(compress(input));
    EXPECT_EQ(farther.substr(farther.size() - 11), "58 59 5A 21");
    expectMatchesReference(input, "distance 2048");
}

TEST(PalmdocAgreement, RandomBytes) {
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        const Bytes input = randomBytes(4096, seed);
        expectMatchesReference(input, "random");
        // Worst case: a lone escaped byte between plain ones, or a space before an escaped byte.
        EXPECT_LE(compress(input).size(), input.size() + input.size() / 2 + 1);
    }
    expectMatchesReference(randomBytes(4096, 7, 'a', 'c'), "three letters");
    expectMatchesReference(randomBytes(4096, 8, 0x7E, 0x82), "around the escape boundary");
    expectMatchesReference(randomBytes(4096, 9, 0x1E, 0x42), "spaces and capitals");
}

TEST(PalmdocAgreement, RepetitiveInput) {
    for (size_t period : {1, 2, 3, 7, 10, 11, 12, 100, 2047, 2048}) {
        const Bytes unit = randomBytes(period, static_cast<uint32_t>(period));
        Bytes input;
        while (input.size() < 4096) input.insert(input.end(), unit.begin(), unit.end());
        input.resize(4096);
        expectMatchesReference(input, "period " + std::to_string(period));
    }
    expectMatchesReference(Bytes(4096, ' '), "spaces");
    expectMatchesReference(Bytes(4096, 0x00), "zeros");
    expectMatchesReference(Bytes(4096, 0xFF), "high bytes");
    for (uint32_t seed = 1; seed <= 4; ++seed) expectMatchesReference(wordSoup(4096, seed), "word soup");
}

TEST(PalmdocAgreement, Prose) {
    const Bytes text = prose();
    expectMatchesReference(text, "prose");
    // Every shift of the text, so that matches begin and end at other places in the window.
    for (size_t start = 1; start < 64; ++start) {
        expectMatchesReference(Bytes(text.begin() + start, text.end()), "prose from " + std::to_string(start));
    }
}

TEST(PalmdocAgreement, BinaryData) {
    // Little-endian counters and offsets, as in a table of records: many zeros and near-repeats.
    Bytes table;
    for (uint32_t i = 0; table.size() < 4096; ++i) {
        const uint32_t fields[] = {i, i * 40, 0x80000000u | i, 7};
        for (uint32_t v : fields) {
            for (int shift = 0; shift < 32; shift += 8) table.push_back(static_cast<uint8_t>(v >> shift));
        }
    }
    table.resize(4096);
    expectMatchesReference(table, "table");

    // Random bytes interrupted by copies of earlier stretches at random distances.
    std::mt19937 engine(42);
    Bytes patched = randomBytes(4096, 43);
    for (int i = 0; i < 300; ++i) {
        const size_t to = 64 + engine() % (4096 - 80);
        const size_t from = to - 1 - engine() % std::min<size_t>(to, 2100);
        const size_t length = 2 + engine() % 14;
        for (size_t j = 0; j < length; ++j) patched[to + j] = patched[from + j];
    }
    expectMatchesReference(patched, "patched");
}

TEST(PalmdocAgreement, EveryRecordSizeUpTo4096) {
    // Prefixes of a mixed text, so that every size ends in a different token situation.
    Bytes mixed = prose();
    const Bytes soup = wordSoup(2048, 99);
    mixed.insert(mixed.begin() + 1500, soup.begin(), soup.end());
    ASSERT_GE(mixed.size(), 4096u);
    for (size_t size = 0; size <= 4096; ++size) {
        expectMatchesReference(Bytes(mixed.begin(), mixed.begin() + size), "prefix");
        if (testing::Test::HasFatalFailure()) return;
    }
}

TEST(PalmdocAgreement, LargerRecords) {
    Bytes text;
    while (text.size() < 61440) {
        const Bytes part = prose();
        text.insert(text.end(), part.begin(), part.end());
        const Bytes noise = randomBytes(500, static_cast<uint32_t>(text.size()));
        text.insert(text.end(), noise.begin(), noise.end());
    }
    for (size_t size : {8192, 16384, 61440}) {
        expectMatchesReference(Bytes(text.begin(), text.begin() + size), "large");
    }
    expectMatchesReference(Bytes(20000, 'q'), "long run");
}

}  // namespace
