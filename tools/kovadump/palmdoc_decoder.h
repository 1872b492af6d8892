// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decoder of PalmDOC-compressed text records.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace kova {

// Expands one compressed record. Returns nothing when the input is malformed: an escape or a
// back-reference cut off by the end of the input, or a back-reference of distance 0 or reaching
// before the start of the output.
std::optional<std::vector<uint8_t>> palmdocDecode(const uint8_t* data, size_t size);

}  // namespace kova
