// SPDX-License-Identifier: GPL-3.0-or-later
// Consistency of a read index: what its parts say about each other.
#include "book_index.h"

namespace kova {

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

void checkCounts(const BookIndex& index, std::vector<std::string>& faults) {
    uint64_t held = 0;
    for (const IndexDataRecord& data : index.dataRecords) held += data.header.at(indexField::recordCount);
    uint32_t announced = index.header.at(indexField::entryCount);
    if (held != announced)
        faults.push_back(index.label() + ": the header counts " + std::to_string(announced) +
                         " entries, the data records hold " + std::to_string(held));
}

void checkMasters(const BookIndex& index, std::vector<std::string>& faults) {
    for (const MasterEntry& master : index.masters) {
        const IndexDataRecord* data = index.dataRecord(master.number);
        if (!data) continue;
        size_t record = data->record;
        const std::string where = index.label() + ": master entry " + std::to_string(master.number);
        uint32_t held = data->header.at(indexField::recordCount);
        if (master.entryCount != held)
            faults.push_back(where + " counts " + std::to_string(master.entryCount) + " entries, record " +
                             std::to_string(record) + " holds " + std::to_string(held));
        if (data->entryCount == 0 || data->entryCount != data->idxt.size()) continue;
        const IndexKey& last = index.entries[data->firstEntry + data->entryCount - 1].key;
        if (master.key.bytes != last.bytes)
            faults.push_back(where + " has the key " + quoted(index.keyText(master.key)) +
                             ", not the last key of record " + std::to_string(record) + " " +
                             quoted(index.keyText(last)));
    }
}

void checkOrder(const BookIndex& index, std::vector<std::string>& faults) {
    IndexCollation collation = index.collation();
    if (!collation.hasTables()) return;
    size_t disordered = 0;
    std::string first;
    for (size_t rank = 1; rank < index.entries.size(); ++rank) {
        const IndexKey& before = index.entries[rank - 1].key;
        const IndexKey& key = index.entries[rank].key;
        if (collation.compare(before, key) < 0) continue;
        if (disordered++ == 0)
            first = "key " + quoted(index.keyText(key)) + " (rank " + std::to_string(rank) + ") does not sort after " +
                    quoted(index.keyText(before));
    }
    if (disordered)
        faults.push_back(index.label() + ": " + first + " (" + std::to_string(disordered) +
                         " keys out of the index's order)");
}

void checkPositions(const BookIndex& index, std::vector<std::string>& faults) {
    if (index.keyForm() == KeyForm::bytes) return;
    if (index.type() != indexTypeLookup && index.tables.characters.empty()) return;
    const std::string table =
        " outside the character table (" + std::to_string(index.tables.characters.size()) + " characters)";
    for (const MasterEntry& master : index.masters)
        if (positionsOutsideTable(master.key, index.keyForm(), index.tables))
            faults.push_back(index.label() + ": master entry " + std::to_string(master.number) + " has a key position" +
                             table);
    for (size_t rank = 0; rank < index.entries.size(); ++rank)
        if (positionsOutsideTable(index.entries[rank].key, index.keyForm(), index.tables))
            faults.push_back(index.label() + ": the key of entry " + std::to_string(rank) + " has a position" + table);
}

void checkStringLocations(const BookIndex& index, std::vector<std::string>& faults) {
    for (size_t rank = 0; rank < index.entries.size(); ++rank)
        for (const TagValues& tag : index.entries[rank].tags) {
            if (!isStringTag(tag.tag)) continue;
            for (uint32_t location : tag.values)
                if (!index.stringAt(location))
                    faults.push_back(index.label() + ": entry " + std::to_string(rank) + ", tag " +
                                     std::to_string(tag.tag) + ": string location " + std::to_string(location) +
                                     " lies outside the string records");
        }
}

}  // namespace

void checkIndex(const BookIndex& index, std::vector<std::string>& faults) {
    checkCounts(index, faults);
    checkMasters(index, faults);
    checkOrder(index, faults);
    checkPositions(index, faults);
    checkStringLocations(index, faults);
}

}  // namespace kova
