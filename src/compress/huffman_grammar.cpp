#include "compress/huffman_grammar.h"

#include <algorithm>
#include <bit>

#include "compress/huffman_pair_filter.h"
#include "compress/huffman_pair_table.h"

namespace qp {
namespace {

// A round replaces the pairs counted at least half as often as the most frequent pair (and at least twice), so
// that frequent pairs are formed before rarer ones claim their symbols, as replacing one pair at a time would
// have it, while a round stays one pass over the sequence. (A quarter instead of a half costs about 5% in size.)
constexpr uint32_t roundShareDivisor = 2;
// Positions are paired in blocks of this many; a block's choice is optimal within the block.
constexpr size_t blockPairs = 4096;

// Builds the grammar round by round. The pair counts are counted once on the bytes and then kept up to date
// as pairs are replaced: a pair of old symbols only loses occurrences, so only pairs that occur twice are kept,
// and after each round the pairs next to the replaced positions are counted (those the filter has seen twice).
class GrammarBuilder {
public:
    GrammarBuilder(HuffmanGrammar& grammar, const HuffmanGrammarLimits& limits)
        : grammar_(grammar), limits_(limits), filter_(grammar.sequence.size()) {}

    void countBytePairs() {
        const std::vector<uint32_t>& sequence = grammar_.sequence;
        constexpr uint32_t bytes = HuffmanGrammar::kByteSymbols;
        std::vector<uint32_t> dense(bytes * bytes, 0);
        for (size_t i = 0; i + 1 < sequence.size(); ++i) ++dense[sequence[i] * bytes + sequence[i + 1]];
        counts_.clear(1024);
        for (uint32_t pair = 0; pair < dense.size(); ++pair)
            if (dense[pair] >= 2) counts_[HuffmanPairTable::key(pair / bytes, pair % bytes)] = dense[pair];
    }

    // Chooses the pairs of this round from their counts; false when no pair may be replaced.
    bool choose() {
        uint32_t top = 0;
        counts_.forEach([&](uint64_t key, uint32_t count) {
            if (count > top && allowed(key)) top = count;
        });
        if (top < 2) return false;
        const uint32_t threshold = std::max<uint32_t>(2, top / roundShareDivisor);
        chosen_.clear(1024);
        std::fill(chosenFilter_.begin(), chosenFilter_.end(), 0);
        counts_.forEach([&](uint64_t key, uint32_t count) {
            if (count < threshold || !allowed(key)) return;
            chosen_[key] = count;
            const size_t bit = filterBit(key);
            chosenFilter_[bit / 64] |= uint64_t{1} << (bit % 64);
        });
        return true;
    }

    // Replaces chosen pairs in the sequence and brings the counts up to date. Within a block of positions the
    // pairs are chosen so that the sum of their counts is largest (no two overlapping), which favours the
    // frequent pair where two compete for a symbol. Returns the number of replacements.
    size_t replace() {
        std::vector<uint32_t>& sequence = grammar_.sequence;
        const size_t size = sequence.size();
        out_ = 0;
        fresh_.assign(size / 64 + 1, 0);
        size_t at = 0;
        size_t replaced = 0;
        uint32_t lastOld = 0;       // the symbol that stood before position p
        bool lastConsumed = false;  // it was part of a replaced pair
        while (at + 1 < size) {
            const size_t end = std::min(at + blockPairs, size - 1);  // pairs starting at [at, end)
            planBlock(at, end);
            size_t p = at;
            while (p < end) {
                const uint32_t a = sequence[p];
                if (!take_[p - at]) {
                    lastOld = a;
                    lastConsumed = false;
                    emit(a, false);
                    ++p;
                    continue;
                }
                const uint32_t b = sequence[p + 1];
                if (p > 0 && !lastConsumed) lose(lastOld, a);
                lose(a, b);
                if (p + 2 < size) lose(b, sequence[p + 2]);
                lastOld = b;
                lastConsumed = true;
                emit(ruleSymbol(a, b), true);
                p += 2;
                ++replaced;
            }
            at = p;
        }
        if (at < size) emit(sequence[at], false);
        sequence.resize(out_);
        countFreshPairs();
        counts_.removeBelow(2);
        return replaced;
    }

private:
    // Most positions do not start a chosen pair; a bit set that fits the cache answers for them.
    static constexpr size_t filterBits = size_t{1} << 20;
    static size_t filterBit(uint64_t key) { return HuffmanPairTable::hash(key) >> 12 & (filterBits - 1); }

