// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The records beside the text of a Huffman or sectioned book: HUFF and CDIC (the dictionary), DATP (where
// each text record's text starts), FDST (the text's sections), FLIS and FCIS, read from the record numbers in
// record 0, with their fields.
#include <cstdint>
#include <string>
#include <vector>

#include "kova_book.h"

namespace kova {

struct AuxiliaryRecord {
    size_t record = 0;
    std::string kind;                                      // "HUFF", "CDIC", "DATP", "FDST", "FLIS", "FCIS"
    std::vector<std::pair<std::string, uint64_t>> fields;  // named header fields
};

struct DatpRecord {
    size_t record = 0;
    uint8_t count = 0;
    uint8_t shift = 0;
    uint16_t described = 0;
    std::vector<uint32_t> recordStarts;  // first DATP record only
    std::vector<uint32_t> sparseStarts;
    std::vector<uint16_t> lengths;
};

std::vector<AuxiliaryRecord> readAuxiliaryRecords(const Book& book);
std::vector<DatpRecord> readDatpRecords(const Book& book);
// Faults: a DATP record that is malformed or disagrees with the text records, an FDST whose sections leave
// the text or go backwards, a record of a kind other than record 0 says.
std::vector<std::string> checkAuxiliaryRecords(const Book& book);

}  // namespace kova
