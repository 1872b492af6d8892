// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as a table of contents over a text cut into small records: every record's trailing index entry
// is written, read back by the book reader and by the writer's own check, and must name exactly the entries that
// overlap the record. A record whose entries do not fit its trailing bytes is the writer's reported limit.
//
// Input: the first byte chooses the record size (8 to 1,024 bytes); each further byte is a step of a walk over
// the text: 0 mod 4 opens an entry inside the open ones, 1 closes the innermost, 2 and 3 move on by (byte >> 2)
// × 3 + 1 bytes. What is still open closes at the end. Nesting is kept as a table of contents has it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <span>
#include <vector>

#include "byte_view.h"
#include "container/index_entry_check.h"
#include "container/trailing_entries.h"
#include "trailing_entries.h"
#include "variable_width.h"

namespace {

// Inputs stay small enough for every record to be compared with every entry.
constexpr size_t kMaxInput = 1024;
constexpr size_t kMaxEntries = 1000;

struct Walk {
    std::vector<qp::TocEntry> entries;
    uint64_t textLength = 0;
};

Walk walk(const uint8_t* data, size_t size) {
    Walk result;
    std::vector<size_t> open;
    uint32_t position = 0;
    const auto close = [&] {
        qp::TocEntry& entry = result.entries[open.back()];
        if (position == entry.start) ++position;  // no entry is empty
        entry.length = position - entry.start;
        open.pop_back();
    };
    for (size_t i = 1; i < size; ++i) {
        const uint8_t step = data[i];
        if (step % 4 == 0 && result.entries.size() < kMaxEntries) {
            open.push_back(result.entries.size());
            result.entries.push_back({position, 0, static_cast<uint32_t>(open.size() - 1), 0});
        } else if (step % 4 == 1 && !open.empty()) {
            close();
        } else if (step % 4 >= 2) {
            position += (step >> 2) * 3u + 1;
        }
    }
    while (!open.empty()) close();
    result.textLength = position + 1;
    // Numbers are ranks in the order of depth, then position.
    std::vector<size_t> order(result.entries.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const qp::TocEntry& x = result.entries[a];
        const qp::TocEntry& y = result.entries[b];
        return x.parentLevel != y.parentLevel ? x.parentLevel < y.parentLevel : x.start < y.start;
    });
    for (size_t rank = 0; rank < order.size(); ++rank) result.entries[order[rank]].number = static_cast<uint32_t>(rank);
    return result;
}

// The names the book reader finds in a record's index entry, runs spread out.
std::vector<qp::TocEntryName> readerNames(const std::vector<uint8_t>& record) {
    const kova::ByteView view(record.data(), record.size());
    const auto length = kova::readBackward(view);
    if (!length || length->value < length->byteCount || length->value > record.size()) std::abort();
    const auto items =
        kova::decodeIndexEntry(view.sub(record.size() - length->value, length->value - length->byteCount));
    if (!items) std::abort();
    std::vector<qp::TocEntryName> names;
    for (const kova::IndexEntryItem& item : *items)
        for (uint32_t k = 0; k < item.runCount; ++k) names.emplace_back(item.parentLevel, item.number + k);
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > kMaxInput) return -1;
    const uint32_t recordSize = 8u * (1u + data[0] % 128u);
    const Walk toc = walk(data, size);
    if (toc.entries.empty()) return 0;

    qp::IndexEntryEncoder encoder(toc.entries);
    std::vector<std::vector<uint8_t>> records;
    std::vector<uint32_t> lengths;
    for (uint64_t start = 0; start < toc.textLength; start += recordSize) {
        const uint64_t end = std::min<uint64_t>(start + recordSize, toc.textLength);
        std::vector<uint8_t>& record = records.emplace_back();
        if (!encoder.appendEntry(record, 0, start, end)) return 0;  // too deep: the writer names the limit
        lengths.push_back(static_cast<uint32_t>(end - start));
        std::vector<qp::TocEntryName> named = readerNames(record), overlapping;
        for (const qp::TocEntry& entry : toc.entries)
            if (qp::overlapsRecord(entry, start, end)) overlapping.emplace_back(entry.parentLevel, entry.number);
        std::sort(named.begin(), named.end());
        std::sort(overlapping.begin(), overlapping.end());
        if (named != overlapping) std::abort();
    }
    const std::vector<std::span<const uint8_t>> views(records.begin(), records.end());
    if (qp::firstUnsoundIndexEntry(views, lengths, toc.entries)) std::abort();
    return 0;
}
