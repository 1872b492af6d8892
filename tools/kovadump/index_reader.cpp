// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the records of one index.
#include <algorithm>

#include "book_index.h"
#include "text_encoding.h"
#include "variable_width.h"

namespace kova {

namespace {

size_t align4(size_t n) { return (n + 3) / 4 * 4; }

std::string recordLabel(size_t record) { return "record " + std::to_string(record); }

// After the IDXT come zero bytes up to a multiple of 4, then what follows it (the next table, or the end of
// the record). Anything else means the IDXT holds more or fewer offsets than its count says.
void checkIdxtEnd(uint32_t idxtOffset, size_t count, size_t next, const std::string& where,
                  std::vector<std::string>& faults) {
    size_t end = align4(idxtOffset + 4 + 2 * count);
    if (end != next)
        faults.push_back(where + ": IDXT of " + std::to_string(count) + " offsets ends at " + std::to_string(end) +
                         ", but what follows it begins at " + std::to_string(next));
}

// The first table of the header record, else its end.
size_t firstTableOffset(const IndexHeader& header, size_t recordSize) {
    size_t first = recordSize;
    for (size_t field : {size_t{40}, size_t{44}, size_t{60}, size_t{64}, size_t{68}, size_t{72}, size_t{76}, size_t{80},
                         indexField::characterTableOffset, indexField::foldTableOffset})
        if (header.at(field) != 0) first = std::min<size_t>(first, header.at(field));
    return first;
}

void readHeaderRecord(ByteView record, BookIndex& index, std::vector<std::string>& faults) {
    const std::string where = index.label();
    index.header = readIndexHeader(record);
    const IndexHeader& h = index.header;
    uint32_t nameOffset = h.at(indexField::nameOffset);
    uint32_t nameLength = h.at(indexField::nameLength);
    if (!record.fits(nameOffset, nameLength)) {
        faults.push_back(where + ": name of " + std::to_string(nameLength) + " bytes at " + std::to_string(nameOffset) +
                         " lies outside the record");
        return;
    }
    index.name = record.sub(nameOffset, nameLength).toVector();
    bool hasTagx = readTagx(record, size_t{nameOffset} + nameLength, index.tagx, where, faults);

    uint32_t idxtOffset = h.at(indexField::idxtOffset);
    index.masterIdxt = readIdxt(record, idxtOffset, h.at(indexField::recordCount), indexHeaderSize, where, faults);
    if (index.masterIdxt.size() == h.at(indexField::recordCount))
        checkIdxtEnd(idxtOffset, index.masterIdxt.size(), firstTableOffset(h, record.size()), where, faults);
    if (hasTagx && !index.masterIdxt.empty() && index.masterIdxt[0] != 0 &&
        align4(size_t{index.tagx.offset} + index.tagx.length) != index.masterIdxt[0])
        faults.push_back(where + ": TAGX length field " + std::to_string(index.tagx.length) +
                         " disagrees with the first master entry at " + std::to_string(index.masterIdxt[0]));

    for (size_t i = 0; i < index.masterIdxt.size(); ++i) {
        size_t offset = index.masterIdxt[i];
        if (offset == 0) continue;
        size_t limit =
            i + 1 < index.masterIdxt.size() && index.masterIdxt[i + 1] > offset ? index.masterIdxt[i + 1] : idxtOffset;
        std::optional<KeyRead> key = readKey(record, offset, limit, index.keyForm());
        if (!key || offset + key->size + 2 > limit) {
            faults.push_back(where + ": master entry " + std::to_string(i) + " at " + std::to_string(offset) +
                             " runs past its end (" + std::to_string(limit) + ")");
            continue;
        }
        index.masters.push_back({i, offset, std::move(key->key), record.u16(offset + key->size)});
    }
    index.tables = readIndexTables(record, h, where, faults);
}

void readEntries(ByteView record, const BookIndex& index, IndexDataRecord& data, std::vector<IndexEntry>& entries,
                 std::vector<std::string>& faults) {
    const std::string where = index.label() + ", " + recordLabel(data.record);
    uint32_t idxtOffset = data.header.at(indexField::idxtOffset);
    data.idxt = readIdxt(record, idxtOffset, data.header.at(indexField::recordCount), indexHeaderSize, where, faults);
    if (data.idxt.size() == data.header.at(indexField::recordCount))
        checkIdxtEnd(idxtOffset, data.idxt.size(), record.size(), where, faults);
    data.firstEntry = entries.size();
    for (size_t i = 0; i < data.idxt.size(); ++i) {
        size_t offset = data.idxt[i];
        if (offset == 0) continue;
        bool last = i + 1 == data.idxt.size() || data.idxt[i + 1] <= offset;
        size_t limit = last ? idxtOffset : data.idxt[i + 1];
        IndexEntry entry;
        entry.record = data.record;
        const std::string entryWhere = where + ", entry at " + std::to_string(offset);
        if (std::optional<std::string> fault = decodeEntry(record, offset, limit, index.tagx, index.keyForm(), entry)) {
            faults.push_back(entryWhere + ": " + *fault);
            continue;
        }
        size_t end = offset + entry.size;
        if (last ? limit - end >= 4 : end != limit)
            faults.push_back(entryWhere + " ends at " + std::to_string(end) + ", but " +
                             (last ? "the IDXT" : "the next entry") + " begins at " + std::to_string(limit));
        entries.push_back(std::move(entry));
    }
    data.entryCount = entries.size() - data.firstEntry;
}

// The records that follow the header record: data records, then string records. Returns how many exist.
size_t followingRecords(const std::vector<ByteView>& records, size_t first, uint32_t count, const char* what,
                        const std::string& where, std::vector<std::string>& faults) {
    size_t available = first < records.size() ? records.size() - first : 0;
    if (count <= available) return count;
    faults.push_back(where + ": its " + std::to_string(count) + " " + what + " run past the record list (" +
                     std::to_string(records.size()) + " records)");
    return available;
}

}  // namespace

bool isStringTag(uint8_t tag) { return tag == 3 || tag == 5; }

std::string BookIndex::label() const { return "index at record " + std::to_string(headerRecord); }

std::string BookIndex::nameText() const {
    ByteView bytes(name);
    if (codePage() == codePageUtf16) return utf8FromUtf16le(bytes);
    return codePage() == codePageUtf8 ? bytes.toString() : utf8From1252(bytes);
}

std::optional<std::string> BookIndex::stringAt(uint32_t location) const {
    size_t number = location >> 16;
    size_t offset = location & 0xFFFF;
    if (number >= stringRecords.size()) return std::nullopt;
    ByteView bytes(stringRecords[number].bytes);
    std::optional<VariableWidth> length = readForward(bytes, offset);
    if (!length || !bytes.fits(offset + length->byteCount, length->value)) return std::nullopt;
    return bytes.sub(offset + length->byteCount, length->value).toString();
}

std::vector<IndexString> BookIndex::strings() const {
    std::vector<IndexString> found;
    for (size_t number = 0; number < stringRecords.size(); ++number) {
        ByteView bytes(stringRecords[number].bytes);
        for (size_t offset = 0; offset < bytes.size() && offset <= 0xFFFF;) {
            auto location = static_cast<uint32_t>(number << 16 | offset);
            std::optional<std::string> text = stringAt(location);
            if (!text) break;
            found.push_back({location, *text});
            offset += readForward(bytes, offset)->byteCount + text->size();
        }
    }
    return found;
}

const IndexDataRecord* BookIndex::dataRecord(size_t number) const {
    size_t record = headerRecord + 1 + number;
    if (number < dataRecords.size() && dataRecords[number].record == record) return &dataRecords[number];
    // Data records without "INDX" are left out, so the others may have moved forward.
    auto found = std::find_if(dataRecords.begin(), dataRecords.end(),
                              [&](const IndexDataRecord& d) { return d.record == record; });
    return found == dataRecords.end() ? nullptr : &*found;
}

std::optional<size_t> BookIndex::dependentRecord() const {
    if (header.at(indexField::dependentRecordCount) == 0) return std::nullopt;
    return headerRecord + 1 + size_t{header.at(indexField::recordCount)} + header.at(indexField::stringRecordCount);
}

BookIndex readIndex(const std::vector<ByteView>& records, size_t headerRecord, uint32_t textEncoding,
                    std::vector<std::string>& faults) {
    BookIndex index;
    index.headerRecord = headerRecord;
    index.textEncoding = textEncoding;
    readHeaderRecord(records[headerRecord], index, faults);

    const std::string where = index.label();
    size_t dataCount = followingRecords(records, headerRecord + 1, index.header.at(indexField::recordCount),
                                        "data records", where, faults);
    for (size_t i = 0; i < dataCount; ++i) {
        IndexDataRecord data;
        data.record = headerRecord + 1 + i;
        ByteView record = records[data.record];
        if (!hasIndexMagic(record)) {
            faults.push_back(where + ": data " + recordLabel(data.record) + " does not begin with \"INDX\"");
            continue;
        }
        data.header = readIndexHeader(record);
        readEntries(record, index, data, index.entries, faults);
        index.dataRecords.push_back(std::move(data));
    }
    size_t firstString = headerRecord + 1 + dataCount;
    size_t stringCount = followingRecords(records, firstString, index.header.at(indexField::stringRecordCount),
                                          "string records", where, faults);
    for (size_t i = 0; i < stringCount; ++i)
        index.stringRecords.push_back({firstString + i, records[firstString + i].toVector()});
    return index;
}

}  // namespace kova
