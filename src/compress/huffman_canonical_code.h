// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Canonical code assignment. Codes are handed out from the longest length down: the codes of the longest
// length start at 0, and for each shorter length L, first(L) = (first(L+1) + count(L+1) + 1) / 2. A longer
// code, left-aligned to 32 bits, is therefore always numerically smaller than any shorter one.
//
// Entries are numbered with shorter codes first; within one length, entry numbers grow as codes shrink. The
// entry number of code c of length L is M(L) - c, where M(L) is the largest code of length L plus the number
// of entries with shorter codes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "compress/huffman_code_lengths.h"

namespace qp {

class CanonicalCode {
public:
    // Takes the code length of every entry in entry-number order (lengths 1 to 32, never decreasing).
    // False when the lengths are out of range or out of order.
    bool assign(const std::vector<uint8_t>& lengths);

    uint32_t maxLength() const { return maxLength_; }
    uint32_t count(uint32_t length) const { return count_[length]; }
    // The smallest code of a length; for lengths without codes, the value the recurrence gives (0 above the
    // longest length).
    uint32_t first(uint32_t length) const { return first_[length]; }
    // M(L): the value from which the entry number is computed.
    uint32_t entryBase(uint32_t length) const { return first_[length] + count_[length] - 1 + shorter_[length]; }
    uint32_t code(uint32_t entry, uint32_t length) const { return entryBase(length) - entry; }

private:
    uint32_t maxLength_ = 0;
    std::array<uint32_t, kHuffmanMaxCodeLength + 2> count_{};
    std::array<uint32_t, kHuffmanMaxCodeLength + 2> first_{};
    std::array<uint32_t, kHuffmanMaxCodeLength + 2> shorter_{};  // entries with codes shorter than the length
};

}  // namespace qp
