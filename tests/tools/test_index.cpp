// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_index.h"

#include "test_book.h"

namespace kovatest {

namespace {

void pad4(std::string& record) { record.resize((record.size() + 3) / 4 * 4, '\0'); }

void put32(std::string& record, size_t offset, uint32_t value) { record.replace(offset, 4, be32(value)); }

// Appends magic and data, padded; returns the offset of the magic.
uint32_t table(std::string& record, const char* magic, const std::string& data) {
    auto offset = static_cast<uint32_t>(record.size());
    record += magic + data;
    pad4(record);
    return offset;
}

std::string dataRecord(const TestIndex& index, const std::vector<std::string>& entries) {
    std::string record(192, '\0');
    std::string idxt = "IDXT";
    for (const std::string& entry : entries) {
        idxt += be16(static_cast<uint32_t>(record.size()));
        record += entry;
    }
    pad4(record);
    uint32_t idxtOffset = static_cast<uint32_t>(record.size());
    record += idxt;
    pad4(record);
    record.replace(0, 4, "INDX");
    put32(record, 4, 192);
    put32(record, 8, index.type);
    put32(record, 12, 1);
    put32(record, 20, idxtOffset);
    put32(record, 24, static_cast<uint32_t>(entries.size()));
    put32(record, 28, 0xFFFFFFFF);
    put32(record, 32, 0xFFFFFFFF);
    return record;
}

}  // namespace

std::string tagxBlock(uint32_t controlBytes, const std::vector<std::vector<uint8_t>>& rows) {
    std::string block = "TAGX" + be32(static_cast<uint32_t>(12 + 4 * rows.size())) + be32(controlBytes);
    for (const auto& row : rows) block += std::string(row.begin(), row.end());
    return block;
}

std::string westernOrdt() {
    std::string ordt(256, '\0');
    ordt[0x01] = ordt[0x02] = 'o';
    ordt[0x03] = ordt[0x04] = 'a';
    ordt[0x05] = 's';
    ordt[' '] = ' ';
    for (char c = '0'; c <= '9'; ++c) ordt[static_cast<uint8_t>(c)] = c;
    for (char c = 'a'; c <= 'z'; ++c) ordt[static_cast<uint8_t>(c)] = ordt[static_cast<uint8_t>(c - 'a' + 'A')] = c;
    ordt[0xC9] = ordt[0xE9] = 'e';
    return ordt;
}

std::string westernLigt() {
    return bytes({0x8C, 0, 0x01, 'E', 0x9C, 0, 0x02, 'e', 0xC6, 0, 0x03, 'E', 0xE6, 0, 0x04, 'e', 0xDF, 0, 0x05, 's'});
}

std::vector<std::string> indexRecords(const TestIndex& index) {
    std::string header(192, '\0');
    header += index.name + index.tagx;
    pad4(header);
    std::string idxt = "IDXT";
    uint32_t total = 0;
    for (size_t i = 0; i < index.records.size(); ++i) {
        idxt += be16(static_cast<uint32_t>(header.size()));
        header += index.masterKeys[i] + be16(static_cast<uint32_t>(index.records[i].size()));
        total += static_cast<uint32_t>(index.records[i].size());
    }
    pad4(header);
    uint32_t idxtOffset = static_cast<uint32_t>(header.size());
    header += idxt;
    pad4(header);
    uint32_t ordt = index.ordt.empty() ? 0 : table(header, "ORDT", index.ordt);
    uint32_t ligt = index.ligt.empty() ? 0 : table(header, "LIGT", index.ligt);
    uint32_t characters = index.characters.empty() ? 0 : table(header, "ORDT", index.characters);
    uint32_t folds = index.folds.empty() ? 0 : table(header, "ORDT", index.folds);

    header.replace(0, 4, "INDX");
    put32(header, 4, static_cast<uint32_t>(192 + index.name.size()));
    put32(header, 8, index.type);
    put32(header, 16, 2);
    put32(header, 20, idxtOffset);
    put32(header, 24, static_cast<uint32_t>(index.records.size()));
    put32(header, 28, index.codePage);
    put32(header, 32, 9);
    put32(header, 36, total);
    put32(header, 40, ordt);
    put32(header, 44, ligt);
    put32(header, 48, static_cast<uint32_t>(index.ligt.size() / 4));
    put32(header, 52, static_cast<uint32_t>(index.stringRecords.size()));
    put32(header, 56, index.dependentRecordCount);
    put32(header, 160, index.exact);
    put32(header, 164, index.singleByteForm);
    put32(header, 168, index.characterCount);
    put32(header, 172, characters);
    put32(header, 176, folds);
    put32(header, 180, 192);
    put32(header, 184, static_cast<uint32_t>(index.name.size()));

    std::vector<std::string> records{header};
    for (const auto& entries : index.records) records.push_back(dataRecord(index, entries));
    for (std::string strings : index.stringRecords) {
        pad4(strings);
        records.push_back(strings);
    }
    return records;
}

}  // namespace kovatest
