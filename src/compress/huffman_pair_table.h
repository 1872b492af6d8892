// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An open-addressing hash table from a pair of symbols to a 32-bit value, for counting and looking up the
// adjacent symbol pairs of the grammar rounds. A slot holds the pair and its value together, so that a lookup
// touches one cache line.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qp {

class HuffmanPairTable {
public:
    HuffmanPairTable() { clear(0); }

    static uint64_t key(uint32_t left, uint32_t right) { return uint64_t{left} << 32 | right; }
    static uint32_t left(uint64_t key) { return static_cast<uint32_t>(key >> 32); }
    static uint32_t right(uint64_t key) { return static_cast<uint32_t>(key); }
    static size_t hash(uint64_t key) { return static_cast<size_t>(key * 0x9E3779B97F4A7C15ull >> 32); }

    // Empties the table and sizes it for about `expected` keys.
    void clear(size_t expected);

    // The value of a key, inserting it with value 0 when it is new.
    uint32_t& operator[](uint64_t key);
    // The value of a key, or nullptr.
    uint32_t* find(uint64_t key);
    const uint32_t* find(uint64_t key) const;
    // Drops the keys whose value is below `minimum` once they are at least half of the keys; until then they stay
    // (a rebuild would cost more than the slots they hold).
    void pruneBelow(uint32_t minimum);

    template <typename Visit>
    void forEach(Visit visit) const {
        for (const Slot& slot : slots_)
            if (slot.used()) visit(key(slot.left, slot.right), slot.value);
    }

private:
    // An unused slot has left == right == UINT32_MAX, which no symbol reaches.
    struct Slot {
        uint32_t left = UINT32_MAX;
        uint32_t right = UINT32_MAX;
        uint32_t value = 0;
        bool used() const { return left != UINT32_MAX; }
        bool holds(uint64_t k) const {
            return left == HuffmanPairTable::left(k) && right == HuffmanPairTable::right(k);
        }
    };

    size_t slotOf(uint64_t key) const { return hash(key) & (slots_.size() - 1); }
    void rebuild(size_t expected, uint32_t minimum);

    std::vector<Slot> slots_;
    size_t size_ = 0;
};

}  // namespace qp
