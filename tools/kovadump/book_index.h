// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One index of a book, read from its run of records: the header record (header, name, TAGX, master entries,
// tables), the data records with their entries, the string records, and the record count of the dependent
// index that follows.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "byte_view.h"
#include "index_collation.h"
#include "index_entry.h"
#include "index_header.h"
#include "index_key.h"
#include "index_tables.h"
#include "tagx_table.h"

namespace kova {

// The last key of a data record and its entry count, kept in the header record.
struct MasterEntry {
    size_t number = 0;  // its place in the master IDXT: data record number + 1 after the header record
    size_t offset = 0;
    IndexKey key;
    uint16_t entryCount = 0;
};

struct IndexDataRecord {
    size_t record = 0;
    IndexHeader header;
    std::vector<uint16_t> idxt;
    size_t firstEntry = 0;  // rank of its first entry in the index
    size_t entryCount = 0;  // entries decoded
};

struct StringRecord {
    size_t record = 0;
    std::vector<uint8_t> bytes;
};

// A string of the string records: its location (record number from the first string record × 65536 +
// offset) and its bytes in the book text's encoding.
struct IndexString {
    uint32_t location = 0;
    std::string bytes;
};

struct BookIndex {
    size_t headerRecord = 0;
    std::vector<std::string> namedBy;  // the record 0 fields and naming index entries that name it
    IndexHeader header;
    std::vector<uint8_t> name;  // in the index's code page
    Tagx tagx;
    std::vector<uint16_t> masterIdxt;
    std::vector<MasterEntry> masters;
    IndexTables tables;
    std::vector<IndexDataRecord> dataRecords;
    std::vector<IndexEntry> entries;  // in rank order
    std::vector<StringRecord> stringRecords;
    uint32_t textEncoding = 0;  // of the book: the encoding of the strings

    uint32_t type() const { return header.at(indexField::type); }
    uint32_t codePage() const { return header.at(indexField::codePage); }
    bool exact() const { return header.at(indexField::exact) == 1; }
    KeyForm keyForm() const { return keyFormOf(header); }
    IndexCollation collation() const { return IndexCollation(tables, keyForm(), exact()); }

    std::string nameText() const;  // UTF-8
    std::string keyText(const IndexKey& key) const { return kova::keyText(key, codePage(), tables); }
    // The string at a location; nothing when the location or the string lies outside the string records.
    std::optional<std::string> stringAt(uint32_t location) const;
    // Every string of the string records, read one after another up to the padding.
    std::vector<IndexString> strings() const;
    // The data record that master entry number n describes, when it was read.
    const IndexDataRecord* dataRecord(size_t number) const;
    // Header record of the dependent index, when there is one.
    std::optional<size_t> dependentRecord() const;
    std::string label() const;  // "index at record N" for fault texts
};

// Reads the index whose header record is headerRecord; structural faults are appended.
BookIndex readIndex(const std::vector<ByteView>& records, size_t headerRecord, uint32_t textEncoding,
                    std::vector<std::string>& faults);

// Faults between the parts of a read index: counts, master entries, key order, character table positions,
// string locations.
void checkIndex(const BookIndex& index, std::vector<std::string>& faults);

// Tags whose values are locations in the string records.
bool isStringTag(uint8_t tag);

}  // namespace kova
