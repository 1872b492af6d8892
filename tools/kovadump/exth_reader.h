#pragma once
// The EXTH metadata block of record 0: "EXTH", block length, record count, then records of type,
// length (value + 8) and value, padded with zero bytes to a multiple of 4.
#include <cstdint>
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

// True for the types whose value is a 4-byte big-endian number.
bool isNumericExthType(uint32_t type);

}  // namespace kova
