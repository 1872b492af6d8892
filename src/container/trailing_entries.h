// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Trailing entries: small blocks after the compressed text of each text record that describe the record
// without decompressing it. Record 0 announces the entries present in its extra record data flags.
//
// Layout of a text record: compressed text, multibyte entry (flag 0x1), position list entry (0x4), index
// entry (0x2). Every entry but the multibyte one ends with its total length as a backward integer, so a
// reader peels them off from the end in increasing bit order.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <utility>
#include <vector>

namespace qp {

constexpr uint32_t kMultibyteEntryFlag = 0x1;
constexpr uint32_t kIndexEntryFlag = 0x2;
constexpr uint32_t kPositionListFlag = 0x4;

// The trailing entries of one record must fit this buffer.
constexpr size_t kTrailingBufferSize = 32768;

// A text position marked by the conversion; roundUp positions are encoded rounded up to a multiple of 8.
struct MarkedPosition {
    uint32_t offset = 0;
    bool roundUp = false;
};

// A table-of-contents entry as the index entry sees it.
struct TocEntry {
    uint32_t start = 0;
    uint32_t length = 0;
    uint32_t parentLevel = 0;
    uint32_t number = 0;
};

// UTF-8 only. For the record covering text [start, end): the continuation bytes that follow the record
// (k, at most 3, copied), then one byte holding j << 4 | k, j being the continuation bytes the record
// itself starts with (at most 3).
void appendMultibyteEntry(std::vector<uint8_t>& out, std::span<const uint8_t> text, size_t start, size_t end);

// The position list entry: the listed positions that fall before the record's end, each as a forward
// integer of its distance in units of 8 from a running base. The cursor into the list carries over from
// one record to the next, so records must be given in order.
class PositionListEncoder {
public:
    explicit PositionListEncoder(std::vector<MarkedPosition> positions) : positions_(std::move(positions)) {}
    void appendEntry(std::vector<uint8_t>& out, size_t start, size_t end);

private:
    std::vector<MarkedPosition> positions_;
    size_t cursor_ = 0;
};

// The index entry: which table-of-contents entries cover, end in or begin in the record. Entries are
// identified by parent level and number; consecutive numbers form runs, and after a few entries an offset
// relative to the record start may restart the counting. Records must be given in order.
class IndexEntryEncoder {
public:
    // Entries are taken in the order of their start.
    explicit IndexEntryEncoder(std::vector<TocEntry> entries);
    // False when the trailing buffer (of which `used` bytes are already taken) ran out of room.
    bool appendEntry(std::vector<uint8_t>& out, size_t used, size_t start, size_t end);

private:
    struct Emission;
    void push(size_t entry);
    bool spansRecord(size_t entry, size_t start, size_t end) const;
    size_t endOf(size_t entry) const { return size_t{entries_[entry].start} + entries_[entry].length; }

    std::vector<TocEntry> entries_;
    std::vector<size_t> open_;  // stack of the entries open at the current record
    size_t cursor_ = 0;         // next entry not yet pushed
};

// The bytes the trailing entries take at the end of a record: each flagged entry's backward length from the
// end, in increasing bit order, then the multibyte entry (1 + the low two bits of its last byte). Nothing when
// the entries do not fit the record.
std::optional<size_t> trailingEntriesSize(std::span<const uint8_t> record, uint32_t flags);

// The entries of every text record, in order, for one book.
class TrailingEntryWriter {
public:
    TrailingEntryWriter(uint32_t flags, std::span<const uint8_t> text, std::vector<MarkedPosition> positions,
                        std::vector<TocEntry> tocEntries);
    // Appends the entries of the next record, covering text [start, end); false when they overflow the
    // trailing buffer.
    bool appendEntries(std::vector<uint8_t>& out, size_t start, size_t end);

private:
    uint32_t flags_;
    std::span<const uint8_t> text_;
    PositionListEncoder positions_;
    IndexEntryEncoder index_;
};

}  // namespace qp
