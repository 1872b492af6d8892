// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmdoc_decoder.h"

namespace kova {

std::optional<std::vector<uint8_t>> palmdocDecode(const uint8_t* data, size_t size) {
    std::vector<uint8_t> out;
    out.reserve(size * 2);
    size_t i = 0;
    while (i < size) {
        uint8_t c = data[i++];
        if (c >= 0x01 && c <= 0x08) {
            // The next c bytes, literally.
            if (size - i < c) return std::nullopt;
            out.insert(out.end(), data + i, data + i + c);
            i += c;
        } else if (c < 0x80) {
            out.push_back(c);
        } else if (c >= 0xC0) {
            out.push_back(' ');
            out.push_back(c ^ 0x80);
        } else {
            // Back-reference: 2 bits tag, 11 bits distance, 3 bits length - 3.
            if (i >= size) return std::nullopt;
            unsigned value = (static_cast<unsigned>(c) << 8 | data[i++]) & 0x3FFF;
            size_t distance = value >> 3;
            size_t length = (value & 7) + 3;
            if (distance == 0 || distance > out.size()) return std::nullopt;
            // Byte by byte: the source may overlap the bytes being produced.
            size_t from = out.size() - distance;
            for (size_t k = 0; k < length; ++k) out.push_back(out[from + k]);
        }
    }
    return out;
}

}  // namespace kova
