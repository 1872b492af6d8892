// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The TAGX block of an index header record: which tags an entry may carry, how many values make one of
// their groups, and where each tag's group count sits in the entry's control bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "byte_view.h"

namespace kova {

struct TagxRow {
    uint8_t tag = 0;
    uint8_t valuesPerGroup = 0;
    uint8_t mask = 0;
    uint8_t endFlag = 0;  // 1: the row closes a control byte
    bool isEnd() const { return endFlag == 1; }
};

struct Tagx {
    uint32_t offset = 0;  // of the block in the header record
    uint32_t length = 0;  // as stored: 12 + 4 × rows
    uint32_t controlByteCount = 0;
    std::vector<TagxRow> rows;
};

// Reads the block at offset. Faults: no "TAGX" magic, a length field that cannot describe whole rows inside
// the record, a last row that is no end row, a control byte count that differs from the end rows, a mask
// that is not one or two adjacent bits. Returns false when there is no block to read.
bool readTagx(ByteView record, size_t offset, Tagx& tagx, const std::string& where, std::vector<std::string>& faults);

// The bit width of a mask when it is one or two adjacent bits, else 0.
unsigned maskWidth(uint8_t mask);

}  // namespace kova
