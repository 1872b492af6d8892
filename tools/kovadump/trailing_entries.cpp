// SPDX-License-Identifier: GPL-3.0-or-later
#include "trailing_entries.h"

#include "variable_width.h"

namespace kova {

namespace {

// Reads the forward integers of a position list.
std::optional<std::vector<uint32_t>> decodePositionList(ByteView bytes) {
    std::vector<uint32_t> values;
    size_t offset = 0;
    while (offset < bytes.size()) {
        auto v = readForward(bytes, offset);
        if (!v) return std::nullopt;
        values.push_back(v->value);
        offset += v->byteCount;
    }
    return values;
}

}  // namespace

std::optional<std::vector<IndexEntryItem>> decodeIndexEntry(ByteView bytes) {
    // Item header low bits: 0x1 a start offset follows, 0x2 absolute form (number × 8, then the
    // parent level), 0x4 a run count byte follows; in the difference form (difference << 4) 0x8
    // marks a number going backwards.
    std::vector<IndexEntryItem> items;
    std::optional<uint32_t> previous;
    uint32_t parentLevel = 0;
    size_t offset = 0;
    while (offset < bytes.size()) {
        auto header = readForward(bytes, offset);
        if (!header) return std::nullopt;
        offset += header->byteCount;
        uint32_t v = header->value;
        IndexEntryItem item;
        if (v & 0x2) {
            item.number = v >> 3;
            auto level = readForward(bytes, offset);
            if (!level) return std::nullopt;
            offset += level->byteCount;
            parentLevel = level->value;
        } else {
            if (!previous) return std::nullopt;
            uint32_t difference = v >> 4;
            if (v & 0x8) {
                if (difference > *previous) return std::nullopt;
                item.number = *previous - difference;
            } else {
                item.number = *previous + difference;
            }
        }
        item.parentLevel = parentLevel;
        if (v & 0x4) {
            if (!bytes.fits(offset, 1)) return std::nullopt;
            item.runCount = bytes.u8(offset++);
            if (item.runCount == 0) return std::nullopt;
        }
        if (v & 0x1) {
            auto start = readForward(bytes, offset);
            if (!start) return std::nullopt;
            offset += start->byteCount;
            item.startOffset = start->value;
        }
        previous = item.number + (item.runCount - 1);
        items.push_back(item);
    }
    return items;
}

std::vector<uint64_t> positionListPositions(const std::vector<uint32_t>& values, uint64_t recordStart) {
    std::vector<uint64_t> positions;
    uint64_t base = recordStart;
    for (uint32_t w : values) {
        base += static_cast<uint64_t>(w) << 3;
        positions.push_back(base);
    }
    return positions;
}

std::optional<std::string> readTrailingEntries(ByteView record, uint32_t flags, TrailingEntries& entries) {
    entries = {};
    size_t end = record.size();
    for (unsigned bit = 1; bit < 32; ++bit) {
        uint32_t mask = uint32_t{1} << bit;
        if (!(flags & mask)) continue;
        auto length = readBackward(record.sub(0, end));
        if (!length) return "trailing entry of flag " + std::to_string(mask) + " has no readable length";
        if (length->value < length->byteCount || length->value > end)
            return "trailing entry of flag " + std::to_string(mask) + " claims " + std::to_string(length->value) +
                   " bytes, " + std::to_string(end) + " remain in the record";
        ByteView body = record.sub(end - length->value, length->value - length->byteCount);
        end -= length->value;
        if (mask == positionListFlag) {
            auto values = decodePositionList(body);
            if (!values) return "position list entry ends inside an integer";
            entries.hasPositionList = true;
            entries.positionValues = std::move(*values);
        } else if (mask == indexEntryFlag) {
            entries.hasIndex = true;
            entries.indexBytes = body.toVector();
            auto items = decodeIndexEntry(body);
            entries.indexDecoded = items.has_value();
            if (items) entries.indexItems = std::move(*items);
        }
    }
    if (flags & multibyteEntryFlag) {
        if (end == 0) return "multibyte entry missing: no bytes left in the record";
        uint8_t last = record.u8(end - 1);
        size_t k = last & 3;
        if (k + 1 > end) return "multibyte entry of " + std::to_string(k + 1) + " bytes does not fit in the record";
        entries.hasMultibyte = true;
        entries.multibyteLast = last;
        entries.multibyteBytes = record.sub(end - 1 - k, k).toVector();
        end -= k + 1;
    }
    entries.size = record.size() - end;
    return std::nullopt;
}

}  // namespace kova
