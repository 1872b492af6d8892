// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two variable-width integer forms of the book format, 7 bits per byte, most significant group
// first. Forward form: the high bit marks the last byte. Backward form: the high bit marks the first
// byte, so that the integer can be read scanning backwards from the end of a record.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "byte_view.h"

namespace kova {

struct VariableWidth {
    uint32_t value = 0;
    size_t byteCount = 0;
};

// Reads a forward integer starting at offset. Nothing when the bytes end before the marked last
// byte or the value does not fit in 32 bits.
std::optional<VariableWidth> readForward(ByteView bytes, size_t offset);

// Reads a backward integer that ends at the end of the bytes.
std::optional<VariableWidth> readBackward(ByteView bytes);

}  // namespace kova
