// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small book builder for the reader's tests, written from the file layout alone: every field is
// placed by hand so that the reader is checked against independent bytes.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kovatest {

std::string be16(uint32_t v);
std::string be32(uint32_t v);
std::string bytes(std::initializer_list<uint8_t> list);

// A PDB of type "BOOK", creator "KOVA"; record unique IDs are 1, 2, 3, …
std::string pdbFile(const std::vector<std::string>& records, const std::string& name = "Test_Book");

struct Record0Fields {
    uint16_t compression = 1;
    uint32_t textLength = 0;
    uint16_t textRecordCount = 0;
    uint16_t recordSize = 4096;
    uint32_t encoding = 1252;
    uint32_t bookType = 2;
    uint32_t uniqueId = 0x12345678;
    uint32_t version = 6;
    uint32_t firstNonBookRecord = 1;
    uint32_t firstImageRecord = 1;
    uint32_t extraFlags = 0;
    uint32_t exthFlags = 0x10;  // 0x40 is added when there are EXTH records
    // Index record fields count from the first index record; bookFile makes them absolute.
    uint32_t orthographicIndex = 0xFFFFFFFF;
    uint32_t inflectionIndex = 0xFFFFFFFF;
    uint32_t indexNames = 0xFFFFFFFF;
    uint32_t ncxIndex = 0xFFFFFFFF;
    std::vector<std::pair<uint32_t, std::string>> exth;
    std::string fullName = "A Book";
};

std::string record0(const Record0Fields& fields);

// record 0, the text records, a pad record when the text records' bytes are not a multiple of 4, the index
// records, and the end-of-file record; fields.textRecordCount, firstNonBookRecord and firstImageRecord are
// filled in, and the index fields made absolute.
std::string bookFile(Record0Fields fields, const std::vector<std::string>& textRecords,
                     const std::vector<std::string>& indexRecords = {});

}  // namespace kovatest
