// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Big-endian integers in byte buffers: every integer of the book file is stored most significant byte first.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qp {

inline void putBigEndian16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value >> 8);
    at[1] = static_cast<uint8_t>(value);
}

inline void putBigEndian24(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value >> 16);
    at[1] = static_cast<uint8_t>(value >> 8);
    at[2] = static_cast<uint8_t>(value);
}

inline void putBigEndian32(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value >> 24);
    at[1] = static_cast<uint8_t>(value >> 16);
    at[2] = static_cast<uint8_t>(value >> 8);
    at[3] = static_cast<uint8_t>(value);
}

inline uint16_t getBigEndian16(const uint8_t* at) { return static_cast<uint16_t>(at[0] << 8 | at[1]); }

inline uint32_t getBigEndian24(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) << 16 | static_cast<uint32_t>(at[1]) << 8 | at[2];
}

inline uint32_t getBigEndian32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) << 24 | static_cast<uint32_t>(at[1]) << 16 | static_cast<uint32_t>(at[2]) << 8 |
           at[3];
}

// Appends to a byte vector or a string.
template <typename Bytes>
void appendBigEndian16(Bytes& out, uint16_t value) {
    out.push_back(static_cast<typename Bytes::value_type>(value >> 8));
    out.push_back(static_cast<typename Bytes::value_type>(value & 0xFF));
}

inline void appendBigEndian32(std::vector<uint8_t>& out, uint32_t value) {
    size_t at = out.size();
    out.resize(at + 4);
    putBigEndian32(out.data() + at, value);
}

// The four characters of a type or creator code as one integer ("BOOK" -> 0x424F4F4B).
constexpr uint32_t fourCc(const char (&code)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24 |
           static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8 | static_cast<uint8_t>(code[3]);
}

}  // namespace qp
