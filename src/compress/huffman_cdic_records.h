// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The CDIC records that hold the dictionary entries in entry-number order, 2^b entries per record.
//
//  0  "CDIC", header length 16, total number of entries over all CDIC records, b
// 16  for each entry of the record, its offset counted from offset 16 (2 bytes)
//  …  the entries, each on an even offset: a 2-byte length, plus 0x8000 for literal bytes (a coded entry holds
//     codes of other entries, packed like the text), then the bytes and, after an odd length, one unused byte
//
// b follows from the stored size of every entry (4 + its length, plus 1 when the length is odd): of all runs
// of consecutive entries, the shortest one that still fits below 61,439 bytes with the header decides, and
// 2^b is the largest power of two not above its length. Records are cut to their used length rounded up to 4.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace qp {

// The entries of a dictionary, in entry-number order.
struct DictionaryEntries {
    std::vector<uint8_t> bytes;    // all entries back to back
    std::vector<uint32_t> ends;    // end of each entry in bytes
    std::vector<uint8_t> literal;  // 1 for literal bytes, 0 for a coded string

    size_t size() const { return ends.size(); }
    std::span<const uint8_t> entry(size_t index) const;
    void add(std::span<const uint8_t> entryBytes, bool isLiteral);
};

// b for entries of the given lengths; the lengths are at most huffman_layout::kMaxDictionaryEntryLength.
uint32_t cdicEntryBits(const std::vector<uint32_t>& entryLengths);

std::vector<std::vector<uint8_t>> cdicRecords(const DictionaryEntries& entries);

// The bytes of the CDIC records for entries of the given lengths, as cdicRecords stores them.
uint64_t cdicBytes(const std::vector<uint32_t>& entryLengths);

}  // namespace qp
