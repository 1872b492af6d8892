// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 192-byte header that opens every index record ("INDX"), the IDXT offset table of a record, and the
// names of the header record's fields.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "byte_view.h"

namespace kova {

constexpr size_t indexHeaderSize = 192;

// Offsets of the fields of an index header record.
namespace indexField {
constexpr size_t headerLength = 4;
constexpr size_t type = 8;
constexpr size_t idxtOffset = 20;
constexpr size_t recordCount = 24;  // data records in the header record, entries in a data record
constexpr size_t codePage = 28;
constexpr size_t language = 32;
constexpr size_t entryCount = 36;
constexpr size_t ordtOffset = 40;
constexpr size_t ligtOffset = 44;
constexpr size_t ligtCount = 48;
constexpr size_t stringRecordCount = 52;
constexpr size_t dependentRecordCount = 56;
constexpr size_t spl3Length = 84;
constexpr size_t exact = 160;
constexpr size_t singleByteForm = 164;
constexpr size_t characterCount = 168;
constexpr size_t characterTableOffset = 172;
constexpr size_t foldTableOffset = 176;
constexpr size_t nameOffset = 180;
constexpr size_t nameLength = 184;
}  // namespace indexField

// Index types: 0 lookup, key, spell and wildcard, and table-of-contents indexes; 2 the inflection index;
// 3 the naming index.
constexpr uint32_t indexTypeLookup = 0;
constexpr uint32_t indexTypeNaming = 3;

struct IndexHeader {
    std::array<uint32_t, indexHeaderSize / 4> words{};  // offset / 4; word 0 is the magic
    uint32_t at(size_t offset) const { return words[offset / 4]; }
};

struct IndexHeaderField {
    const char* name;
    size_t offset;
};

// Every field of the header record after the magic, in offset order.
std::span<const IndexHeaderField> indexHeaderFields();

bool hasIndexMagic(ByteView record);
IndexHeader readIndexHeader(ByteView record);  // fields beyond a short record read as 0

// Reads the IDXT at idxtOffset with count offsets. Offsets must lie in [firstEntry, idxtOffset) and rise;
// faults name the record by where. An offset outside that range is given as 0, so that the offsets keep
// their places.
std::vector<uint16_t> readIdxt(ByteView record, uint32_t idxtOffset, uint32_t count, size_t firstEntry,
                               const std::string& where, std::vector<std::string>& faults);

}  // namespace kova
