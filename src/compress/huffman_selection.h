// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dictionary selection: which grammar symbols become dictionary entries, and in which form. An entry is either
// literal bytes or a coded string: the codes of the symbols it is written with. A symbol that is no entry is
// written out as those symbols wherever it occurs (in the text or inside a coded entry). A phrase rule is written
// with its two parts; a spelled rule with the cheapest string of shorter pieces (see huffman_pieces.h).
//
// Each symbol is weighed by the bits it costs under the current code lengths: as an entry, its uses times its
// code length plus the stored entry (length word, offset and bytes); left out, its uses times the codes it is
// written with. Symbols are decided from the largest down, so that every symbol knows how often its users need it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "compress/huffman_grammar.h"
#include "compress/huffman_pieces.h"

namespace qp {

enum class HuffmanEntryForm : uint8_t { None, Coded, Literal };

struct HuffmanSelection {
    std::vector<HuffmanEntryForm> form;  // per symbol
    std::vector<uint64_t> uses;          // per symbol: codes written for it, in the text and in coded entries
    uint64_t totalUses = 0;
    // The pieces each spelled rule is written with, pieces[pieceBegin[s] … pieceEnd[s]); empty for the rules that
    // are written with their two parts.
    std::vector<uint32_t> pieceBegin;
    std::vector<uint32_t> pieceEnd;
    std::vector<uint32_t> pieces;

    bool isEntry(uint32_t symbol) const { return form[symbol] != HuffmanEntryForm::None; }

    // Calls visit(part) for every symbol that a rule is written with, in order.
    template <typename Visit>
    void forEachPart(const HuffmanGrammar& grammar, uint32_t rule, Visit visit) const {
        if (rule < pieceBegin.size() && pieceBegin[rule] != pieceEnd[rule]) {
            for (uint32_t i = pieceBegin[rule]; i < pieceEnd[rule]; ++i) visit(pieces[i]);
            return;
        }
        visit(grammar.rule(rule).left);
        visit(grammar.rule(rule).right);
    }
};

// The starting point before any code lengths are known: every used symbol is an entry, and a rule is coded.
HuffmanSelection initialHuffmanSelection(const HuffmanGrammar& grammar, const std::vector<uint32_t>& textUses);

// A new selection from the previous one and the code bits of its entries (codeBits[s] for every entry s of
// `previous`; other values are not read). No coded entry nests deeper than kHuffmanMaxNesting.
HuffmanSelection selectHuffmanEntries(const HuffmanGrammar& grammar, HuffmanPieces& pieces,
                                      const std::vector<uint32_t>& textUses, const HuffmanSelection& previous,
                                      const std::vector<float>& codeBits);

// Counts the uses of every symbol again from its uses in the text, after the parts that symbols are written with
// have changed. Coded entries that would nest deeper than decoders follow become literal; entries that are not
// used leave the selection.
void recountHuffmanUses(const HuffmanGrammar& grammar, const HuffmanPieces& pieces,
                        const std::vector<uint32_t>& textUses, HuffmanSelection& selection);

// Ideal code bits of every entry of a selection: log2(total uses / uses).
std::vector<float> idealCodeBits(const HuffmanSelection& selection);

}  // namespace qp
