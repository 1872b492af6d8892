// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Palm database container: the 78-byte header, the record list and the record bytes.
#include <cstdint>
#include <string>
#include <vector>

#include "byte_view.h"

namespace kova {

struct PdbHeader {
    std::string name;  // up to the first NUL of the 32-byte field
    uint16_t attributes = 0;
    uint16_t version = 0;
    uint32_t creationDate = 0;
    uint32_t modificationDate = 0;
    uint32_t lastBackupDate = 0;
    uint32_t modificationNumber = 0;
    uint32_t appInfoId = 0;
    uint32_t sortInfoId = 0;
    std::string type;     // 4 bytes
    std::string creator;  // 4 bytes
    uint32_t uniqueIdSeed = 0;
    uint32_t nextRecordListId = 0;
    uint16_t recordCount = 0;
};

struct PdbRecord {
    uint32_t offset = 0;
    uint32_t length = 0;  // up to the next record's offset, the last one up to the end of the file
    uint8_t attributes = 0;
    uint32_t uniqueId = 0;  // 24 bits
};

constexpr size_t pdbHeaderSize = 78;
constexpr size_t pdbRecordEntrySize = 8;

// Reads header and record list. Structural faults (short file, offsets out of order or out of the
// file) are appended to faults; records whose bounds are unusable get length 0.
void readPdb(ByteView file, PdbHeader& header, std::vector<PdbRecord>& records, std::vector<std::string>& faults);

}  // namespace kova
