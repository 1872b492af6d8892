// SPDX-License-Identifier: GPL-3.0-or-later
// The book writer's checks of what the text records point to, made before the book is saved: every record's
// trailing index entry reads back as the table-of-contents entries that overlap the record, and every link and
// table-of-contents target stands on a tag. A failure is an internal error: the book is not saved.
#include <algorithm>
#include <string>

#include "container/book_writer.h"
#include "container/index_entry_check.h"
#include "core/message_sink.h"

namespace qp {

bool BookWriter::verifyIndexEntries() {
    if (!(kova_.extraRecordDataFlags & kIndexEntryFlag)) return true;
    std::vector<std::span<const uint8_t>> records;
    for (size_t i = 0; i < recordLengths_.size(); ++i) records.push_back(output_.record(1 + i));
    if (firstUnsoundIndexEntry(records, recordLengths_, trailingInputs_.tocEntries))
        return fail(ErrorCode::TrailingBytes);
    return true;
}

bool BookWriter::verifyTargets(std::span<const uint8_t> text) {
    for (uint64_t position : targets_) {
        if (position >= text.size() || text[position] != '<')
            return fail(ErrorCode::TargetNotOnTag, std::to_string(position));
    }
    return true;
}

// The trailing entries of a record overflow when it names more table-of-contents entries than they hold: those
// that begin in it and those that began earlier and reach into it, as deep as the table nests.
bool BookWriter::failTocTooDeep(size_t record, uint64_t start, uint64_t end) {
    const std::vector<TocEntry>& entries = trailingInputs_.tocEntries;
    uint64_t levels = 0;
    size_t named = 0;
    for (const TocEntry& entry : entries) {
        levels = std::max<uint64_t>(levels, uint64_t{entry.parentLevel} + 1);
        if (overlapsRecord(entry, start, end)) ++named;
    }
    const std::string why = std::to_string(levels) + " levels; text record " + std::to_string(record + 1) +
                            " would name " + std::to_string(named) + " entries, more than its " +
                            std::to_string(kTrailingBufferSize) + " bytes of trailing entries hold.";
    return fail(ErrorCode::TocTooDeep, why);
}

}  // namespace qp
