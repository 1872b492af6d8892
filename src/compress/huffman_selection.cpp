// SPDX-License-Identifier: GPL-3.0-or-later
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
constexpr double notComputed = -1;

void finishTotals(HuffmanSelection& selection) {
    selection.totalUses = 0;
    for (size_t s = 0; s < selection.uses.size(); ++s) {
        if (selection.uses[s] == 0) selection.form[s] = HuffmanEntryForm::None;
        if (selection.isEntry(s)) selection.totalUses += selection.uses[s];
    }
}

// The form that costs least for a rule used `uses` times: an entry (literal or coded with the bits of its parts),
// or none (every use written as its parts).
HuffmanEntryForm cheapestForm(uint64_t uses, double total, double partBits, uint32_t length) {
    const double ownBits = uses * std::max(1.0, std::log2(total / static_cast<double>(uses))) + entryOverheadBits;
    const double leftOut = uses * partBits;
    const double coded = ownBits + partBits + codedPaddingBits;
    const double literal = ownBits + 8.0 * (length + (length & 1));
    if (literal <= coded && literal < leftOut) return HuffmanEntryForm::Literal;
    if (coded < leftOut) return HuffmanEntryForm::Coded;
    return HuffmanEntryForm::None;
}

// Counts the uses again from the text's after forms have changed.
void countUses(const HuffmanGrammar& grammar, const HuffmanPieces& pieces, const std::vector<uint32_t>& textUses,
               HuffmanSelection& selection) {
    selection.uses.assign(textUses.begin(), textUses.end());
    pieces.forEachTopDown([&](uint32_t s) {
        const uint64_t uses = selection.uses[s];
        if (uses == 0 || !grammar.isRule(s) || selection.form[s] == HuffmanEntryForm::Literal) return;
        const uint64_t each = selection.isEntry(s) ? 1 : uses;
        selection.forEachPart(grammar, s, [&](uint32_t part) { selection.uses[part] += each; });
    });
}

// Coded entries that would nest deeper than decoders follow become literal. Returns whether any did.
bool limitNesting(const HuffmanGrammar& grammar, const HuffmanPieces& pieces, HuffmanSelection& selection) {
    std::vector<uint32_t> nesting(grammar.symbolCount(), 0);  // the deepest coded entries written for the symbol
    bool changed = false;
    pieces.forEachBottomUp([&](uint32_t s) {
        if (!grammar.isRule(s) || selection.form[s] == HuffmanEntryForm::Literal) {
            nesting[s] = 1;
            return;
        }
        uint32_t inner = 0;
        selection.forEachPart(grammar, s, [&](uint32_t part) { inner = std::max(inner, nesting[part]); });
        if (selection.form[s] == HuffmanEntryForm::None) {
            nesting[s] = inner;
        } else if (inner + 1 > kHuffmanMaxNesting) {
            selection.form[s] = HuffmanEntryForm::Literal;
            nesting[s] = 1;
            changed = true;
        } else {
            nesting[s] = inner + 1;
        }
    });
    return changed;
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

HuffmanSelection selectHuffmanEntries(const HuffmanGrammar& grammar, HuffmanPieces& pieces,
                                      const std::vector<uint32_t>& textUses, const HuffmanSelection& previous,
                                      const std::vector<float>& codeBits) {
    const double total = static_cast<double>(std::max<uint64_t>(previous.totalUses, 2));
    // A byte that was no entry is priced as an entry used once; a rule that was none is no piece.
    const double unusedBits = std::log2(total);
    const auto pieceBits = [&](uint32_t piece) -> double {
        if (previous.isEntry(piece)) return codeBits[piece];
        return grammar.isRule(piece) ? HuffmanPieces::kUnavailable : unusedBits;
    };

    HuffmanSelection selection;
    selection.uses.assign(textUses.begin(), textUses.end());
    selection.form.assign(grammar.symbolCount(), HuffmanEntryForm::None);
    selection.pieceBegin.assign(pieces.count(), 0);
    selection.pieceEnd.assign(pieces.count(), 0);
    // The bits of a spelled rule written as pieces under the previous code lengths, parsed when first needed;
    // before the pieces are indexed, as its two parts.
    std::vector<double> spelledBits(pieces.count(), notComputed);
    if (!pieces.indexed()) {
        const auto partBits = [&](uint32_t part) {
            if (previous.isEntry(part)) return static_cast<double>(codeBits[part]);
            return grammar.isRule(part) ? spelledBits[part] : unusedBits;
        };
        for (uint32_t s = HuffmanGrammar::kByteSymbols; s < pieces.count(); ++s)
            spelledBits[s] = partBits(grammar.rule(s).left) + partBits(grammar.rule(s).right);
    }
    const auto piecesBits = [&](uint32_t rule) {
        if (spelledBits[rule] == notComputed) {
            selection.pieceBegin[rule] = static_cast<uint32_t>(selection.pieces.size());
            spelledBits[rule] = pieces.parse(rule, pieceBits, selection.pieces);
            selection.pieceEnd[rule] = static_cast<uint32_t>(selection.pieces.size());
        }
        return spelledBits[rule];
    };
    // The bits that writing a symbol costs under the previous selection: its code when it was an entry, else the
    // codes it is written with (phrase rules from the smallest up; spelled rules when first needed).
    std::vector<double> phraseBits(grammar.symbolCount() - pieces.count());
    const auto writtenBits = [&](uint32_t s) {
        if (previous.isEntry(s)) return static_cast<double>(codeBits[s]);
        if (!grammar.isRule(s)) return unusedBits;
        return pieces.isSpelledRule(s) ? piecesBits(s) : phraseBits[s - pieces.count()];
    };
    for (uint32_t s = pieces.count(); s < grammar.symbolCount(); ++s)
        phraseBits[s - pieces.count()] = writtenBits(grammar.rule(s).left) + writtenBits(grammar.rule(s).right);

    pieces.forEachTopDown([&](uint32_t s) {
        const uint64_t uses = selection.uses[s];
        if (uses == 0 || !grammar.isRule(s)) return;
        const double partBits = pieces.isSpelledRule(s) ? piecesBits(s) : phraseBits[s - pieces.count()];
        selection.form[s] = cheapestForm(uses, total, partBits, grammar.length(s));
        if (selection.form[s] == HuffmanEntryForm::Literal) return;
        const uint64_t each = selection.isEntry(s) ? 1 : uses;
        selection.forEachPart(grammar, s, [&](uint32_t part) { selection.uses[part] += each; });
    });
    for (uint32_t s = 0; s < HuffmanGrammar::kByteSymbols; ++s)
        if (selection.uses[s] > 0) selection.form[s] = HuffmanEntryForm::Literal;
    if (limitNesting(grammar, pieces, selection)) countUses(grammar, pieces, textUses, selection);
    finishTotals(selection);
    return selection;
}

void recountHuffmanUses(const HuffmanGrammar& grammar, const HuffmanPieces& pieces,
                        const std::vector<uint32_t>& textUses, HuffmanSelection& selection) {
    countUses(grammar, pieces, textUses, selection);
    if (limitNesting(grammar, pieces, selection)) countUses(grammar, pieces, textUses, selection);
    finishTotals(selection);
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
