// SPDX-License-Identifier: GPL-3.0-or-later
// The tokens from which the Huffman grammar is built: words with the space before them, wide UTF-8 characters
// and single bytes.
#include "compress/huffman_tokens.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TokenCase {
    const char* name;
    std::string text;
    std::vector<std::string> tokens;
};

std::vector<std::string> tokensOf(const std::string& text) {
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    const qp::HuffmanTokens tokens = qp::huffmanTokens(bytes);
    std::vector<std::string> out;
    for (uint32_t token : tokens.sequence) out.push_back(text.substr(tokens.starts[token], tokens.lengths[token]));
    return out;
}

class HuffmanTokenCuts : public testing::TestWithParam<TokenCase> {};

TEST_P(HuffmanTokenCuts, CutTheTextAtWordsSpacesAndWideCharacters) {
    EXPECT_EQ(tokensOf(GetParam().text), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HuffmanTokenCuts,
    testing::Values(TokenCase{"Words", "The cat sat", {"The", " cat", " sat"}},
                    TokenCase{"TwoSpaces", "a  b", {"a", " ", " b"}},
                    TokenCase{"Punctuation", "x, y.</p>", {"x", ",", " y", ".", "<", "/", "p", ">"}},
                    TokenCase{"Digits", "<a filepos=0000012345>", {"<", "a", " filepos", "=", "0000012345", ">"}},
                    TokenCase{"TwoByteLetters",
                              "Gr\xC3\xBC\xC3\x9F"
                              "e \xD1\x82\xD0\xB5",
                              {"Gr\xC3\xBC\xC3\x9F"
                               "e",
                               " \xD1\x82\xD0\xB5"}},
                    TokenCase{"WideCharacters",
                              "\xE6\x97\xA5\xE6\x9C\xAC"
                              "ab \xF0\x9F\x98\x80",
                              {"\xE6\x97\xA5", "\xE6\x9C\xAC", "ab", " ", "\xF0\x9F\x98\x80"}},
                    // In 8-bit text a letter above 0xDF leads no UTF-8 character and stays in its word.
                    TokenCase{"EightBitLetters", "caf\xE9s na\xEFve", {"caf\xE9s", " na\xEFve"}},
                    TokenCase{"LongWord", std::string(40, 'w'), {std::string(32, 'w'), std::string(8, 'w')}}),
    [](const testing::TestParamInfo<TokenCase>& test) { return std::string(test.param.name); });

TEST(HuffmanTokens, AreNumberedInOrderOfFirstOccurrenceAndCounted) {
    const std::string text = "the cat the cat the";
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    const qp::HuffmanTokens tokens = qp::huffmanTokens(bytes);
    EXPECT_EQ(tokens.sequence, (std::vector<uint32_t>{0, 1, 2, 1, 2}));  // "the", " cat", " the"
    EXPECT_EQ(tokens.counts, (std::vector<uint32_t>{1, 2, 2}));
}

}  // namespace
