// SPDX-License-Identifier: GPL-3.0-or-later
#include "variable_width.h"

namespace kova {

namespace {
constexpr size_t maxBytes = 5;  // 35 bits: enough for any 32-bit value
}

std::optional<VariableWidth> readForward(ByteView bytes, size_t offset) {
    uint64_t value = 0;
    for (size_t n = 0; n < maxBytes && bytes.fits(offset + n, 1); ++n) {
        uint8_t b = bytes.u8(offset + n);
        value = value << 7 | (b & 0x7F);
        if (b & 0x80) {
            if (value > UINT32_MAX) return std::nullopt;
            return VariableWidth{static_cast<uint32_t>(value), n + 1};
        }
    }
    return std::nullopt;
}

std::optional<VariableWidth> readBackward(ByteView bytes) {
    uint64_t value = 0;
    unsigned shift = 0;
    for (size_t n = 1; n <= maxBytes && n <= bytes.size(); ++n) {
        uint8_t b = bytes.u8(bytes.size() - n);
        value |= static_cast<uint64_t>(b & 0x7F) << shift;
        shift += 7;
        if (b & 0x80) {
            if (value > UINT32_MAX) return std::nullopt;
            return VariableWidth{static_cast<uint32_t>(value), n};
        }
    }
    return std::nullopt;
}

}  // namespace kova
