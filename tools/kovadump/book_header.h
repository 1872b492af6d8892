// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Record 0: the 16-byte PalmDOC header, the KOVA header that follows it, and the full name.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "byte_view.h"

namespace kova {

struct PalmDocHeader {
    uint16_t compression = 0;  // 1 none, 2 PalmDOC, 17480 Huffman dictionary
    uint16_t reserved = 0;
    uint32_t textLength = 0;
    uint16_t textRecordCount = 0;
    uint16_t recordSize = 0;
    uint16_t encryptionType = 0;
    uint16_t reserved2 = 0;
};

constexpr uint16_t compressionNone = 1;
constexpr uint16_t compressionPalmDoc = 2;
constexpr uint16_t compressionHuffman = 17480;
constexpr uint32_t noRecord = 0xFFFFFFFF;
constexpr size_t palmDocHeaderSize = 16;
constexpr size_t kovaHeaderLength = 232;  // the KOVA header runs from offset 16 to 248

struct KovaHeader {
    uint32_t headerLength = 0;
    uint32_t bookType = 0;
    uint32_t textEncoding = 0;
    uint32_t uniqueId = 0;
    uint32_t version = 0;
    uint32_t orthographicIndex = noRecord;
    uint32_t inflectionIndex = noRecord;
    uint32_t indexNames = noRecord;
    uint32_t indexKeys = noRecord;
    uint32_t extraIndex0 = noRecord;
    uint32_t extraIndex1 = noRecord;
    uint32_t extraIndex2 = noRecord;
    uint32_t extraIndex3 = noRecord;
    uint32_t extraIndex4 = noRecord;
    uint32_t extraIndex5 = noRecord;
    uint32_t firstNonBookRecord = 0;
    uint32_t fullNameOffset = 0;
    uint32_t fullNameLength = 0;
    uint32_t locale = 0;
    uint32_t inputLanguage = 0;
    uint32_t outputLanguage = 0;
    uint32_t minimumVersion = 0;
    uint32_t firstImageRecord = 0;
    uint32_t huffmanRecordOffset = 0;
    uint32_t huffmanRecordCount = 0;
    uint32_t datpRecordOffset = 0;
    uint32_t datpRecordCount = 0;
    uint32_t exthFlags = 0;
    uint32_t furtherIndex164 = noRecord;
    uint32_t fdstRecord = noRecord;
    uint32_t fdstSectionCount = 0;
    uint32_t fcisRecord = 0;
    uint32_t fcisCount = 0;
    uint32_t flisRecord = 0;
    uint32_t flisCount = 0;
    uint32_t firstMergedRecord = noRecord;
    uint32_t mergedRecordCount = 0;
    uint32_t furtherIndex232 = noRecord;
    uint32_t extraRecordDataFlags = 0;
    uint32_t ncxIndex = noRecord;
};

// One 4-byte KOVA header field: its name, its offset in record 0, and where it is kept.
struct KovaField {
    const char* name;
    size_t offset;
    uint32_t KovaHeader::*member;
    bool isIndexRecord;  // holds the first record of an index, or 0xFFFFFFFF
    bool isFlags = false;
};

// Every named field of the KOVA header, in record 0 order.
std::span<const KovaField> kovaFields();

// Bit of the EXTH flags telling that an EXTH block follows the KOVA header.
constexpr uint32_t exthPresentFlag = 0x40;

// Reads the headers of record 0; structural faults go to faults. Returns false when record 0 has no
// KOVA header to speak of (the fields are then left at their defaults).
bool readBookHeader(ByteView record0, PalmDocHeader& palmDoc, KovaHeader& kova, std::string& fullName,
                    std::vector<std::string>& faults);

}  // namespace kova
