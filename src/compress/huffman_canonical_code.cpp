// SPDX-License-Identifier: GPL-3.0-or-later
#include "compress/huffman_canonical_code.h"

namespace qp {

bool CanonicalCode::assign(const std::vector<uint8_t>& lengths) {
    count_.fill(0);
    first_.fill(0);
    shorter_.fill(0);
    maxLength_ = 0;
    uint8_t previous = 1;
    for (uint8_t length : lengths) {
        if (length < previous || length > kHuffmanMaxCodeLength) return false;
        previous = length;
        ++count_[length];
    }
    maxLength_ = lengths.empty() ? 0 : lengths.back();
    for (uint32_t length = maxLength_; length-- > 1;)
        first_[length] = static_cast<uint32_t>((uint64_t{first_[length + 1]} + count_[length + 1] + 1) / 2);
    for (uint32_t length = 1; length <= maxLength_; ++length)
        if (uint64_t{first_[length]} + count_[length] > (uint64_t{1} << length)) return false;  // too many codes
    for (uint32_t length = 1; length <= kHuffmanMaxCodeLength; ++length)
        shorter_[length] = shorter_[length - 1] + count_[length - 1];
    return true;
}

}  // namespace qp
