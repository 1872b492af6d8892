// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The EXTH metadata block of record 0: "EXTH", block length, record count, then records of type,
// length (value + 8) and value, padded with zero bytes to a multiple of 4.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "byte_view.h"

namespace kova {

struct ExthRecord {
    uint32_t type = 0;
    std::vector<uint8_t> value;
};

// Reads the block at offset in record 0; returns its length (0 when unreadable).
size_t readExth(ByteView record0, size_t offset, std::vector<ExthRecord>& records, std::vector<std::string>& faults);

// A readable name of the record type ("dc:Creator", "Cover offset", …), or "" when unknown.
std::string exthTypeName(uint32_t type);

// Record 300, the character ranges of the text: pairs of 4-byte big-endian code points (first, last).
// Nothing when the value is not a whole number of pairs.
struct CodePointRange {
    uint32_t first = 0;
    uint32_t last = 0;
};
std::optional<std::vector<CodePointRange>> readCharacterRanges(const std::vector<uint8_t>& value);
// The value of a record as the printer shows it: the ranges of record 300 as "U+0000-U+007F, ...", other
// texts as they are.
std::string exthValueText(const ExthRecord& record);

// True for the types whose value is a 4-byte big-endian number.
bool isNumericExthType(uint32_t type);

}  // namespace kova
