// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The HUFF record: the code tables of a canonical code, big-endian and again little-endian.
//
//    0  "HUFF", header length 24, then the offsets of the four tables: 24, 1048, 1304, 2328
//   24  code table, 256 four-byte entries indexed by the next 8 bits of the code stream (big-endian)
// 1048  length table, for L = 1 … 32 the pair (smallest code of length L, M(L)) (big-endian)
// 1304  code table, little-endian
// 2328  length table, little-endian
//
// A code-table entry for 8 bits that hold a whole code (length at most 8) is terminal: the length in bits
// 0-4, bit 7 set, M(L) in bits 8-31. Any other entry gives in bits 0-4 the shortest code length under that
// prefix; the decoder goes on to longer lengths while the 32-bit window is below smallest(L) << (32 - L).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "compress/huffman_canonical_code.h"

namespace qp {

std::vector<uint8_t> huffRecord(const CanonicalCode& code);

}  // namespace qp
