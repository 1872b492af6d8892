// SPDX-License-Identifier: GPL-3.0-or-later
#include "index_entry.h"

#include <bit>

#include "variable_width.h"

namespace kova {

namespace {

// How a tag's values are counted: in groups, or (all bits of a 2-bit mask set) in bytes.
struct TagCount {
    const TagxRow* row = nullptr;
    size_t groups = 0;
    std::optional<uint32_t> byteLength;
};

}  // namespace

std::vector<uint32_t> TagValues::column(size_t i) const {
    std::vector<uint32_t> column;
    for (size_t at = i; valuesPerGroup && at < values.size(); at += valuesPerGroup) column.push_back(values[at]);
    return column;
}

const TagValues* IndexEntry::tag(uint8_t number) const {
    for (const TagValues& t : tags)
        if (t.tag == number) return &t;
    return nullptr;
}

std::optional<std::string> decodeEntry(ByteView record, size_t offset, size_t limit, const Tagx& tagx, KeyForm form,
                                       IndexEntry& entry) {
    entry.offset = offset;
    std::optional<KeyRead> key = readKey(record, offset, limit, form);
    if (!key) return "its key runs past the end of the entry (" + std::to_string(limit) + ")";
    if (key->oddLength) return "its 16-bit key has an odd byte length";
    entry.key = std::move(key->key);
    size_t at = offset + key->size;
    if (at + tagx.controlByteCount > limit) return "its control bytes run past the end of the entry";
    entry.controlBytes = record.sub(at, tagx.controlByteCount).toVector();
    at += tagx.controlByteCount;

    std::vector<TagCount> counts;
    size_t controlIndex = 0;
    for (const TagxRow& row : tagx.rows) {
        if (row.isEnd()) {
            ++controlIndex;
            continue;
        }
        uint8_t control = controlIndex < entry.controlBytes.size() ? entry.controlBytes[controlIndex] : 0;
        uint8_t bits = control & row.mask;
        if (bits == 0 || maskWidth(row.mask) == 0) continue;
        TagCount count;
        count.row = &row;
        if (bits == row.mask && maskWidth(row.mask) == 2) {
            std::optional<VariableWidth> length = readForward(record.sub(0, limit), at);
            if (!length)
                return "the value length of tag " + std::to_string(row.tag) + " runs past the end of the entry";
            count.byteLength = length->value;
            at += length->byteCount;
        } else {
            count.groups = bits >> std::countr_zero(row.mask);
        }
        counts.push_back(count);
    }

    ByteView bounded = record.sub(0, limit);
    for (const TagCount& count : counts) {
        TagValues values{count.row->tag, count.row->valuesPerGroup, {}};
        size_t wanted = count.groups * count.row->valuesPerGroup;
        size_t end = count.byteLength ? at + *count.byteLength : limit;
        if (end > limit) return "the values of tag " + std::to_string(values.tag) + " run past the end of the entry";
        while (count.byteLength ? at < end : values.values.size() < wanted) {
            std::optional<VariableWidth> value = readForward(bounded.sub(0, end), at);
            if (!value) return "the values of tag " + std::to_string(values.tag) + " run past the end of the entry";
            values.values.push_back(value->value);
            at += value->byteCount;
        }
        if (values.valuesPerGroup && values.values.size() % values.valuesPerGroup != 0)
            return "tag " + std::to_string(values.tag) + " holds " + std::to_string(values.values.size()) +
                   " values, not whole groups of " + std::to_string(values.valuesPerGroup);
        entry.tags.push_back(std::move(values));
    }
    entry.size = at - offset;
    return std::nullopt;
}

}  // namespace kova
