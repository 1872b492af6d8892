// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A compact filter that tells which symbol pairs were seen at least twice: 2-bit saturating counters, two per
// pair in the same 64-bit word (one memory access per pair). A pair seen twice always passes; a pair seen once
// passes only when other pairs share both its counters.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qp {

class HuffmanPairFilter {
public:
    // Sizes the filter for about `pairs` pairs (at most 8 MB).
    explicit HuffmanPairFilter(size_t pairs);

    void clear();
    void add(uint64_t key);
    bool seenTwice(uint64_t key) const;

private:
    struct Slots {
        size_t word;
        uint32_t first;  // bit offsets of the two counters in the word
        uint32_t second;
    };

    Slots slotsOf(uint64_t key) const;

    std::vector<uint64_t> words_;  // 32 counters of 2 bits per word
    uint32_t shift_ = 0;
};

}  // namespace qp
