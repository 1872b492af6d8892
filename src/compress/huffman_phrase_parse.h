// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text written with the phrase entries it costs least in: a shortest path over the words of each record
// (the spelled symbols that the phrase rounds paired), where a step is one word or a phrase entry that matches
// there, priced at the code bits of the entry. The grammar's own tree writes a phrase that is no entry as its
// two parts, wherever they were split; a parse takes the entries that cover the text best, across the places
// where the pairs were made. Coded phrase entries are parsed the same way, from entries shorter than themselves.
//
// A trie over the words of every phrase entry finds the entries that match at a position; a parse walks it once
// per word. The records are parsed on several threads, each on its own.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "compress/huffman_grammar.h"
#include "compress/huffman_pair_table.h"
#include "compress/huffman_pieces.h"
#include "compress/huffman_record_cuts.h"
#include "compress/huffman_selection.h"

namespace qp {

// The text as the symbols it is written with, its record ends in that sequence, and the selection whose uses
// and parts they give.
struct HuffmanParsedText {
    std::vector<uint32_t> sequence;
    HuffmanRecordCuts cuts;
    HuffmanSelection selection;
};

class HuffmanPhraseParser {
public:
    // The phrase entries of `selection` are those a parse may take; later selections may only drop some.
    HuffmanPhraseParser(const HuffmanGrammar& grammar, const HuffmanSelection& selection,
                        const HuffmanRecordCuts& cuts);

    // Parses the text and the coded phrase entries with the code bits of the entries of `selection` (codeBits[s],
    // 0 for a symbol that is no entry). Entries that no parse takes leave the selection.
    HuffmanParsedText parse(const HuffmanPieces& pieces, const HuffmanSelection& selection,
                            const std::vector<float>& codeBits, unsigned threads) const;

private:
    // Appends the cheapest symbols for words_[begin … end) to `out`, with no step over the whole range when
    // `wholeAllowed` is false.
    void parseRange(size_t begin, size_t end, bool wholeAllowed, const std::vector<double>& bits,
                    std::vector<uint32_t>& out) const;
    void spellWords(uint32_t symbol, std::vector<uint32_t>& out) const;

    const HuffmanGrammar& grammar_;
    std::vector<uint32_t> words_;     // the text's words, then those of every phrase entry
    std::vector<size_t> recordEnds_;  // per record: its end in words_
    std::vector<uint32_t> recordLengths_;
    std::vector<uint32_t> phrases_;     // the phrase entries
    std::vector<size_t> phraseWords_;   // per phrase entry: its start in words_; one more for the end
    HuffmanPairTable children_;         // (node, word) -> child node; node 0 is the root
    std::vector<uint32_t> firstNode_;   // per word: the root's child for it, or UINT32_MAX
    std::vector<uint32_t> phraseAt_;    // per node: the first phrase entry spelled by the path to it, or UINT32_MAX
    std::vector<uint32_t> samePhrase_;  // per phrase entry (by number): the next with the same words, or UINT32_MAX
};

}  // namespace qp
