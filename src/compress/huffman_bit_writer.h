// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Packs codes most significant bit first; the last byte is completed with zero bits.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qp {

class HuffmanBitWriter {
public:
    explicit HuffmanBitWriter(std::vector<uint8_t>& out) : out_(out) {}

    // The low `length` bits of `code`, length 1 to 32.
    void put(uint32_t code, uint32_t length) {
        pending_ = pending_ << length | (code & ((uint64_t{1} << length) - 1));
        pendingBits_ += length;
        while (pendingBits_ >= 8) {
            pendingBits_ -= 8;
            out_.push_back(static_cast<uint8_t>(pending_ >> pendingBits_));
        }
    }

    void finish() {
        if (pendingBits_ > 0) out_.push_back(static_cast<uint8_t>(pending_ << (8 - pendingBits_)));
        pending_ = 0;
        pendingBits_ = 0;
    }

private:
    std::vector<uint8_t>& out_;
    uint64_t pending_ = 0;  // the low pendingBits_ bits are not written yet
    uint32_t pendingBits_ = 0;
};

}  // namespace qp
