// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One encoding round: Huffman code lengths from the uses of the selected entries, canonical codes, and the
// HUFF, CDIC and text records that they give.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "compress/huffman.h"
#include "compress/huffman_grammar.h"
#include "compress/huffman_pieces.h"
#include "compress/huffman_record_cuts.h"
#include "compress/huffman_selection.h"

namespace qp {

// What an encoding round gives, measured without writing its records.
struct HuffmanRoundSize {
    std::vector<float> codeBits;  // per symbol: the code length of every entry
    uint32_t longestCode = 0;
    uint32_t entryCount = 0;
    uint64_t dictionaryBytes = 0;  // the CDIC records
    uint64_t compressedBytes = 0;  // text, HUFF and CDIC records together
};

// Code lengths only, for a selection (the longest code decides whether the text is worth coding at all).
uint32_t longestHuffmanCode(const HuffmanSelection& selection);

// The sizes that encodeHuffman's records would have, exactly. The text is written as `sequence`, whose records
// end at cuts.ends.
HuffmanRoundSize measureHuffman(const HuffmanGrammar& grammar, const HuffmanPieces& pieces,
                                const HuffmanSelection& selection, std::span<const uint32_t> sequence,
                                const HuffmanRecordCuts& cuts);

// The text records are encoded on up to `threads` threads.
HuffmanRecords encodeHuffman(const HuffmanGrammar& grammar, const HuffmanSelection& selection,
                             std::span<const uint32_t> sequence, const HuffmanRecordCuts& cuts, unsigned threads);

}  // namespace qp
