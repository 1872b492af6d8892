// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The byte layout of the HUFF and CDIC records, and the byte order in which their integers are read and
// written. The compression library keeps these to itself so that it depends on no other library.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace qp::huffman_layout {

// HUFF: "HUFF", header length, then the offsets of the four tables (big-endian and little-endian copies).
constexpr size_t kHuffRecordSize = 2584;
constexpr uint32_t kHuffHeaderSize = 24;
constexpr size_t kCodeTableOffset = 24;
constexpr size_t kLengthTableOffset = 1048;
constexpr size_t kCodeTableCopyOffset = 1304;
constexpr size_t kLengthTableCopyOffset = 2328;
constexpr size_t kCodeTableEntries = 256;

// CDIC: "CDIC", header length, total number of entries, b; then 2-byte entry offsets counted from the header's
// end, then the entries, each a 2-byte length word and its bytes.
constexpr uint32_t kCdicHeaderSize = 16;
constexpr uint32_t kCdicRecordLimit = 61439;
constexpr uint32_t kLiteralEntryFlag = 0x8000;
constexpr uint32_t kMaxDictionaryEntryLength = 0x7FFF;

// `width` bytes of `value` at out[at], most significant first.
inline void putBigEndian(std::vector<uint8_t>& out, size_t at, uint32_t value, size_t width = 4) {
    for (size_t i = 0; i < width; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * (width - 1 - i)));
}

// Four bytes of `value` at out[at], least significant first.
inline void putLittleEndian(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

inline void appendBigEndian(std::vector<uint8_t>& out, uint32_t value, size_t width = 4) {
    out.resize(out.size() + width);
    putBigEndian(out, out.size() - width, value, width);
}

inline uint32_t getBigEndian(std::span<const uint8_t> bytes, size_t at, size_t width = 4) {
    uint32_t value = 0;
    for (size_t i = 0; i < width; ++i) value = value << 8 | bytes[at + i];
    return value;
}

}  // namespace qp::huffman_layout
