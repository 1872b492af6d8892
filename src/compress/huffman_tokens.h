// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text cut into tokens, the units from which the grammar is built: a word (a run of letters and digits,
// including the bytes of two-byte UTF-8 characters and, in 8-bit text, the letters above 0x7F) with the space
// before it, a UTF-8 character of three or four bytes (a CJK character is a word of its own), or any other
// single byte. Words are cut after kMaxTokenLength bytes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace qp {

constexpr size_t kMaxTokenLength = 32;

struct HuffmanTokens {
    std::vector<uint32_t> sequence;  // per token of the text: its number, in order of first occurrence
    std::vector<uint32_t> starts;    // per distinct token: where it first occurs in the text
    std::vector<uint8_t> lengths;    // per distinct token: its bytes
    std::vector<uint32_t> counts;    // per distinct token: its occurrences

    size_t distinct() const { return starts.size(); }
};

// The text is shorter than 4 GiB.
HuffmanTokens huffmanTokens(std::span<const uint8_t> text);

}  // namespace qp
