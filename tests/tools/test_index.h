// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Index records for the reader's tests, laid out by hand from the record format: a header record (192-byte
// header, name, TAGX, master entries, IDXT, tables), data records of given entry bytes, and string records.
// Entries, keys and TAGX rows are given as bytes by the tests.
#include <cstdint>
#include <string>
#include <vector>

namespace kovatest {

struct TestIndex {
    std::string name = "words";
    uint32_t type = 0;
    uint32_t codePage = 1252;
    uint32_t exact = 0;
    std::string tagx;                               // the whole TAGX block
    std::vector<std::vector<std::string>> records;  // encoded entries, per data record
    std::vector<std::string> masterKeys;            // length byte and key of each data record's last entry
    std::string ordt;                               // table data, without the magic
    std::string ligt;
    uint32_t characterCount = 0;
    uint32_t singleByteForm = 0;
    std::string characters;  // first Unicode ORDT data
    std::string folds;       // second Unicode ORDT data
    std::vector<std::string> stringRecords;
    uint32_t dependentRecordCount = 0;
};

// "TAGX", length, control byte count, then the rows (tag, values per group, mask, end flag).
std::string tagxBlock(uint32_t controlBytes, const std::vector<std::vector<uint8_t>>& rows);

// A western ordering table as the tests need it: digits and space as themselves, letters to lower case,
// the accented e (0xC9, 0xE9) to "e", the ligature first-letter bytes 0x01 to 0x05; every other byte 0.
std::string westernOrdt();
std::string westernLigt();  // the five ligatures: 8C, 9C "oe"; C6, E6 "ae"; DF "ss"

// The header record, the data records, then the string records.
std::vector<std::string> indexRecords(const TestIndex& index);

}  // namespace kovatest
