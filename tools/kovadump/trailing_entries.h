// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The trailing entries that follow the compressed text of a text record. Bits of the extra record
// data flags of record 0 say which entries are present: 0x1 multibyte overlap, 0x2 index entry,
// 0x4 position list. From the end of the record the entries come off in increasing bit order
// (bits above 0x1, each ending with its backward-encoded total length); the multibyte entry lies
// next to the text and is k + 1 bytes, k being the low two bits of its last byte.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "byte_view.h"

namespace kova {

enum ExtraDataFlag : uint32_t {
    multibyteEntryFlag = 0x1,
    indexEntryFlag = 0x2,
    positionListFlag = 0x4,
};

// One item of an index entry: table-of-contents entries number … number + runCount - 1 of the
// given parent level; startOffset is set when the item carries a start offset (relative to the
// record start).
struct IndexEntryItem {
    uint32_t number = 0;
    uint32_t parentLevel = 0;
    uint32_t runCount = 1;
    std::optional<uint32_t> startOffset;
};

struct TrailingEntries {
    size_t size = 0;  // bytes of all entries together

    bool hasMultibyte = false;
    uint8_t multibyteLast = 0;            // (j << 4) | k
    std::vector<uint8_t> multibyteBytes;  // the k continuation bytes copied from the next record

    bool hasPositionList = false;
    std::vector<uint32_t> positionValues;  // the forward integers as stored

    bool hasIndex = false;
    std::vector<uint8_t> indexBytes;  // entry bytes without the length
    bool indexDecoded = false;        // indexItems hold a complete decoding of indexBytes
    std::vector<IndexEntryItem> indexItems;

    // Continuation bytes at the start of the record (upper four bits of the multibyte entry).
    unsigned leadingContinuationCount() const { return multibyteLast >> 4; }
};

// Splits the trailing entries off a text record. Returns the fault text when an entry does not fit.
std::optional<std::string> readTrailingEntries(ByteView record, uint32_t flags, TrailingEntries& entries);

// Text positions of a position list: each stored value w moves the base (the record start at first)
// by w × 8, and the position is the new base.
std::vector<uint64_t> positionListPositions(const std::vector<uint32_t>& values, uint64_t recordStart);

// Decodes the items of an index entry; nothing when the bytes do not form a complete item list.
std::optional<std::vector<IndexEntryItem>> decodeIndexEntry(ByteView bytes);

}  // namespace kova
