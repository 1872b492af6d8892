// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmdoc_decoder.h"

#include <gtest/gtest.h>

#include "test_book.h"

namespace {

using kovatest::bytes;

std::optional<std::string> decode(const std::string& in) {
    auto out = kova::palmdocDecode(reinterpret_cast<const uint8_t*>(in.data()), in.size());
    if (!out) return std::nullopt;
    return std::string(out->begin(), out->end());
}

TEST(PalmdocDecode, LiteralsPassThroughIncludingZero) {
    EXPECT_EQ(decode(""), "");
    EXPECT_EQ(decode(bytes({0x00, 'H', 'i', 0x09, 0x7F})), bytes({0x00, 'H', 'i', 0x09, 0x7F}));
}

TEST(PalmdocDecode, EscapeCopiesTheCountedBytes) {
    // 0x01-0x08 copy that many following bytes, whatever they are.
    EXPECT_EQ(decode(bytes({0x01, 0xE9})), bytes({0xE9}));
    EXPECT_EQ(decode(bytes({0x03, 0x80, 0x01, 0xC1, 'x'})), bytes({0x80, 0x01, 0xC1, 'x'}));
    EXPECT_EQ(decode(bytes({0x08, 1, 2, 3, 4, 5, 6, 7, 8})), bytes({1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(PalmdocDecode, HighBytesAreSpacePlusCharacter) {
    EXPECT_EQ(decode(bytes({0xC1})), " A");
    EXPECT_EQ(decode(bytes({'a', 0xE2, 0xFF})), std::string("a b ") + static_cast<char>(0x7F));
    EXPECT_EQ(decode(bytes({0xC0})), " @");
}

TEST(PalmdocDecode, BackReferencesCopyFromDistanceWithLength) {
    // 0x800F: distance 1, length 3 + 7 = 10: a run of one byte.
    EXPECT_EQ(decode(bytes({'a', 0x80, 0x0F, 'a'})), "aaaaaaaaaaaa");
    // 0x8018: distance 3, length 3.
    EXPECT_EQ(decode(bytes({'a', 'b', 'c', 0x80, 0x18})), "abcabc");
    // 0x8022: distance 4, length 5, overlapping its own output.
    EXPECT_EQ(decode(bytes({'w', 'x', 'y', 'z', 0x80, 0x22})), "wxyzwxyzw");
    // 0xBFFF: distance 2047, length 10, reaching back to the first byte.
    std::string text;
    for (int i = 0; i < 2047; ++i) text += static_cast<char>('a' + i % 26);
    std::string in;
    for (size_t i = 0; i < text.size(); i += 8)
        in += std::string(1, static_cast<char>(std::min<size_t>(8, text.size() - i))) + text.substr(i, 8);
    EXPECT_EQ(decode(in + bytes({0xBF, 0xFF})), text + text.substr(0, 10));
}

TEST(PalmdocDecode, RejectsMalformedInput) {
    EXPECT_FALSE(decode(bytes({0x80, 0x08})));            // distance 1 with no output yet
    EXPECT_FALSE(decode(bytes({'a', 'b', 0x80, 0x18})));  // distance 3 before the start
    EXPECT_FALSE(decode(bytes({'a', 0x80, 0x07})));       // distance 0
    EXPECT_FALSE(decode(bytes({'a', 0x80})));             // back-reference cut off
    EXPECT_FALSE(decode(bytes({0x04, 'a', 'b'})));        // escape cut off
}

}  // namespace
