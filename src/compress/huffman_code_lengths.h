// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Huffman code lengths for the dictionary entries, limited to 32 bits.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qp {

constexpr uint32_t kHuffmanMaxCodeLength = 32;

// The code length of every symbol from its use count (every count at least 1). A lone symbol gets 1 bit.
// When the optimal code would need more than 32 bits, the counts are flattened (halved, rounding up) until
// it fits: rare symbols then share the cost that the deepest ones would have carried alone.
std::vector<uint8_t> huffmanCodeLengths(const std::vector<uint32_t>& counts);

}  // namespace qp
