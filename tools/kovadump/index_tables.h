// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The comparison and spell tables in an index header record. Each table field of the header points at the
// table's 4-byte magic ("ORDT", "LIGT", "SPL1", ...); its data follows the magic.
#include <cstdint>
#include <string>
#include <vector>

#include "byte_view.h"
#include "index_header.h"

namespace kova {

// A ligature byte that sorts as two letters: the byte of its first letter (whose sort value is that letter)
// and its second letter.
struct Ligature {
    uint8_t ligature = 0;
    uint8_t zero = 0;
    uint8_t firstLetterByte = 0;
    uint8_t secondLetter = 0;
};

struct SpellTable {
    std::string name;     // "SPL1" ... "SPL6"
    uint32_t offset = 0;  // of the magic
    std::vector<uint8_t> bytes;
};

struct IndexTables {
    uint32_t ordtOffset = 0;
    std::vector<uint8_t> sortValues;  // western ordering table: 256 sort values, 0 = ignored
    uint32_t ligtOffset = 0;
    std::vector<Ligature> ligatures;
    uint32_t characterTableOffset = 0;
    uint32_t foldTableOffset = 0;
    std::vector<uint16_t> characters;  // Unicode character table: key positions to characters
    std::vector<uint16_t> folds;       // each position's folded sort character, 0 = ignored
    std::vector<SpellTable> spellTables;

    bool western() const { return !sortValues.empty(); }
};

// Reads every table the header names; a table whose magic is missing or that runs past the record is a fault.
IndexTables readIndexTables(ByteView record, const IndexHeader& header, const std::string& where,
                            std::vector<std::string>& faults);

}  // namespace kova
