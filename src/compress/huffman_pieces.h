// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The spelled symbols of the grammar (the bytes and the rules of the spelling rounds, which stand for bytes within
// one token) as pieces from which one another can be written. The spelling rounds give every spelled rule one way
// to be written, as its two parts; a spelled rule that is written out (in the text or inside a coded entry) may
// instead be written as any string of shorter pieces that spells it. A rare word then takes the pieces that are
// dictionary entries wherever they occur in it, not only where its own pairs happened to split it.
//
// A trie over the bytes of the pieces finds the pieces that occur in a rule; these matches are found once per rule
// and kept, and each parse is a shortest path over them under the current cost of every piece. The pieces are the
// bytes and the spelled rules that are entries when the trie is made (see index).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "compress/huffman_grammar.h"
#include "compress/huffman_pair_table.h"

namespace qp {

class HuffmanPieces {
public:
    static constexpr double kUnavailable = std::numeric_limits<double>::infinity();
    static constexpr uint32_t none = UINT32_MAX;

    explicit HuffmanPieces(const HuffmanGrammar& grammar);

    // Makes every byte and every spelled rule for which isPiece(rule) holds a piece. Until then a spelled rule is
    // written as its two parts; parse needs it called once.
    template <typename IsPiece>
    void index(IsPiece isPiece) {
        pieceAt_.assign(1, none);
        samePiece_.assign(count_, none);
        matchBegin_.assign(count_, none);
        matchEnd_.assign(count_, none);
        children_.clear(count_);
        for (uint32_t symbol = 0; symbol < count_; ++symbol)
            if (!grammar_.isRule(symbol) || isPiece(symbol)) addPiece(symbol);
        finishIndex();
    }
    bool indexed() const { return indexed_; }

    // Spelled symbols are numbered below this: the bytes, then the spelling rules.
    uint32_t count() const { return count_; }
    bool isSpelledRule(uint32_t symbol) const { return symbol >= HuffmanGrammar::kByteSymbols && symbol < count_; }
    // Calls visit(symbol) for every symbol of the grammar, each after every symbol it can be written with (all of
    // them shorter): the symbols from the shortest up.
    template <typename Visit>
    void forEachBottomUp(Visit visit) const {
        for (uint32_t symbol : byLength_) visit(symbol);
    }
    // The same in reverse: every symbol after every symbol that can be written with it.
    template <typename Visit>
    void forEachTopDown(Visit visit) const {
        for (auto at = byLength_.rbegin(); at != byLength_.rend(); ++at) visit(*at);
    }

    // The cheapest string of shorter pieces that spells the rule, with costOf(piece) the bits of a piece
    // (kUnavailable for a rule that cannot be written; every byte must have a finite cost). Appends the pieces in
    // order to `parts` and returns their bits. A rule that is unavailable once is no longer looked for in this
    // rule: pieces drop out of the dictionary as the selections go on, and seldom come back.
    template <typename Cost>
    double parse(uint32_t rule, Cost costOf, std::vector<uint32_t>& parts) {
        // Two bytes have no other way to be written; `parts` stays empty for them.
        if (grammar_.length(rule) == 2) return costOf(grammar_.rule(rule).left) + costOf(grammar_.rule(rule).right);
        const uint32_t first = matchesOf(rule);
        const uint32_t length = grammar_.length(rule);
        best_.assign(length + 1, kUnavailable);
        choice_.resize(length + 1);
        best_[0] = 0;
        uint32_t kept = first;
        for (uint32_t i = first; i < matchEnd_[rule]; ++i) {
            const Match match = matches_[i];
            const double cost = costOf(match.piece);
            if (cost == kUnavailable) continue;
            matches_[kept] = match;
            // Every position can be reached, at least byte by byte.
            const double end = best_[match.start] + cost;
            if (end < best_[match.start + match.length]) {
                best_[match.start + match.length] = end;
                choice_[match.start + match.length] = kept;
            }
            ++kept;
        }
        matchEnd_[rule] = kept;
        const size_t firstPart = parts.size();
        for (uint32_t end = length; end > 0;) {
            const Match& match = matches_[choice_[end]];
            parts.push_back(match.piece);
            end = match.start;
        }
        std::reverse(parts.begin() + static_cast<std::ptrdiff_t>(firstPart), parts.end());
        return best_[length];
    }

private:
    struct Match {
        uint32_t piece;
        uint16_t start;  // in bytes of the rule
        uint16_t length;
    };

    // Finds the matches of a rule on first use, in order of their start so that a parse visits them in one pass;
    // returns the first of them, matches_[first … matchEnd_[rule]).
    uint32_t matchesOf(uint32_t rule);
    void addPiece(uint32_t symbol);
    void finishIndex();
    uint32_t child(uint32_t node, uint8_t byte) const;
    void spell(uint32_t symbol, std::vector<uint8_t>& out) const;

    const HuffmanGrammar& grammar_;
    uint32_t count_ = 0;
    bool indexed_ = false;
    std::vector<uint32_t> byLength_;    // every symbol of the grammar
    HuffmanPairTable children_;         // (node, byte) -> child node; node 0 is the root
    std::vector<uint32_t> pairNode_;    // per two bytes b1 b2 (b1 << 8 | b2): their node, or UINT32_MAX
    std::vector<uint32_t> pieceAt_;     // per node: the first piece spelled by the path to it, or UINT32_MAX
    std::vector<uint32_t> samePiece_;   // per spelled symbol: the next piece with the same bytes, or UINT32_MAX
    std::vector<Match> matches_;        // the matches of the rules parsed so far, rule by rule
    std::vector<uint32_t> matchBegin_;  // per spelled symbol: its first match, or UINT32_MAX until it is parsed
    std::vector<uint32_t> matchEnd_;
    std::vector<uint8_t> bytes_;
    std::vector<double> best_;
    std::vector<uint32_t> choice_;
};

}  // namespace qp
