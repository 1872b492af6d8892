// SPDX-License-Identifier: GPL-3.0-or-later
// Pieces: a spelled word written with the cheapest string of pieces that are entries, wherever they stand in it.
#include "compress/huffman_pieces.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t a = 'a', b = 'b', c = 'c', ab = 256, abc = 257, bc = 258;

// "abc" spelled as (ab)c, and "bc" as a word of its own; all of them are spelled symbols.
qp::HuffmanGrammar spelledWords() {
    qp::HuffmanGrammar grammar;
    grammar.rules = {{a, b, 2, 1}, {ab, c, 3, 2}, {b, c, 2, 1}};
    grammar.spelledSymbols = grammar.symbolCount();
    return grammar;
}

double bitsOf(uint32_t piece) { return piece == bc ? 3 : piece == ab ? qp::HuffmanPieces::kUnavailable : 8; }

TEST(HuffmanPieces, AWordTakesAPieceAcrossTheSplitOfItsPairs) {
    const qp::HuffmanGrammar grammar = spelledWords();
    qp::HuffmanPieces pieces(grammar);
    pieces.index([](uint32_t rule) { return rule != abc; });
    std::vector<uint32_t> parts;
    EXPECT_EQ(pieces.parse(abc, bitsOf, parts), 11);
    EXPECT_EQ(parts, (std::vector<uint32_t>{a, bc}));
}

TEST(HuffmanPieces, RulesLeftOutOfTheIndexAreNoPieces) {
    const qp::HuffmanGrammar grammar = spelledWords();
    qp::HuffmanPieces pieces(grammar);
    pieces.index([](uint32_t) { return false; });
    std::vector<uint32_t> parts;
    EXPECT_EQ(pieces.parse(abc, bitsOf, parts), 24);
    EXPECT_EQ(parts, (std::vector<uint32_t>{a, b, c}));
}

TEST(HuffmanPieces, TwoBytesAreTheirOwnParts) {
    const qp::HuffmanGrammar grammar = spelledWords();
    qp::HuffmanPieces pieces(grammar);
    pieces.index([](uint32_t) { return true; });
    std::vector<uint32_t> parts;
    EXPECT_EQ(pieces.parse(bc, bitsOf, parts), 16);
    EXPECT_TRUE(parts.empty());
}

}  // namespace
