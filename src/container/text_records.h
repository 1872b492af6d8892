// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Cutting the book text into text records.
#include <cstddef>
#include <cstdint>

#include "container/record_zero.h"

namespace qp {

// Longer texts are refused.
constexpr uint64_t kMaxTextLength = 3963617280;

// The nominal uncompressed size of a text record for a text of the given length.
uint32_t nominalRecordSize(uint64_t textLength, Compression compression);

}  // namespace qp