    bool allowed(uint64_t key) const {
        const uint32_t left = HuffmanPairTable::left(key);
        const uint32_t right = HuffmanPairTable::right(key);
        return uint64_t{grammar_.length(left)} + grammar_.length(right) <= limits_.maxLength &&
               std::max(grammar_.depth(left), grammar_.depth(right)) + 1 <= limits_.maxDepth;
    }

    // Chooses the pairs to replace among those starting at [at, end): the heaviest set without overlaps, found
    // by dynamic programming over each run of consecutive positions that start chosen pairs.
    void planBlock(size_t at, size_t end) {
        const std::vector<uint32_t>& sequence = grammar_.sequence;
        const size_t n = end - at;
        weight_.assign(n + 1, 0);
        take_.assign(n, 0);
        for (size_t i = 0; i < n; ++i) {
            const uint64_t key = HuffmanPairTable::key(sequence[at + i], sequence[at + i + 1]);
            const size_t bit = filterBit(key);
            if ((chosenFilter_[bit / 64] >> (bit % 64) & 1) == 0) continue;
            if (const uint32_t* count = chosen_.find(key)) weight_[i] = *count;
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

    // The rule for a pair; a pair replaced in an earlier round keeps its rule.
    uint32_t ruleSymbol(uint32_t left, uint32_t right) {
        uint32_t& symbol = ruleOf_[HuffmanPairTable::key(left, right)];
        if (symbol == 0) {
            symbol = grammar_.symbolCount();
            grammar_.rules.push_back({left, right, grammar_.length(left) + grammar_.length(right),
                                      std::max(grammar_.depth(left), grammar_.depth(right)) + 1});
        }
        return symbol;
    }

    void lose(uint32_t left, uint32_t right) {
        if (uint32_t* count = counts_.find(HuffmanPairTable::key(left, right))) --*count;
    }

    // Appends a symbol to the rewritten sequence, marking the positions of replacements.
    void emit(uint32_t symbol, bool replacement) {
        if (replacement) fresh_[out_ / 64] |= uint64_t{1} << (out_ % 64);
        grammar_.sequence[out_++] = symbol;
    }

    bool isFresh(size_t position) const { return (fresh_[position / 64] >> (position % 64) & 1) != 0; }

    // Counts the pairs next to replacements: every occurrence of a pair counted already, and of the new pairs
    // those the filter has seen twice, so that pairs seen once stay out of the table.
    void countFreshPairs() {
        const std::vector<uint32_t>& sequence = grammar_.sequence;
        filter_.clear();
        for (size_t i = 0; i + 1 < sequence.size(); ++i)
            if (isFresh(i) || isFresh(i + 1)) filter_.add(HuffmanPairTable::key(sequence[i], sequence[i + 1]));
        for (size_t i = 0; i + 1 < sequence.size(); ++i) {
            if (!isFresh(i) && !isFresh(i + 1)) continue;
            const uint64_t key = HuffmanPairTable::key(sequence[i], sequence[i + 1]);
            if (uint32_t* count = counts_.find(key)) {
                ++*count;
            } else if (filter_.seenTwice(key)) {
                counts_[key] = 1;
            }
        }
    }

    HuffmanGrammar& grammar_;
    const HuffmanGrammarLimits& limits_;
    HuffmanPairTable counts_;  // every pair that can occur twice -> its occurrences
    HuffmanPairTable ruleOf_;  // pair -> its rule's symbol
    HuffmanPairTable chosen_;  // the pairs of this round -> their counts
    std::vector<uint64_t> chosenFilter_ = std::vector<uint64_t>(filterBits / 64);  // a bit set per chosen pair
    std::vector<uint32_t> weight_;
    std::vector<uint8_t> take_;
    std::vector<uint64_t> best_;
    HuffmanPairFilter filter_;
    std::vector<uint64_t> fresh_;  // per position of the rewritten sequence: a replacement stands there
    size_t out_ = 0;
};

}  // namespace

bool buildHuffmanGrammar(std::span<const uint8_t> text, const HuffmanGrammarLimits& limits, HuffmanProgress& progress,
                         HuffmanGrammar& grammar) {
    grammar.rules.clear();
    grammar.sequence.assign(text.begin(), text.end());
    GrammarBuilder builder(grammar, limits);
    builder.countBytePairs();
    for (uint32_t pass = 1; pass <= limits.maxRounds; ++pass) {
        if (progress.cancelRequested()) return false;
        if (std::has_single_bit(pass)) progress.compilingPass(pass);
        if (!builder.choose() || builder.replace() == 0) break;
    }
    return true;
}

}  // namespace qp
