// SPDX-License-Identifier: GPL-3.0-or-later
#include "compress/huffman_pair_table.h"

#include <bit>

namespace qp {

void HuffmanPairTable::clear(size_t expected) {
    slots_.assign(std::bit_ceil(expected * 2 + 16), Slot{});
    size_ = 0;
}

uint32_t& HuffmanPairTable::operator[](uint64_t key) {
    if ((size_ + 1) * 10 > slots_.size() * 7) rebuild(slots_.size() / 2, 0);
    const size_t mask = slots_.size() - 1;
    for (size_t at = slotOf(key);; at = (at + 1) & mask) {
        Slot& slot = slots_[at];
        if (slot.holds(key)) return slot.value;
        if (!slot.used()) {
            slot.left = left(key);
            slot.right = right(key);
            ++size_;
            return slot.value;
        }
    }
}

const uint32_t* HuffmanPairTable::find(uint64_t key) const {
    const size_t mask = slots_.size() - 1;
    for (size_t at = slotOf(key);; at = (at + 1) & mask) {
        const Slot& slot = slots_[at];
        if (slot.holds(key)) return &slot.value;
        if (!slot.used()) return nullptr;
    }
}

uint32_t* HuffmanPairTable::find(uint64_t key) {
    return const_cast<uint32_t*>(static_cast<const HuffmanPairTable&>(*this).find(key));
}

void HuffmanPairTable::pruneBelow(uint32_t minimum) {
    size_t kept = 0;
    for (const Slot& slot : slots_)
        if (slot.used() && slot.value >= minimum) ++kept;
    if (kept * 2 <= size_) rebuild(kept, minimum);
}

void HuffmanPairTable::rebuild(size_t expected, uint32_t minimum) {
    std::vector<Slot> old = std::move(slots_);
    clear(expected);
    for (const Slot& slot : old)
        if (slot.used() && slot.value >= minimum) (*this)[key(slot.left, slot.right)] = slot.value;
}

}  // namespace qp
