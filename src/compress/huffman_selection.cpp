#include "compress/huffman_selection.h"

#include <algorithm>
#include <cmath>

namespace qp {
namespace {

// The stored cost of an entry beyond its bytes: its offset and its length word (2 bytes each) and, for every
// other entry on average, the byte that keeps the next entry on an even offset.
constexpr double entryOverheadBits = 8 * 4.5;
// A coded entry ends on a byte boundary: half a byte is lost on average.
constexpr double codedPaddingBits = 4;

void finishTotals(HuffmanSelection& selection) {
    selection.totalUses = 0;
    for (size_t s = 0; s < selection.uses.size(); ++s) {
        if (selection.uses[s] == 0) selection.form[s] = HuffmanEntryForm::None;
        if (selection.isEntry(s)) selection.totalUses += selection.uses[s];
    }
}

// The bits that writing a symbol costs under the previous selection: its code when it was an entry, else the
// codes of its parts. A byte that was no entry is priced as an entry used once.
std::vector<double> writtenBits(const HuffmanGrammar& grammar, const HuffmanSelection& previous,
                                const std::vector<float>& codeBits) {
    const double unusedBits = std::log2(static_cast<double>(std::max<uint64_t>(previous.totalUses, 2)));
    std::vector<double> bits(grammar.symbolCount());
    for (uint32_t s = 0; s < grammar.symbolCount(); ++s) {
        if (previous.isEntry(s)) {
            bits[s] = codeBits[s];
        } else if (grammar.isRule(s)) {
            bits[s] = bits[grammar.rule(s).left] + bits[grammar.rule(s).right];
        } else {
            bits[s] = unusedBits;
        }
    }
    return bits;
}

}  // namespace

HuffmanSelection initialHuffmanSelection(const HuffmanGrammar& grammar, const std::vector<uint32_t>& textUses) {
    HuffmanSelection selection;
    selection.uses.assign(textUses.begin(), textUses.end());
    for (const HuffmanRule& rule : grammar.rules) {
        ++selection.uses[rule.left];
        ++selection.uses[rule.right];
    }
    selection.form.assign(grammar.symbolCount(), HuffmanEntryForm::Coded);
    std::fill(selection.form.begin(), selection.form.begin() + HuffmanGrammar::kByteSymbols, HuffmanEntryForm::Literal);
    finishTotals(selection);
    return selection;
}

HuffmanSelection selectHuffmanEntries(const HuffmanGrammar& grammar, const std::vector<uint32_t>& textUses,
                                      const HuffmanSelection& previous, const std::vector<float>& codeBits) {
    const std::vector<double> bits = writtenBits(grammar, previous, codeBits);
    const double total = static_cast<double>(std::max<uint64_t>(previous.totalUses, 2));

    HuffmanSelection selection;
    selection.uses.assign(textUses.begin(), textUses.end());
    selection.form.assign(grammar.symbolCount(), HuffmanEntryForm::None);
    for (uint32_t s = grammar.symbolCount(); s-- > HuffmanGrammar::kByteSymbols;) {
        const uint64_t uses = selection.uses[s];
        if (uses == 0) continue;
        const HuffmanRule& rule = grammar.rule(s);
        const double partBits = bits[rule.left] + bits[rule.right];
        const double ownBits = uses * std::max(1.0, std::log2(total / static_cast<double>(uses))) + entryOverheadBits;
        const double leftOut = uses * partBits;
        const double coded = ownBits + partBits + codedPaddingBits;
        const double literal = ownBits + 8.0 * (rule.length + (rule.length & 1));
        if (literal <= coded && literal < leftOut) {
            selection.form[s] = HuffmanEntryForm::Literal;
        } else if (coded < leftOut) {
            selection.form[s] = HuffmanEntryForm::Coded;
            ++selection.uses[rule.left];
            ++selection.uses[rule.right];
        } else {
            selection.uses[rule.left] += uses;
            selection.uses[rule.right] += uses;
        }
    }
    for (uint32_t s = 0; s < HuffmanGrammar::kByteSymbols; ++s)
        if (selection.uses[s] > 0) selection.form[s] = HuffmanEntryForm::Literal;
    finishTotals(selection);
    return selection;
}

std::vector<float> idealCodeBits(const HuffmanSelection& selection) {
    const double total = static_cast<double>(std::max<uint64_t>(selection.totalUses, 2));
    std::vector<float> bits(selection.uses.size(), 0);
    for (size_t s = 0; s < bits.size(); ++s)
        if (selection.isEntry(s))
            bits[s] = static_cast<float>(std::max(1.0, std::log2(total / static_cast<double>(selection.uses[s]))));
    return bits;
}

}  // namespace qp
