// SPDX-License-Identifier: GPL-3.0-or-later
#include "compress/huffman_grammar.h"

#include <algorithm>
#include <bit>
#include <optional>

#include "compress/huffman_pair_filter.h"
#include "compress/huffman_pair_table.h"
#include "compress/huffman_tokens.h"

namespace qp {
namespace {

// A round replaces the pairs counted at least a quarter as often as the most frequent pair (and at least the
// minimum), so that frequent pairs are formed before rarer ones claim their symbols, as replacing one pair at a
// time would have it, while a round stays one pass over the sequence. (A half instead of a quarter takes half as
// many rounds again and saves about 0.3% in size.)
constexpr uint32_t roundShareDivisor = 4;
// Positions are paired in blocks of this many; a block's choice is optimal within the block.
constexpr size_t blockPairs = 4096;
// Ends every token in the sequence of distinct tokens; no pair holds it.
constexpr uint32_t boundary = UINT32_MAX - 1;

// The rules of the grammar by their pair: a pair replaced in an earlier round keeps its rule.
class RuleMaker {
public:
    explicit RuleMaker(HuffmanGrammar& grammar) : grammar_(grammar) {}

    uint32_t symbol(uint64_t key) {
        uint32_t& symbol = ruleOf_[key];
        if (symbol == 0) {
            const uint32_t left = HuffmanPairTable::left(key);
            const uint32_t right = HuffmanPairTable::right(key);
            symbol = grammar_.symbolCount();
            grammar_.rules.push_back({left, right, grammar_.length(left) + grammar_.length(right),
                                      std::max(grammar_.depth(left), grammar_.depth(right)) + 1});
        }
        return symbol;
    }

private:
    HuffmanGrammar& grammar_;
    HuffmanPairTable ruleOf_;
};

// Rounds of pair replacement over one sequence. The pair counts are taken once and then kept up to date as
// pairs are replaced: a pair of old symbols only loses occurrences, and after each round the pairs next to the
// replaced positions are counted. Every position may carry a weight, the number of times it counts.
class PairRounds {
public:
    // Pairs counted fewer than `minimum` times are not replaced. Without weights every position counts once,
    // and a filter keeps the pairs seen once out of the counts.
    PairRounds(HuffmanGrammar& grammar, const HuffmanGrammarLimits& limits, RuleMaker& rules,
               std::vector<uint32_t>& sequence, std::vector<uint32_t> weights, uint32_t minimum)
        : grammar_(grammar), limits_(limits), rules_(rules), sequence_(sequence), weights_(std::move(weights)),
          minimum_(minimum) {
        if (weights_.empty()) filter_.emplace(sequence_.size());
        counts_.clear(1024);
        countFreshPairs();
    }

    // Chooses the pairs of this round from their counts; false when no pair may be replaced.
    bool choose() {
        uint32_t top = 0;
        counts_.forEach([&](uint64_t key, uint32_t count) {
            if (count > top && allowed(key)) top = count;
        });
        if (top < minimum_) return false;
        const uint32_t threshold = std::max(minimum_, top / roundShareDivisor);
        chosen_.clear(1024);
        chosenPairs_.clear();
        std::fill(chosenFilter_.begin(), chosenFilter_.end(), 0);
        counts_.forEach([&](uint64_t key, uint32_t count) {
            if (count < threshold || !allowed(key)) return;
            chosen_[key] = static_cast<uint32_t>(chosenPairs_.size());
            chosenPairs_.push_back({key, count, 0});
            const size_t bit = filterBit(key);
            chosenFilter_[bit / 64] |= uint64_t{1} << (bit % 64);
        });
        return true;
    }

    // Replaces chosen pairs in the sequence and brings the counts up to date. Within a block of positions the
    // pairs are chosen so that the sum of their counts is largest (no two overlapping), which favours the
    // frequent pair where two compete for a symbol. Returns the number of replacements.
    size_t replace() {
        const size_t size = sequence_.size();
        out_ = 0;
        allFresh_ = false;
        freshPositions_.clear();
        size_t at = 0;
        size_t replaced = 0;
        uint32_t lastOld = 0;       // the symbol that stood before position p
        bool lastConsumed = false;  // it was part of a replaced pair
        while (at + 1 < size) {
            const size_t end = std::min(at + blockPairs, size - 1);  // pairs starting at [at, end)
            planBlock(at, end);
            size_t p = at;
            while (p < end) {
                const uint32_t a = sequence_[p];
                const uint32_t weight = weightAt(p);
                if (!take_[p - at]) {
                    lastOld = a;
                    lastConsumed = false;
                    emit(a, false, weight);
                    ++p;
                    continue;
                }
                const uint32_t b = sequence_[p + 1];
                if (p > 0 && !lastConsumed) lose(lastOld, a, weight);
                lose(a, b, weight);
                if (p + 2 < size) lose(b, sequence_[p + 2], weight);
                lastOld = b;
                lastConsumed = true;
                emit(ruleSymbol(pick_[p - at]), true, weight);
                p += 2;
                ++replaced;
            }
            at = p;
        }
        if (at < size) emit(sequence_[at], false, weightAt(at));
        sequence_.resize(out_);
        if (!weights_.empty()) weights_.resize(out_);
        countFreshPairs();
        counts_.pruneBelow(std::max(minimum_, 1u));
        return replaced;
    }

private:
    struct ChosenPair {
        uint64_t key;
        uint32_t count;
        uint32_t symbol;  // 0 until the pair is first replaced
    };

