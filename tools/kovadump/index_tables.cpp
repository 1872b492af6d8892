// SPDX-License-Identifier: GPL-3.0-or-later
#include "index_tables.h"

namespace kova {

namespace {

constexpr size_t westernTableSize = 256;

// The data behind the magic at offset, when the magic is there and the data fits.
bool tableData(ByteView record, uint32_t offset, const char* magic, size_t length, ByteView& data,
               const std::string& where, std::vector<std::string>& faults) {
    if (!record.fits(offset, 4) || record.sub(offset, 4).toString() != magic) {
        faults.push_back(where + ": offset " + std::to_string(offset) + " does not point at the \"" + magic +
                         "\" magic");
        return false;
    }
    if (!record.fits(offset + size_t{4}, length)) {
        faults.push_back(where + ": " + magic + " of " + std::to_string(length) + " bytes at " +
                         std::to_string(offset) + " runs past the end of the record");
        return false;
    }
    data = record.sub(offset + 4, length);
    return true;
}

std::vector<uint16_t> words16(ByteView data) {
    std::vector<uint16_t> words;
    for (size_t i = 0; i + 1 < data.size(); i += 2) words.push_back(data.u16(i));
    return words;
}

// Header fields of the six spell tables, in table number order, with the fixed sizes (SPL3 has its own).
struct SpellField {
    const char* name;
    size_t offsetField;
    size_t length;
};
constexpr SpellField spellFields[] = {
    {"SPL1", 60, 256}, {"SPL2", 64, 256}, {"SPL3", 76, 0}, {"SPL4", 68, 256}, {"SPL5", 72, 256}, {"SPL6", 80, 512},
};

}  // namespace

IndexTables readIndexTables(ByteView record, const IndexHeader& header, const std::string& where,
                            std::vector<std::string>& faults) {
    IndexTables tables;
    ByteView data;
    tables.ordtOffset = header.at(indexField::ordtOffset);
    if (tables.ordtOffset != 0 && tableData(record, tables.ordtOffset, "ORDT", westernTableSize, data, where, faults))
        tables.sortValues = data.toVector();
    tables.ligtOffset = header.at(indexField::ligtOffset);
    size_t ligtLength = size_t{4} * header.at(indexField::ligtCount);
    if (tables.ligtOffset != 0 && tableData(record, tables.ligtOffset, "LIGT", ligtLength, data, where, faults))
        for (size_t i = 0; i < data.size(); i += 4)
            tables.ligatures.push_back({data.u8(i), data.u8(i + 1), data.u8(i + 2), data.u8(i + 3)});

    size_t count = header.at(indexField::characterCount);
    bool singleByte = header.at(indexField::singleByteForm) == 1;
    tables.characterTableOffset = header.at(indexField::characterTableOffset);
    if (tables.characterTableOffset != 0 &&
        tableData(record, tables.characterTableOffset, "ORDT", singleByte ? count : 2 * count, data, where, faults)) {
        if (singleByte)
            for (size_t i = 0; i < data.size(); ++i) tables.characters.push_back(data.u8(i));
        else
            tables.characters = words16(data);
    }
    tables.foldTableOffset = header.at(indexField::foldTableOffset);
    if (tables.foldTableOffset != 0 &&
        tableData(record, tables.foldTableOffset, "ORDT", 2 * count, data, where, faults))
        tables.folds = words16(data);

    for (const SpellField& field : spellFields) {
        uint32_t offset = header.at(field.offsetField);
        size_t length = field.length ? field.length : header.at(indexField::spl3Length);
        if (offset != 0 && tableData(record, offset, field.name, length, data, where, faults))
            tables.spellTables.push_back({field.name, offset, data.toVector()});
    }
    return tables;
}

}  // namespace kova
