#pragma once
// The western ordering table: the sort value of each windows-1252 byte in a western index. Letters sort as
// their small unaccented letter, digits and the space as themselves; 0 means the byte is ignored. Bytes 0x01
// to 0x05 stand for the first letters of the ligatures (the ligature table maps the ligatures to them), so they
// sort as "o", "o", "a", "a" and "s". The spell checker's normalising table is the same table.
#include <array>
#include <cstdint>

namespace qp {

inline constexpr std::array<uint8_t, 256> kWesternOrderingTable = {
    // 0x00: the ligature first letters
    0, 'o', 'o', 'a', 'a', 's', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 0x10
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 0x20: the space
    ' ', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 0x30: digits
    '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 0, 0, 0, 0, 0, 0,
    // 0x40: capitals fold to small letters
    0, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o',
    'p', 'q', 'r', 's', 't', 'u', 'v', 'w', 'x', 'y', 'z', 0, 0, 0, 0, 0,
    // 0x60
    0, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o',
    'p', 'q', 'r', 's', 't', 'u', 'v', 'w', 'x', 'y', 'z', 0, 0, 0, 0, 0,
    // 0x80: f with hook, S and Z with caron
    0, 0, 0, 'f', 0, 0, 0, 0, 0, 0, 's', 0, 0, 0, 'z', 0,
    // 0x90: s and z with caron, Y with diaeresis
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 's', 0, 0, 0, 'z', 'y',
    // 0xA0
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 0xB0: micro sign
    0, 0, 0, 0, 0, 'm', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 0xC0: accented capitals (0xC6, the AE ligature, is ignored)
    'a', 'a', 'a', 'a', 'a', 'a', 0, 'c', 'e', 'e', 'e', 'e', 'i', 'i', 'i', 'i',
    // 0xD0 (0xD7, the multiplication sign, and 0xDF, sharp s, are ignored)
    'd', 'n', 'o', 'o', 'o', 'o', 'o', 0, 'o', 'u', 'u', 'u', 'u', 'y', 't', 0,
    // 0xE0: accented small letters (0xE6, the ae ligature, is ignored)
    'a', 'a', 'a', 'a', 'a', 'a', 0, 'c', 'e', 'e', 'e', 'e', 'i', 'i', 'i', 'i',
    // 0xF0 (0xF7, the division sign, is ignored)
    'd', 'n', 'o', 'o', 'o', 'o', 'o', 0, 'o', 'u', 'u', 'u', 'u', 'y', 't', 'y',
};

}  // namespace qp
