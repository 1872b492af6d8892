// SPDX-License-Identifier: GPL-3.0-or-later
#include "compress/huffman_pair_filter.h"

#include <algorithm>
#include <bit>

namespace qp {
namespace {

constexpr size_t maxWords = size_t{1} << 20;
constexpr uint64_t hashMultiplier = 0xC2B2AE3D27D4EB4Full;

uint64_t counter(uint64_t word, uint32_t offset) { return word >> offset & 3; }

}  // namespace

HuffmanPairFilter::HuffmanPairFilter(size_t pairs) {
    const size_t words = std::clamp(std::bit_ceil(std::max<size_t>(pairs / 16, 1)), size_t{64}, maxWords);
    words_.resize(words);
    shift_ = 64 - static_cast<uint32_t>(std::countr_zero(words));
}

void HuffmanPairFilter::clear() { std::fill(words_.begin(), words_.end(), 0); }

HuffmanPairFilter::Slots HuffmanPairFilter::slotsOf(uint64_t key) const {
    const uint64_t hash = key * hashMultiplier;
    const uint32_t first = static_cast<uint32_t>(hash & 31) * 2;
    const uint32_t second = (first + 2 * (1 + static_cast<uint32_t>((hash >> 5) % 31))) & 63;  // never the first
    return {static_cast<size_t>(hash >> shift_), first, second};
}

void HuffmanPairFilter::add(uint64_t key) {
    const Slots slots = slotsOf(key);
    uint64_t& word = words_[slots.word];
    for (const uint32_t offset : {slots.first, slots.second})
        if (counter(word, offset) < 2) word += uint64_t{1} << offset;
}

bool HuffmanPairFilter::seenTwice(uint64_t key) const {
    const Slots slots = slotsOf(key);
    const uint64_t word = words_[slots.word];
    return counter(word, slots.first) >= 2 && counter(word, slots.second) >= 2;
}

}  // namespace qp
