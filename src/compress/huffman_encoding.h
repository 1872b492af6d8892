#pragma once
// One encoding round: Huffman code lengths from the uses of the selected entries, canonical codes, and the
// HUFF, CDIC and text records that they give.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "compress/huffman.h"
#include "compress/huffman_grammar.h"
#include "compress/huffman_record_cuts.h"
#include "compress/huffman_selection.h"

namespace qp {

struct HuffmanEncoding {
    HuffmanRecords records;
    std::vector<float> codeBits;  // per symbol: the code length of every entry
    uint32_t longestCode = 0;
    uint32_t entryCount = 0;
    uint64_t compressedBytes = 0;  // text, HUFF and CDIC records together
};

// Code lengths only, for a selection (the longest code decides whether the text is worth coding at all).
uint32_t longestHuffmanCode(const HuffmanSelection& selection);

// The text records are encoded on up to `threads` threads.
HuffmanEncoding encodeHuffman(const HuffmanGrammar& grammar, const HuffmanSelection& selection,
                              const HuffmanRecordCuts& cuts, unsigned threads);

}  // namespace qp
