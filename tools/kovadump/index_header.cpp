// SPDX-License-Identifier: GPL-3.0-or-later
#include "index_header.h"

namespace kova {

namespace {

constexpr IndexHeaderField fields[] = {
    {"headerLength", 4},
    {"type", 8},
    {"field12", 12},
    {"field16", 16},
    {"idxtOffset", 20},
    {"dataRecordCount", 24},
    {"codePage", 28},
    {"language", 32},
    {"entryCount", 36},
    {"ordtOffset", 40},
    {"ligtOffset", 44},
    {"ligtCount", 48},
    {"stringRecordCount", 52},
    {"dependentRecordCount", 56},
    {"spl1Offset", 60},
    {"spl2Offset", 64},
    {"spl4Offset", 68},
    {"spl5Offset", 72},
    {"spl3Offset", 76},
    {"spl6Offset", 80},
    {"spl3Length", 84},
    {"spellFirstLetter", 88},
    {"spellLastLetter", 92},
    {"spellField96", 96},
    {"spellValue0", 100},
    {"spellValue1", 104},
    {"spellValue2", 108},
    {"spellValue3", 112},
    {"spellValue4", 116},
    {"spellValue5", 120},
    {"spellValue6", 124},
    {"spellValue7", 128},
    {"spellValue8", 132},
    {"spellValue9", 136},
    {"spellValue10", 140},
    {"spellField144", 144},
    {"field148", 148},
    {"field152", 152},
    {"field156", 156},
    {"exact", 160},
    {"singleByteForm", 164},
    {"characterCount", 168},
    {"characterTableOffset", 172},
    {"foldTableOffset", 176},
    {"nameOffset", 180},
    {"nameLength", 184},
    {"field188", 188},
};

}  // namespace

std::span<const IndexHeaderField> indexHeaderFields() { return fields; }

bool hasIndexMagic(ByteView record) { return record.sub(0, 4).toString() == "INDX"; }

IndexHeader readIndexHeader(ByteView record) {
    IndexHeader header;
    for (size_t i = 0; i < header.words.size(); ++i) header.words[i] = record.u32(4 * i);
    return header;
}

std::vector<uint16_t> readIdxt(ByteView record, uint32_t idxtOffset, uint32_t count, size_t firstEntry,
                               const std::string& where, std::vector<std::string>& faults) {
    std::vector<uint16_t> offsets;
    if (!record.fits(idxtOffset, 4) || record.sub(idxtOffset, 4).toString() != "IDXT") {
        faults.push_back(where + ": IDXT offset " + std::to_string(idxtOffset) +
                         " does not point at an \"IDXT\" table inside the record (" + std::to_string(record.size()) +
                         " bytes)");
        return offsets;
    }
    if (!record.fits(idxtOffset + size_t{4}, size_t{2} * count)) {
        faults.push_back(where + ": IDXT of " + std::to_string(count) + " offsets at " + std::to_string(idxtOffset) +
                         " runs past the end of the record (" + std::to_string(record.size()) + " bytes)");
        count = static_cast<uint32_t>((record.size() - idxtOffset - 4) / 2);
    }
    size_t previous = 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint16_t offset = record.u16(idxtOffset + 4 + size_t{2} * i);
        if (offset < firstEntry || offset >= idxtOffset) {
            faults.push_back(where + ": IDXT offset " + std::to_string(i) + " (" + std::to_string(offset) +
                             ") lies outside the entries of the record (" + std::to_string(firstEntry) + " to " +
                             std::to_string(idxtOffset) + ")");
            offsets.push_back(0);
            continue;
        }
        if (offset <= previous)
            faults.push_back(where + ": IDXT offset " + std::to_string(i) + " (" + std::to_string(offset) +
                             ") does not rise above the one before (" + std::to_string(previous) + ")");
        previous = offset;
        offsets.push_back(offset);
    }
    return offsets;
}

}  // namespace kova
