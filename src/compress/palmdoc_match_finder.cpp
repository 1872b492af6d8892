// SPDX-License-Identifier: GPL-3.0-or-later
#include "compress/palmdoc_match_finder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace qp {

PalmdocMatchFinder::PalmdocMatchFinder(const uint8_t* data, size_t size)
    : data_(data), size_(size), oldest_(size_t{1} << hashBits, none), newest_(size_t{1} << hashBits, none),
      next_(size, none) {}

uint32_t PalmdocMatchFinder::hashAt(size_t position) const {
    const uint32_t key = uint32_t{data_[position]} << 16 | uint32_t{data_[position + 1]} << 8 | data_[position + 2];
    return (key * 2654435761u) >> (32 - hashBits);
}

void PalmdocMatchFinder::insertBelow(size_t p) {
    // Only positions with three bytes behind them can start a match.
    const size_t end = std::min(p, size_ >= minLength ? size_ - minLength + 1 : 0);
    for (; inserted_ < end; ++inserted_) {
        const uint32_t hash = hashAt(inserted_);
        const auto position = static_cast<uint32_t>(inserted_);
        if (newest_[hash] == none) {
            oldest_[hash] = position;
        } else {
            next_[newest_[hash]] = position;
        }
        newest_[hash] = position;
    }
    inserted_ = std::max(inserted_, p);
}

size_t PalmdocMatchFinder::commonLength(size_t m, size_t p, size_t cap) const {
    size_t length = 0;
    if constexpr (std::endian::native == std::endian::little) {
        if (p + sizeof(uint64_t) <= size_) {
            uint64_t a;
            uint64_t b;
            std::memcpy(&a, data_ + m, sizeof a);
            std::memcpy(&b, data_ + p, sizeof b);
            if (a != b) return std::min<size_t>(cap, std::countr_zero(a ^ b) / 8);
            length = sizeof(uint64_t);
        }
    }
    while (length < cap && data_[m + length] == data_[p + length]) ++length;
    return std::min(length, cap);
}

PalmdocMatch PalmdocMatchFinder::find(size_t p, size_t cap) {
    insertBelow(p);
    PalmdocMatch best;
    if (cap < minLength) return best;

    const uint32_t hash = hashAt(p);
    const size_t windowStart = p > windowSize ? p - windowSize : 0;
    uint32_t m = oldest_[hash];
    while (m != none && m < windowStart) m = next_[m];
    oldest_[hash] = m;
    if (m == none) newest_[hash] = none;

    for (; m != none; m = next_[m]) {
        // A later position only wins with a longer match, so it must at least agree on the next byte.
        if (best.length != 0 && data_[m + best.length] != data_[p + best.length]) continue;
        const size_t length = commonLength(m, p, cap);
        if (length >= minLength && length > best.length) {
            best = {length, m};
            if (length == cap) break;
        }
    }
    return best;
}

}  // namespace qp
