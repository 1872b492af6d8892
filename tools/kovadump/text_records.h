// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text records: each is the compressed text followed by its trailing entries. Decoding strips
// the entries, expands the text and joins the records into the book text.
#include <cstdint>
#include <string>
#include <vector>

#include "book_header.h"
#include "byte_view.h"
#include "trailing_entries.h"

namespace kova {

struct TextRecord {
    size_t recordIndex = 0;       // in the PDB record list
    size_t storedLength = 0;      // compressed text plus trailing entries
    size_t compressedLength = 0;  // without the trailing entries
    TrailingEntries trailing;
    bool decoded = false;
    uint64_t textStart = 0;  // offset of the record's first decoded byte in the book text
    size_t decodedLength = 0;
};

// Decodes records 1 … textRecordCount of the book. Appends faults; text receives the concatenated
// decoded bytes. Huffman-compressed records are split but not expanded (decoded stays false).
void readTextRecords(const std::vector<ByteView>& records, const PalmDocHeader& palmDoc, const KovaHeader& kova,
                     std::vector<TextRecord>& textRecords, std::vector<uint8_t>& text,
                     std::vector<std::string>& faults);

}  // namespace kova
