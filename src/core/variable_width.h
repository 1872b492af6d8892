// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The variable-width integers of the book format, 7 bits per byte, most significant group first.
//  - forward form: the high bit marks the last byte (read front to back);
//  - backward form: the high bit marks the first byte, so that a reader scanning from the end of a record
//    knows where the integer begins. Trailing entries end with their own length in this form.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qp {

void appendForwardInteger(std::vector<uint8_t>& out, uint64_t value);
void appendBackwardInteger(std::vector<uint8_t>& out, uint64_t value);

// Ends the entry that began at entryBegin with its total length, the length bytes included
// (1 byte up to 127, 2 bytes up to 16,383, ...).
void appendEntryLength(std::vector<uint8_t>& out, size_t entryBegin);

struct ReadInteger {
    uint64_t value = 0;
    size_t length = 0;  // bytes it takes
};

// The forward integer that begins at `offset`; nothing when the bytes end before its last byte, or when it is
// longer than a 64-bit value allows.
std::optional<ReadInteger> readForwardInteger(std::span<const uint8_t> bytes, size_t offset);
// The backward integer that ends the bytes, under the same conditions.
std::optional<ReadInteger> readBackwardInteger(std::span<const uint8_t> bytes);

}  // namespace qp
