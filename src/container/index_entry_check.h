// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The self-check of the trailing index entries: each text record's entry is read back as a reader reads it, and
// the table-of-contents entries it names must be exactly those that overlap the record: the entries that begin
// inside it and those that began earlier and reach into it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "container/trailing_entries.h"

namespace qp {

// A table-of-contents entry as an index entry names it: parent level and number.
using TocEntryName = std::pair<uint32_t, uint32_t>;

// Whether the entry begins in the text record [start, end) or began earlier and reaches into it.
bool overlapsRecord(const TocEntry& entry, uint64_t start, uint64_t end);

// The entries an index entry (without its length) names, runs spread out, in the order written. Nothing when its
// bytes are not a list of whole items, a difference leads below 0 or before any entry, or a start offset lies
// beyond the record's `recordLength` bytes of text.
std::optional<std::vector<TocEntryName>> readIndexEntry(std::span<const uint8_t> entry, size_t recordLength);

// The text records as written (each ending with its index entry) and the bytes of text each holds. The first
// record, counted from 0, whose index entry does not read or does not name exactly the entries that overlap it,
// each once; nothing when every record is sound.
std::optional<size_t> firstUnsoundIndexEntry(std::span<const std::span<const uint8_t>> records,
                                             std::span<const uint32_t> recordLengths, std::vector<TocEntry> entries);

}  // namespace qp
