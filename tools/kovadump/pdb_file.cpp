// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdb_file.h"

#include <algorithm>
#include <set>

namespace kova {

namespace {
std::string recordText(size_t index) { return "record " + std::to_string(index); }
}  // namespace

void readPdb(ByteView file, PdbHeader& header, std::vector<PdbRecord>& records, std::vector<std::string>& faults) {
    header = {};
    records.clear();
    if (file.size() < pdbHeaderSize) {
        faults.push_back("file of " + std::to_string(file.size()) + " bytes is too short for a PDB header (" +
                         std::to_string(pdbHeaderSize) + " bytes)");
        return;
    }
    std::string name = file.sub(0, 32).toString();
    header.name = name.substr(0, name.find('\0'));
    header.attributes = file.u16(32);
    header.version = file.u16(34);
    header.creationDate = file.u32(36);
    header.modificationDate = file.u32(40);
    header.lastBackupDate = file.u32(44);
    header.modificationNumber = file.u32(48);
    header.appInfoId = file.u32(52);
    header.sortInfoId = file.u32(56);
    header.type = file.sub(60, 4).toString();
    header.creator = file.sub(64, 4).toString();
    header.uniqueIdSeed = file.u32(68);
    header.nextRecordListId = file.u32(72);
    header.recordCount = file.u16(76);

    if (header.type != "BOOK" || header.creator != "KOVA")
        faults.push_back("type and creator are \"" + header.type + header.creator + "\", not \"BOOKKOVA\"");
    size_t listEnd = pdbHeaderSize + pdbRecordEntrySize * header.recordCount;
    if (!file.fits(0, listEnd)) {
        faults.push_back("record list of " + std::to_string(header.recordCount) + " records ends at " +
                         std::to_string(listEnd) + ", beyond the end of the file (" + std::to_string(file.size()) +
                         " bytes)");
        return;
    }
    if (header.recordCount == 0) {
        faults.push_back("the database has no records");
        return;
    }
    records.resize(header.recordCount);
    for (size_t i = 0; i < records.size(); ++i) {
        size_t entry = pdbHeaderSize + pdbRecordEntrySize * i;
        records[i].offset = file.u32(entry);
        records[i].attributes = file.u8(entry + 4);
        records[i].uniqueId = file.u32(entry + 4) & 0xFFFFFF;
    }
    if (records[0].offset < listEnd)
        faults.push_back("record 0 starts at " + std::to_string(records[0].offset) + ", inside the record list (" +
                         std::to_string(listEnd) + " bytes)");
    for (size_t i = 0; i < records.size(); ++i) {
        uint64_t start = records[i].offset;
        uint64_t end = i + 1 < records.size() ? records[i + 1].offset : file.size();
        if (start > file.size()) {
            faults.push_back(recordText(i) + " starts at " + std::to_string(start) + ", beyond the end of the file (" +
                             std::to_string(file.size()) + " bytes)");
            continue;
        }
        if (end < start) {
            faults.push_back(recordText(i + 1) + " starts at " + std::to_string(end) + ", before " + recordText(i) +
                             " at " + std::to_string(start));
            continue;
        }
        records[i].length = static_cast<uint32_t>(std::min<uint64_t>(end, file.size()) - start);
    }
    std::set<uint32_t> uniqueIds;
    for (size_t i = 0; i < records.size(); ++i)
        if (!uniqueIds.insert(records[i].uniqueId).second)
            faults.push_back(recordText(i) + " repeats the unique ID " + std::to_string(records[i].uniqueId));
}

}  // namespace kova
