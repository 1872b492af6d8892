// SPDX-License-Identifier: GPL-3.0-or-later
#include "compress/huffman_pieces.h"

namespace qp {
HuffmanPieces::HuffmanPieces(const HuffmanGrammar& grammar) : grammar_(grammar), count_(grammar.spelledSymbols) {
    // Counting sort by length.
    const uint32_t symbols = grammar.symbolCount();
    uint32_t longest = 0;
    for (uint32_t symbol = 0; symbol < symbols; ++symbol) longest = std::max(longest, grammar.length(symbol));
    std::vector<uint32_t> firstOfLength(longest + 2, 0);
    for (uint32_t symbol = 0; symbol < symbols; ++symbol) ++firstOfLength[grammar.length(symbol) + 1];
    for (uint32_t length = 1; length <= longest + 1; ++length) firstOfLength[length] += firstOfLength[length - 1];
    byLength_.resize(symbols);
    for (uint32_t symbol = 0; symbol < symbols; ++symbol) byLength_[firstOfLength[grammar.length(symbol)]++] = symbol;
}

void HuffmanPieces::addPiece(uint32_t symbol) {
    bytes_.clear();
    spell(symbol, bytes_);
    uint32_t node = 0;
    for (uint8_t byte : bytes_) {
        uint32_t& next = children_[HuffmanPairTable::key(node, byte)];
        if (next == 0) {
            next = static_cast<uint32_t>(pieceAt_.size());
            pieceAt_.push_back(none);
        }
        node = next;
    }
    uint32_t* last = &pieceAt_[node];
    while (*last != none) last = &samePiece_[*last];
    *last = symbol;
}

void HuffmanPieces::finishIndex() {
    // Bytes are the first pieces: byte b is node b + 1.
    pairNode_.resize(size_t{1} << 16);
    for (uint32_t pair = 0; pair < pairNode_.size(); ++pair) pairNode_[pair] = child(1 + (pair >> 8), pair & 0xFF);
    matches_.reserve(size_t{count_} * 4);
    indexed_ = true;
}

uint32_t HuffmanPieces::child(uint32_t node, uint8_t byte) const {
    const uint32_t* next = children_.find(HuffmanPairTable::key(node, byte));
    return next == nullptr ? none : *next;
}

void HuffmanPieces::spell(uint32_t symbol, std::vector<uint8_t>& out) const {
    if (!grammar_.isRule(symbol)) {
        out.push_back(static_cast<uint8_t>(symbol));
        return;
    }
    spell(grammar_.rule(symbol).left, out);
    spell(grammar_.rule(symbol).right, out);
}

uint32_t HuffmanPieces::matchesOf(uint32_t rule) {
    if (matchBegin_[rule] == none) {
        matchBegin_[rule] = static_cast<uint32_t>(matches_.size());
        bytes_.clear();
        spell(rule, bytes_);
        const size_t length = bytes_.size();
        for (size_t start = 0; start < length; ++start) {
            uint32_t node = 0;
            for (size_t end = start; end < length && end - start + 1 < length; ++end) {
                const size_t depth = end - start;
                node = depth == 0   ? 1u + bytes_[end]
                       : depth == 1 ? pairNode_[bytes_[start] << 8 | bytes_[end]]
                                    : child(node, bytes_[end]);
                if (node == none) break;
                for (uint32_t piece = pieceAt_[node]; piece != none; piece = samePiece_[piece])
                    matches_.push_back({piece, static_cast<uint16_t>(start), static_cast<uint16_t>(end - start + 1)});
            }
        }
        matchEnd_[rule] = static_cast<uint32_t>(matches_.size());
    }
    return matchBegin_[rule];
}

}  // namespace qp
