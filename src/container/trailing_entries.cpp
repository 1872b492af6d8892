// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/trailing_entries.h"

#include <algorithm>

#include "core/variable_width.h"

namespace qp {

namespace {

bool isContinuationByte(uint8_t byte) { return (byte & 0xC0) == 0x80; }

constexpr size_t kMaxMultibyteCount = 3;
// An index entry item is written only while this much of the trailing buffer is left.
constexpr size_t kIndexItemReserve = 16;
// Entries emitted since the last offset before an offset may restart the counting; runs go on longer.
constexpr size_t kResetAfter = 5;
constexpr size_t kRunResetAfter = 10;

}  // namespace

void appendMultibyteEntry(std::vector<uint8_t>& out, std::span<const uint8_t> text, size_t start, size_t end) {
    size_t k = 0;
    while (k < kMaxMultibyteCount && end + k < text.size() && isContinuationByte(text[end + k])) {
        out.push_back(text[end + k]);
        ++k;
    }
    size_t j = 0;
    while (j < kMaxMultibyteCount && start + j < end && isContinuationByte(text[start + j])) ++j;
    out.push_back(static_cast<uint8_t>(j << 4 | k));
}

void PositionListEncoder::appendEntry(std::vector<uint8_t>& out, size_t start, size_t end) {
    size_t entryBegin = out.size();
    size_t base = start;
    for (; cursor_ < positions_.size() && positions_[cursor_].offset < end; ++cursor_) {
        const MarkedPosition& position = positions_[cursor_];
        size_t distance = position.offset >= base ? position.offset - base : 0;
        if (position.roundUp) distance += 7;
        appendForwardInteger(out, distance >> 3);
        base += distance & ~size_t{7};
    }
    appendEntryLength(out, entryBegin);
}

// The state of one record's index entry while its items are written.
struct IndexEntryEncoder::Emission {
    Emission(std::vector<uint8_t>& output, size_t outputLimit, size_t start)
        : out(output), limit(outputLimit), recordStart(start) {}

    std::vector<uint8_t>& out;
    size_t limit;  // out.size() may not pass this
    size_t recordStart;
    bool overflow = false;
    bool hasPrevious = false;
    uint32_t previousLevel = 0;
    uint32_t previousNumber = 0;
    size_t headerByte = 0;  // position of the flag byte of the last header
    size_t countByte = 0;   // position of the count byte of the current run
    bool inRun = false;
    bool afterOffset = false;  // an offset closes the item before it: no run may continue across it
    size_t sinceReset = 0;
    std::set<std::pair<uint32_t, uint32_t>> emitted;

    void header(const TocEntry& entry) {
        if (!hasPrevious || entry.parentLevel != previousLevel) {
            appendForwardInteger(out, uint64_t{entry.number} * 8);
            headerByte = out.size() - 1;
            out[headerByte] |= 0x2;
            appendForwardInteger(out, entry.parentLevel);
        } else {
            bool backwards = entry.number < previousNumber;
            uint64_t difference = backwards ? previousNumber - entry.number : entry.number - previousNumber;
            appendForwardInteger(out, difference << 4 | (backwards ? 0x8 : 0));
            headerByte = out.size() - 1;
        }
        inRun = false;
        afterOffset = false;
    }

    void extendRun() {
        if (inRun && out[countByte] < 0xFF) {
            ++out[countByte];
            return;
        }
        out[headerByte] |= 0x4;
        out.push_back(2);
        countByte = out.size() - 1;
        inRun = true;
    }

    // An item is its header, the parent level (new levels), the run count (runs), then the offset: the offset
    // ends the item, so the next entry starts an item of its own. Every offset restarts the counting, the one
    // after the spanning entries included: an item carries at most one offset, so the next offset can only
    // come after a header of its own.
    void offsetMark(uint64_t offset) {
        out[headerByte] |= 0x1;
        appendForwardInteger(out, offset);
        afterOffset = true;
        sinceReset = 0;
    }

