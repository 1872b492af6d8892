// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_book.h"

namespace kovatest {

std::string be16(uint32_t v) { return {static_cast<char>(v >> 8), static_cast<char>(v)}; }

std::string be32(uint32_t v) { return be16(v >> 16) + be16(v & 0xFFFF); }

std::string bytes(std::initializer_list<uint8_t> list) { return {list.begin(), list.end()}; }

std::string pdbFile(const std::vector<std::string>& records, const std::string& name) {
    std::string out = name;
    out.resize(32, '\0');
    out += be16(0) + be16(0);                    // attributes, version
    out += be32(1700000000) + be32(1700000001);  // creation, modification
    out += be32(0) + be32(0) + be32(0) + be32(0);
    out += "BOOK";
    out += "KOVA";
    out += be32(static_cast<uint32_t>(records.size() + 1));  // unique-ID seed
    out += be32(0);
    out += be16(static_cast<uint32_t>(records.size()));
    uint32_t offset = static_cast<uint32_t>(80 + 8 * records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        out += be32(offset) + be32(static_cast<uint32_t>(i + 1));  // attributes byte 0, then the 24-bit ID
        offset += static_cast<uint32_t>(records[i].size());
    }
    out += be16(0);
    for (const std::string& r : records) out += r;
    return out;
}

std::string record0(const Record0Fields& f) {
    std::string exth;
    if (!f.exth.empty()) {
        std::string body;
        for (const auto& [type, value] : f.exth)
            body += be32(type) + be32(static_cast<uint32_t>(value.size() + 8)) + value;
        size_t length = (12 + body.size() + 3) / 4 * 4;
        exth = "EXTH" + be32(static_cast<uint32_t>(length)) + be32(static_cast<uint32_t>(f.exth.size())) + body;
        exth.resize(length, '\0');
    }
    std::string r = be16(f.compression) + be16(0) + be32(f.textLength) + be16(f.textRecordCount) + be16(f.recordSize) +
                    be16(0) + be16(0);
    r += "KOVA" + be32(232) + be32(f.bookType) + be32(f.encoding) + be32(f.uniqueId) + be32(f.version);  // 16-39
    r += be32(f.orthographicIndex) + be32(f.inflectionIndex) + be32(f.indexNames);                       // 40-51
    for (int i = 0; i < 7; ++i) r += be32(0xFFFFFFFF);                                                   // 52-79
    r += be32(f.firstNonBookRecord);                                                                     // 80
    r += be32(static_cast<uint32_t>(248 + exth.size())) + be32(static_cast<uint32_t>(f.fullName.size()));
    r += be32(9) + be32(0) + be32(0) + be32(f.version);                                              // 92-107
    r += be32(f.firstImageRecord) + be32(0) + be32(0) + be32(0) + be32(0);                           // 108-127
    r += be32(f.exthFlags | (exth.empty() ? 0 : 0x40));                                              // 128
    r += std::string(32, '\0');                                                                      // 132
    r += be32(0xFFFFFFFF) + be32(0xFFFFFFFF) + be32(0) + be32(0) + be32(0) + std::string(8, '\0');   // 164-191
    r += be32(0xFFFFFFFF) + be32(1) + be32(0) + be32(0) + be32(0) + be32(0) + std::string(8, '\0');  // 192-223
    r += be32(0xFFFFFFFF) + be32(0) + be32(0xFFFFFFFF) + be32(0xFFFFFFFF);                           // 224-239
    r += be32(f.extraFlags) + be32(f.ncxIndex);                                                      // 240-247
    r += exth + f.fullName;
    r += std::string(2 + (4 - (f.fullName.size() + 2) % 4) % 4, '\0');
    r += std::string(2048, '\0');
    return r;
}

std::string bookFile(Record0Fields fields, const std::vector<std::string>& textRecords,
                     const std::vector<std::string>& indexRecords) {
    fields.textRecordCount = static_cast<uint16_t>(textRecords.size());
    std::vector<std::string> records{""};
    size_t textBytes = 0;
    for (const std::string& t : textRecords) {
        records.push_back(t);
        textBytes += t.size();
    }
    if (textBytes % 4) records.push_back(std::string(4 - textBytes % 4, '\0'));
    fields.firstNonBookRecord = static_cast<uint32_t>(records.size());
    for (uint32_t* field : {&fields.orthographicIndex, &fields.inflectionIndex, &fields.indexNames, &fields.ncxIndex})
        if (*field != 0xFFFFFFFF) *field += fields.firstNonBookRecord;
    records.insert(records.end(), indexRecords.begin(), indexRecords.end());
    fields.firstImageRecord = static_cast<uint32_t>(records.size());
    records.push_back(bytes({0xE9, 0x8E, 0x0D, 0x0A}));
    records[0] = record0(fields);
    return pdbFile(records);
}

}  // namespace kovatest