    // Most positions do not start a chosen pair; a bit set that fits the cache answers for them.
    static constexpr size_t filterBits = size_t{1} << 20;
    static size_t filterBit(uint64_t key) { return HuffmanPairTable::hash(key) >> 12 & (filterBits - 1); }

    uint32_t weightAt(size_t position) const { return weights_.empty() ? 1 : weights_[position]; }

    bool allowed(uint64_t key) const {
        const uint32_t left = HuffmanPairTable::left(key);
        const uint32_t right = HuffmanPairTable::right(key);
        return uint64_t{grammar_.length(left)} + grammar_.length(right) <= limits_.maxLength &&
               std::max(grammar_.depth(left), grammar_.depth(right)) + 1 <= limits_.maxDepth;
    }

    // Chooses the pairs to replace among those starting at [at, end): the heaviest set without overlaps, found
    // by dynamic programming over each run of consecutive positions that start chosen pairs.
    void planBlock(size_t at, size_t end) {
        const size_t n = end - at;
        weight_.assign(n + 1, 0);
        take_.assign(n, 0);
        pick_.resize(n);
        for (size_t i = 0; i < n; ++i) {
            const uint64_t key = HuffmanPairTable::key(sequence_[at + i], sequence_[at + i + 1]);
            const size_t bit = filterBit(key);
            if ((chosenFilter_[bit / 64] >> (bit % 64) & 1) == 0) continue;
            if (const uint32_t* chosen = chosen_.find(key)) {
                weight_[i] = chosenPairs_[*chosen].count;
                pick_[i] = *chosen;
            }
        }
        for (size_t first = 0; first < n;) {
            if (weight_[first] == 0) {
                ++first;
                continue;
            }
            size_t last = first;
            while (weight_[last] != 0) ++last;  // weight_[n] is 0
            planRun(first, last);
            first = last;
        }
    }

    // best_[k]: the heaviest choice among the first k positions of the run [first, last).
    void planRun(size_t first, size_t last) {
        const size_t n = last - first;
        best_.assign(n + 1, 0);
        best_[1] = weight_[first];
        for (size_t k = 2; k <= n; ++k) best_[k] = std::max(best_[k - 1], best_[k - 2] + weight_[first + k - 1]);
        for (size_t k = n; k > 0;) {
            if (best_[k] == (k >= 2 ? best_[k - 2] : 0) + weight_[first + k - 1]) {
                take_[first + k - 1] = 1;
                k = k >= 2 ? k - 2 : 0;
            } else {
                --k;
            }
        }
    }

    uint32_t ruleSymbol(uint32_t chosen) {
        ChosenPair& pair = chosenPairs_[chosen];
        if (pair.symbol == 0) pair.symbol = rules_.symbol(pair.key);
        return pair.symbol;
    }

    void lose(uint32_t left, uint32_t right, uint32_t weight) {
        if (uint32_t* count = counts_.find(HuffmanPairTable::key(left, right))) *count -= std::min(*count, weight);
    }

    // Appends a symbol to the rewritten sequence, marking the positions of replacements.
    [[gnu::always_inline]] void emit(uint32_t symbol, bool replacement, uint32_t weight) {
        if (replacement) freshPositions_.push_back(out_);
        if (!weights_.empty()) weights_[out_] = weight;
        sequence_[out_++] = symbol;
    }

    // Calls visit(i) for every pair (i, i + 1) next to a replacement (all pairs before the first round), except
    // pairs with a boundary.
    template <typename Visit>
    void forEachNewPair(Visit visit) const {
        const size_t size = sequence_.size();
        const auto pairAt = [&](size_t i) {
            if (sequence_[i] != boundary && sequence_[i + 1] != boundary) visit(i);
        };
        if (allFresh_) {
            for (size_t i = 0; i + 1 < size; ++i) pairAt(i);
            return;
        }
        size_t last = SIZE_MAX;  // the pair visited last: a replacement right before q has visited (q - 1, q)
        for (size_t q : freshPositions_) {
            if (q > 0 && q - 1 != last) pairAt(q - 1);
            if (q + 1 < size) {
                pairAt(q);
                last = q;
            }
        }
    }