    void emit(const TocEntry& entry, bool covered) {
        if (!emitted.insert({entry.parentLevel, entry.number}).second) return;
        if (out.size() + kIndexItemReserve > limit) {
            overflow = true;
            return;
        }
        bool follows =
            hasPrevious && !afterOffset && entry.parentLevel == previousLevel && entry.number == previousNumber + 1;
        bool runContinues = follows && (!inRun || out[countByte] < 0xFF);
        if (runContinues && sinceReset < kRunResetAfter) {
            extendRun();
        } else if (sinceReset >= (runContinues ? kRunResetAfter : kResetAfter) && covered) {
            offsetMark(entry.start - recordStart);
            emitted.clear();
            emitted.insert({entry.parentLevel, entry.number});
            header(entry);
        } else if (runContinues) {
            extendRun();
        } else {
            header(entry);
        }
        hasPrevious = true;
        previousLevel = entry.parentLevel;
        previousNumber = entry.number;
        ++sinceReset;
    }
};

IndexEntryEncoder::IndexEntryEncoder(std::vector<TocEntry> entries) : entries_(std::move(entries)) {
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const TocEntry& a, const TocEntry& b) { return a.start < b.start; });
}

void IndexEntryEncoder::push(size_t entry) {
    while (!open_.empty() && endOf(open_.back()) <= entries_[entry].start) open_.pop_back();
    open_.push_back(entry);
}

bool IndexEntryEncoder::spansRecord(size_t entry, size_t start, size_t end) const {
    return entries_[entry].start <= start && endOf(entry) >= end;
}

bool IndexEntryEncoder::appendEntry(std::vector<uint8_t>& out, size_t used, size_t start, size_t end) {
    size_t entryBegin = out.size();
    size_t room = used < kTrailingBufferSize ? kTrailingBufferSize - used : 0;
    Emission emission(out, entryBegin + room, start);

    // An entry that begins exactly at the record start is open from the start on.
    std::optional<size_t> openedAtStart;
    if (cursor_ < entries_.size() && entries_[cursor_].start == start) {
        push(cursor_);
        openedAtStart = cursor_++;
    }

    // Entries spanning the whole record come first, closed by an offset of 0.
    bool anySpanning = false;
    for (size_t entry : open_) {
        if (!spansRecord(entry, start, end)) continue;
        emission.emit(entries_[entry], false);
        anySpanning = true;
    }
    if (anySpanning && !emission.overflow) emission.offsetMark(0);

    // Then the entries that began earlier and end inside this record.
    for (size_t entry : open_) {
        if (entries_[entry].start < start && endOf(entry) > start && endOf(entry) < end)
            emission.emit(entries_[entry], false);
    }

    // Then the entries that begin inside the record, in order. An entry is covered when every entry below it
    // on the open stack spans the whole record.
    auto emitOpened = [&](size_t entry) {
        bool covered =
            std::all_of(open_.begin(), open_.end() - 1, [&](size_t below) { return spansRecord(below, start, end); });
        emission.emit(entries_[entry], covered);
    };
    if (openedAtStart && !spansRecord(*openedAtStart, start, end)) emitOpened(*openedAtStart);
    for (; cursor_ < entries_.size() && entries_[cursor_].start < end; ++cursor_) {
        push(cursor_);
        emitOpened(cursor_);
    }

    appendEntryLength(out, entryBegin);
    return !emission.overflow && out.size() - entryBegin <= room;
}

std::optional<size_t> trailingEntriesSize(std::span<const uint8_t> record, uint32_t flags) {
    size_t end = record.size();
    for (uint32_t bit = 1; bit < 32; ++bit) {
        if (!(flags & (uint32_t{1} << bit))) continue;
        const std::optional<ReadInteger> length = readBackwardInteger(record.first(end));
        if (!length || length->value < length->length || length->value > end) return std::nullopt;
        end -= length->value;
    }
    if (flags & kMultibyteEntryFlag) {
        if (end == 0) return std::nullopt;
        const size_t size = 1 + (record[end - 1] & 0x3);
        if (size > end) return std::nullopt;
        end -= size;
    }
    return record.size() - end;
}

TrailingEntryWriter::TrailingEntryWriter(uint32_t flags, std::span<const uint8_t> text,
                                         std::vector<MarkedPosition> positions, std::vector<TocEntry> tocEntries)
    : flags_(flags), text_(text), positions_(std::move(positions)), index_(std::move(tocEntries)) {}

bool TrailingEntryWriter::appendEntries(std::vector<uint8_t>& out, size_t start, size_t end) {
    size_t entriesBegin = out.size();
    if (flags_ & kMultibyteEntryFlag) appendMultibyteEntry(out, text_, start, end);
    if (flags_ & kPositionListFlag) positions_.appendEntry(out, start, end);
    if ((flags_ & kIndexEntryFlag) && !index_.appendEntry(out, out.size() - entriesBegin, start, end)) return false;
    return out.size() - entriesBegin <= kTrailingBufferSize;
}

}  // namespace qp
