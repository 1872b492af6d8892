// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The grammar from which the dictionary is chosen: rules that each stand for a pair of symbols, and the text
// as a sequence of symbols. Symbols 0 … 255 are the bytes; symbol 256 + i is rule i, whose parts are always
// smaller symbols.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "compress/huffman.h"

namespace qp {

struct HuffmanRule {
    uint32_t left = 0;
    uint32_t right = 0;
    uint32_t length = 0;  // bytes of text the rule stands for
    uint32_t depth = 0;   // 1 + the larger depth of its parts; bytes have depth 0
};

struct HuffmanGrammar {
    static constexpr uint32_t kByteSymbols = 256;

    std::vector<HuffmanRule> rules;
    std::vector<uint32_t> sequence;
    // Symbols below this are spelled symbols: the bytes and the rules of the spelling rounds, which stand for bytes
    // within one token. The phrase rounds make the symbols from here on.
    uint32_t spelledSymbols = kByteSymbols;

    uint32_t symbolCount() const { return static_cast<uint32_t>(kByteSymbols + rules.size()); }
    bool isRule(uint32_t symbol) const { return symbol >= kByteSymbols; }
    const HuffmanRule& rule(uint32_t symbol) const { return rules[symbol - kByteSymbols]; }
    uint32_t length(uint32_t symbol) const { return isRule(symbol) ? rule(symbol).length : 1; }
    uint32_t depth(uint32_t symbol) const { return isRule(symbol) ? rule(symbol).depth : 0; }
};

struct HuffmanGrammarLimits {
    uint32_t maxLength = 0;  // no rule stands for more bytes
    uint32_t maxDepth = 0;   // no rule is deeper
    uint32_t maxRounds = 0;
};

// Builds the grammar in rounds of pair replacement. False when canceled.
bool buildHuffmanGrammar(std::span<const uint8_t> text, const HuffmanGrammarLimits& limits, HuffmanProgress& progress,
                         HuffmanGrammar& grammar);

}  // namespace qp
