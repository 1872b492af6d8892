// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/index_entry_check.h"

#include <algorithm>
#include <climits>

#include "core/variable_width.h"

namespace qp {

namespace {

// Low bits of an item's header.
constexpr uint64_t kStartOffsetFollows = 0x1;
constexpr uint64_t kAbsoluteForm = 0x2;  // number × 8, then the parent level
constexpr uint64_t kRunCountFollows = 0x4;
constexpr uint64_t kGoesBackwards = 0x8;  // difference form: difference << 4

// The index entry at the end of a record, without its length; nothing when its length does not fit.
std::optional<std::span<const uint8_t>> indexEntryOf(std::span<const uint8_t> record) {
    const std::optional<ReadInteger> length = readBackwardInteger(record);
    if (!length || length->value < length->length || length->value > record.size()) return std::nullopt;
    return record.subspan(record.size() - length->value, length->value - length->length);
}

uint64_t endOf(const TocEntry& entry) { return uint64_t{entry.start} + entry.length; }

}  // namespace

bool overlapsRecord(const TocEntry& entry, uint64_t start, uint64_t end) {
    return entry.start < end && (entry.start >= start || endOf(entry) > start);
}

std::optional<std::vector<TocEntryName>> readIndexEntry(std::span<const uint8_t> entry, size_t recordLength) {
    std::vector<TocEntryName> names;
    std::optional<uint64_t> previous;
    uint64_t level = 0;
    size_t at = 0;
    const auto next = [&]() -> std::optional<uint64_t> {
        const std::optional<ReadInteger> read = readForwardInteger(entry, at);
        if (!read) return std::nullopt;
        at += read->length;
        return read->value;
    };
    while (at < entry.size()) {
        const std::optional<uint64_t> header = next();
        if (!header) return std::nullopt;
        uint64_t number = 0;
        if (*header & kAbsoluteForm) {
            number = *header >> 3;
            const std::optional<uint64_t> parentLevel = next();
            if (!parentLevel) return std::nullopt;
            level = *parentLevel;
        } else {
            const uint64_t difference = *header >> 4;
            if (!previous || ((*header & kGoesBackwards) && difference > *previous)) return std::nullopt;
            number = *header & kGoesBackwards ? *previous - difference : *previous + difference;
        }
        uint64_t count = 1;
        if (*header & kRunCountFollows) {
            if (at >= entry.size()) return std::nullopt;
            count = entry[at++];
            if (count < 2) return std::nullopt;
        }
        if (*header & kStartOffsetFollows) {
            const std::optional<uint64_t> offset = next();
            if (!offset || *offset > recordLength) return std::nullopt;
        }
        if (level > UINT32_MAX || number + count - 1 > UINT32_MAX) return std::nullopt;
        for (uint64_t k = 0; k < count; ++k)
            names.emplace_back(static_cast<uint32_t>(level), static_cast<uint32_t>(number + k));
        previous = number + count - 1;
    }
    return names;
}

std::optional<size_t> firstUnsoundIndexEntry(std::span<const std::span<const uint8_t>> records,
                                             std::span<const uint32_t> recordLengths, std::vector<TocEntry> entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const TocEntry& a, const TocEntry& b) { return a.start < b.start; });
    std::vector<const TocEntry*> open;  // begun before the record's end, and not ended before its start
    std::vector<TocEntryName> expected;
    size_t nextEntry = 0;
    uint64_t start = 0;
    for (size_t i = 0; i < records.size() && i < recordLengths.size(); ++i) {
        const uint64_t end = start + recordLengths[i];
        for (; nextEntry < entries.size() && entries[nextEntry].start < end; ++nextEntry)
            open.push_back(&entries[nextEntry]);
        expected.clear();
        for (const TocEntry* entry : open)
            if (overlapsRecord(*entry, start, end)) expected.emplace_back(entry->parentLevel, entry->number);
        // What ends here cannot reach into the next record.
        std::erase_if(open, [&](const TocEntry* entry) { return endOf(*entry) <= end; });

        const std::optional<std::span<const uint8_t>> entry = indexEntryOf(records[i]);
        std::optional<std::vector<TocEntryName>> named =
            entry ? readIndexEntry(*entry, recordLengths[i]) : std::optional<std::vector<TocEntryName>>();
        if (!named) return i;
        std::sort(named->begin(), named->end());
        std::sort(expected.begin(), expected.end());
        if (*named != expected) return i;  // equal sorted lists: also no entry named twice
        start = end;
    }
    return std::nullopt;
}

}  // namespace qp
