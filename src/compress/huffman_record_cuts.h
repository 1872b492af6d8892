// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the text records end. A record ends before the first symbol of the grammar's sequence that would take
// it past the nominal record size, so that every record is a whole number of symbols and decodes on its own.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "compress/huffman_grammar.h"

namespace qp {

struct HuffmanRecordCuts {
    std::vector<size_t> ends;       // per record: end of its symbols in the sequence
    std::vector<uint32_t> lengths;  // per record: uncompressed bytes
};

// Every symbol stands for at most recordSize bytes.
HuffmanRecordCuts cutHuffmanRecords(const HuffmanGrammar& grammar, uint32_t recordSize);

}  // namespace qp
