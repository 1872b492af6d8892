// SPDX-License-Identifier: GPL-3.0-or-later
#include "compress/huffman_phrase_parse.h"

#include <algorithm>
#include <limits>

#include "compress/record_threads.h"

namespace qp {
namespace {

constexpr uint32_t none = UINT32_MAX;
constexpr double unavailable = std::numeric_limits<double>::infinity();

}  // namespace

HuffmanPhraseParser::HuffmanPhraseParser(const HuffmanGrammar& grammar, const HuffmanSelection& selection,
                                         const HuffmanRecordCuts& cuts)
    : grammar_(grammar), recordLengths_(cuts.lengths) {
    words_.reserve(grammar.sequence.size());
    size_t next = 0;
    for (size_t end : cuts.ends) {
        for (; next < end; ++next) spellWords(grammar.sequence[next], words_);
        recordEnds_.push_back(words_.size());
    }
    for (uint32_t symbol = grammar.spelledSymbols; symbol < grammar.symbolCount(); ++symbol) {
        if (!selection.isEntry(symbol)) continue;
        phrases_.push_back(symbol);
        phraseWords_.push_back(words_.size());
        spellWords(symbol, words_);
    }
    phraseWords_.push_back(words_.size());

    children_.clear(words_.size() - recordEnds_.back());
    phraseAt_.assign(1, none);
    samePhrase_.assign(phrases_.size(), none);
    firstNode_.assign(grammar.spelledSymbols, none);
    for (uint32_t phrase = 0; phrase < phrases_.size(); ++phrase) {
        uint32_t node = 0;
        for (size_t i = phraseWords_[phrase]; i < phraseWords_[phrase + 1]; ++i) {
            uint32_t& child = children_[HuffmanPairTable::key(node, words_[i])];
            if (child == 0) {
                child = static_cast<uint32_t>(phraseAt_.size());
                phraseAt_.push_back(none);
            }
            if (node == 0) firstNode_[words_[i]] = child;
            node = child;
        }
        // Rules made in different rounds may spell the same words.
        uint32_t* last = &phraseAt_[node];
        while (*last != none) last = &samePhrase_[*last];
        *last = phrase;
    }
}

void HuffmanPhraseParser::spellWords(uint32_t symbol, std::vector<uint32_t>& out) const {
    if (symbol < grammar_.spelledSymbols) {
        out.push_back(symbol);
        return;
    }
    spellWords(grammar_.rule(symbol).left, out);
    spellWords(grammar_.rule(symbol).right, out);
}

void HuffmanPhraseParser::parseRange(size_t begin, size_t end, bool wholeAllowed, const std::vector<double>& bits,
                                     std::vector<uint32_t>& out) const {
    const size_t n = end - begin;
    struct Step {
        double cost = unavailable;
        uint32_t symbol = 0;
        uint32_t from = 0;
    };
    std::vector<Step> best(n + 1);
    best[0].cost = 0;
    const auto relax = [&](size_t to, double cost, uint32_t symbol, size_t from) {
        if (cost < best[to].cost) best[to] = {cost, symbol, static_cast<uint32_t>(from)};
    };
    for (size_t i = 0; i < n; ++i) {
        const double cost = best[i].cost;
        if (cost == unavailable) continue;
        relax(i + 1, cost + bits[words_[begin + i]], words_[begin + i], i);
        uint32_t node = 0;
        for (size_t j = i; j < n && (wholeAllowed || i > 0 || j + 1 < n); ++j) {
            if (j == i) {
                node = firstNode_[words_[begin + j]];
                if (node == none) break;
            } else {
                const uint32_t* child = children_.find(HuffmanPairTable::key(node, words_[begin + j]));
                if (child == nullptr) break;
                node = *child;
            }
            for (uint32_t phrase = phraseAt_[node]; phrase != none; phrase = samePhrase_[phrase])
                relax(j + 1, cost + bits[phrases_[phrase]], phrases_[phrase], i);
        }
    }
    const size_t first = out.size();
    for (size_t at = n; at > 0; at = best[at].from) out.push_back(best[at].symbol);
    std::reverse(out.begin() + static_cast<std::ptrdiff_t>(first), out.end());
}

HuffmanParsedText HuffmanPhraseParser::parse(const HuffmanPieces& pieces, const HuffmanSelection& selection,
                                             const std::vector<float>& codeBits, unsigned threads) const {
    // The bits of every symbol a parse may take: an entry's code, a word that is no entry written as its parts;
    // a phrase that is no entry is not taken.
    std::vector<double> bits(grammar_.symbolCount(), unavailable);
    pieces.forEachBottomUp([&](uint32_t s) {
        if (selection.isEntry(s)) {
            bits[s] = codeBits[s];
        } else if (pieces.isSpelledRule(s)) {
            bits[s] = 0;
            selection.forEachPart(grammar_, s, [&](uint32_t part) { bits[s] += bits[part]; });
        }
    });

    HuffmanParsedText parsed;
    parsed.selection = selection;
    HuffmanSelection& chosen = parsed.selection;
    chosen.pieceBegin.resize(grammar_.symbolCount(), 0);
    chosen.pieceEnd.resize(grammar_.symbolCount(), 0);
    for (uint32_t phrase = 0; phrase < phrases_.size(); ++phrase) {
        const uint32_t symbol = phrases_[phrase];
        if (chosen.form[symbol] != HuffmanEntryForm::Coded) continue;
        chosen.pieceBegin[symbol] = static_cast<uint32_t>(chosen.pieces.size());
        parseRange(phraseWords_[phrase], phraseWords_[phrase + 1], false, bits, chosen.pieces);
        chosen.pieceEnd[symbol] = static_cast<uint32_t>(chosen.pieces.size());
    }

    const size_t records = recordEnds_.size();
    parsed.cuts.lengths = recordLengths_;
    const auto parseRecord = [&](size_t r) {
        std::vector<uint32_t> symbols;
        parseRange(r == 0 ? 0 : recordEnds_[r - 1], recordEnds_[r], true, bits, symbols);
        return symbols;
    };
    forEachRecordInOrder(records, threads, records, parseRecord, [&](size_t, std::vector<uint32_t>&& symbols) {
        parsed.sequence.insert(parsed.sequence.end(), symbols.begin(), symbols.end());
        parsed.cuts.ends.push_back(parsed.sequence.size());
        return true;
    });

    std::vector<uint32_t> textUses(grammar_.symbolCount(), 0);
    for (uint32_t symbol : parsed.sequence) ++textUses[symbol];
    recountHuffmanUses(grammar_, pieces, textUses, chosen);
    return parsed;
}

}  // namespace qp
