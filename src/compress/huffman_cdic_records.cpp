// SPDX-License-Identifier: GPL-3.0-or-later
#include "compress/huffman_cdic_records.h"

#include <algorithm>

#include "compress/huffman_layout.h"

namespace qp {
namespace {

using namespace huffman_layout;

uint32_t storedSize(uint32_t length) { return 4 + length + (length & 1); }

}  // namespace

std::span<const uint8_t> DictionaryEntries::entry(size_t index) const {
    const uint32_t start = index == 0 ? 0 : ends[index - 1];
    return std::span<const uint8_t>(bytes).subspan(start, ends[index] - start);
}

void DictionaryEntries::add(std::span<const uint8_t> entryBytes, bool isLiteral) {
    bytes.insert(bytes.end(), entryBytes.begin(), entryBytes.end());
    ends.push_back(static_cast<uint32_t>(bytes.size()));
    literal.push_back(isLiteral ? 1 : 0);
}

uint32_t cdicEntryBits(const std::vector<uint32_t>& entryLengths) {
    // For every start, the longest run that fits; runs that reach the last entry do not limit the count. Every
    // entry fits alone (its length is at most kMaxDictionaryEntryLength), so each run holds its start.
    const size_t n = entryLengths.size();
    size_t fewest = n;
    size_t end = 0;
    uint64_t used = kCdicHeaderSize;
    for (size_t start = 0; start < n; ++start) {
        while (end < n && used + storedSize(entryLengths[end]) < kCdicRecordLimit)
            used += storedSize(entryLengths[end++]);
        if (end < n && end - start < fewest) fewest = end - start;
        used -= storedSize(entryLengths[start]);
    }
    uint32_t bits = 0;
    while ((size_t{2} << bits) <= fewest) ++bits;
    return bits;
}

uint64_t cdicBytes(const std::vector<uint32_t>& entryLengths) {
    const size_t perRecord = size_t{1} << cdicEntryBits(entryLengths);
    uint64_t bytes = 0;
    for (size_t first = 0; first < entryLengths.size(); first += perRecord) {
        uint64_t record = kCdicHeaderSize;
        for (size_t i = first; i < std::min(first + perRecord, entryLengths.size()); ++i)
            record += storedSize(entryLengths[i]);
        bytes += (record + 3) & ~uint64_t{3};
    }
    return bytes;
}

std::vector<std::vector<uint8_t>> cdicRecords(const DictionaryEntries& entries) {
    std::vector<uint32_t> lengths(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) lengths[i] = static_cast<uint32_t>(entries.entry(i).size());
    const uint32_t bits = cdicEntryBits(lengths);
    const size_t perRecord = size_t{1} << bits;

    std::vector<std::vector<uint8_t>> records;
    for (size_t first = 0; first < entries.size(); first += perRecord) {
        const size_t count = std::min(perRecord, entries.size() - first);
        std::vector<uint8_t> record;
        record.insert(record.end(), {'C', 'D', 'I', 'C'});
        appendBigEndian(record, kCdicHeaderSize);
        appendBigEndian(record, static_cast<uint32_t>(entries.size()));
        appendBigEndian(record, bits);
        record.resize(kCdicHeaderSize + 2 * count);
        for (size_t i = 0; i < count; ++i) {
            const std::span<const uint8_t> entry = entries.entry(first + i);
            putBigEndian(record, kCdicHeaderSize + 2 * i, static_cast<uint32_t>(record.size() - kCdicHeaderSize), 2);
            const uint32_t flag = entries.literal[first + i] ? kLiteralEntryFlag : 0;
            appendBigEndian(record, static_cast<uint32_t>(entry.size()) | flag, 2);
            record.insert(record.end(), entry.begin(), entry.end());
            if (entry.size() & 1) record.push_back(0);
        }
        record.resize((record.size() + 3) & ~size_t{3}, 0);
        records.push_back(std::move(record));
    }
    return records;
}

}  // namespace qp