    // Counts the pairs next to replacements: every occurrence of a pair counted already and, of the new pairs,
    // those the filter has seen twice (all of them when positions carry weights).
    void countFreshPairs() {
        if (filter_) {
            filter_->clear();
            forEachNewPair([&](size_t i) { filter_->add(HuffmanPairTable::key(sequence_[i], sequence_[i + 1])); });
        }
        forEachNewPair([&](size_t i) {
            const uint64_t key = HuffmanPairTable::key(sequence_[i], sequence_[i + 1]);
            if (uint32_t* count = counts_.find(key)) {
                *count += weightAt(i);
            } else if (!filter_ || filter_->seenTwice(key)) {
                counts_[key] = weightAt(i);
            }
        });
    }

    HuffmanGrammar& grammar_;
    const HuffmanGrammarLimits& limits_;
    RuleMaker& rules_;
    std::vector<uint32_t>& sequence_;
    std::vector<uint32_t> weights_;
    uint32_t minimum_;
    HuffmanPairTable counts_;  // every pair that can be replaced -> its count
    HuffmanPairTable chosen_;  // the pairs of this round -> their place in chosenPairs_
    std::vector<ChosenPair> chosenPairs_;
    std::vector<uint64_t> chosenFilter_ = std::vector<uint64_t>(filterBits / 64);  // a bit set per chosen pair
    std::vector<uint64_t> weight_;
    std::vector<uint8_t> take_;
    std::vector<uint32_t> pick_;  // per position of the block: its chosen pair
    std::vector<uint64_t> best_;
    std::optional<HuffmanPairFilter> filter_;
    bool allFresh_ = true;                // no round has run yet
    std::vector<size_t> freshPositions_;  // where replacements stand in the rewritten sequence, ascending
    size_t out_ = 0;
};

// The spelling of every distinct token: its bytes reduced by rounds over the distinct tokens, each pair weighted
// by the occurrences of its token, until no pair within a token is left that the limits allow. Returns where each
// token's symbols start in `spelling` (tokens are separated by boundaries there).
std::vector<size_t> spellTokens(std::span<const uint8_t> text, const HuffmanTokens& tokens, RuleMaker& rules,
                                const HuffmanGrammarLimits& limits, HuffmanProgress& progress, HuffmanGrammar& grammar,
                                std::vector<uint32_t>& spelling, bool& canceled) {
    std::vector<uint32_t> weights;
    for (size_t t = 0; t < tokens.distinct(); ++t) {
        const auto bytes = text.subspan(tokens.starts[t], tokens.lengths[t]);
        spelling.insert(spelling.end(), bytes.begin(), bytes.end());
        weights.insert(weights.end(), bytes.size(), tokens.counts[t]);
        spelling.push_back(boundary);
        weights.push_back(0);
    }
    PairRounds rounds(grammar, limits, rules, spelling, std::move(weights), 1);
    canceled = false;
    while (rounds.choose() && rounds.replace() > 0) {
        if (progress.cancelRequested()) {
            canceled = true;
            break;
        }
    }
    std::vector<size_t> starts = {0};
    for (size_t i = 0; i < spelling.size(); ++i)
        if (spelling[i] == boundary) starts.push_back(i + 1);
    return starts;
}

}  // namespace

bool buildHuffmanGrammar(std::span<const uint8_t> text, const HuffmanGrammarLimits& limits, HuffmanProgress& progress,
                         HuffmanGrammar& grammar) {
    grammar.rules.clear();
    grammar.sequence.clear();
    RuleMaker rules(grammar);
    {
        const HuffmanTokens tokens = huffmanTokens(text);
        std::vector<uint32_t> spelling;
        bool canceled = false;
        const std::vector<size_t> starts =
            spellTokens(text, tokens, rules, limits, progress, grammar, spelling, canceled);
        if (canceled) return false;
        grammar.sequence.reserve(tokens.sequence.size());
        for (uint32_t token : tokens.sequence)
            for (size_t i = starts[token]; i + 1 < starts[token + 1]; ++i) grammar.sequence.push_back(spelling[i]);
    }
    grammar.spelledSymbols = grammar.symbolCount();
    PairRounds phrases(grammar, limits, rules, grammar.sequence, {}, 2);
    for (uint32_t pass = 1; pass <= limits.maxRounds; ++pass) {
        if (progress.cancelRequested()) return false;
        progress.compilingPass(pass);
        if (!phrases.choose() || phrases.replace() == 0) break;
    }
    return true;
}

}  // namespace qp
