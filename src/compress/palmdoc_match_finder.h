// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finds back-references for PalmDOC compression: at a position p, the longest string starting at p that
// also starts at an earlier position m in the 2,047-byte window (the source may overlap p), and among
// the positions where that longest string occurs, the lowest one.
//
// Positions are kept in chains of equal three-byte hashes, each chain ordered from the oldest position
// to the newest. Walking from the oldest means the first candidate that reaches the length cap is the
// answer, which keeps long runs of repeated bytes cheap.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qp {

struct PalmdocMatch {
    size_t length = 0;    // 0 when no earlier string of at least 3 bytes matches
    size_t position = 0;  // lowest position in the window where the `length` bytes occur
};

class PalmdocMatchFinder {
public:
    static constexpr size_t windowSize = 2047;
    static constexpr size_t minLength = 3;

    // Allocates the chains for an input of `size` bytes; throws std::bad_alloc when that fails.
    PalmdocMatchFinder(const uint8_t* data, size_t size);

    // The longest match of the bytes at p, compared over at most `cap` bytes (p + cap <= size). Every
    // position below p enters the chains first.
    PalmdocMatch find(size_t p, size_t cap);

private:
    static constexpr uint32_t none = UINT32_MAX;
    static constexpr unsigned hashBits = 12;

    uint32_t hashAt(size_t position) const;
    void insertBelow(size_t p);
    size_t commonLength(size_t m, size_t p, size_t cap) const;

    const uint8_t* data_;
    size_t size_;
    size_t inserted_ = 0;           // positions below this are in the chains
    std::vector<uint32_t> oldest_;  // per hash: first position of the chain (may lie behind the window)
    std::vector<uint32_t> newest_;  // per hash: last position of the chain
    std::vector<uint32_t> next_;    // per position: the next newer position with the same hash
};

}  // namespace qp
