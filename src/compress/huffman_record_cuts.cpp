// SPDX-License-Identifier: GPL-3.0-or-later
#include "compress/huffman_record_cuts.h"

namespace qp {

HuffmanRecordCuts cutHuffmanRecords(const HuffmanGrammar& grammar, uint32_t recordSize) {
    HuffmanRecordCuts cuts;
    uint32_t filled = 0;
    for (size_t i = 0; i < grammar.sequence.size(); ++i) {
        const uint32_t length = grammar.length(grammar.sequence[i]);
        if (filled + uint64_t{length} > recordSize) {
            cuts.ends.push_back(i);
            cuts.lengths.push_back(filled);
            filled = 0;
        }
        filled += length;
    }
    if (filled > 0) {
        cuts.ends.push_back(grammar.sequence.size());
        cuts.lengths.push_back(filled);
    }
    return cuts;
}

}  // namespace qp
