// SPDX-License-Identifier: GPL-3.0-or-later
#include "book_header.h"

namespace kova {

namespace {

constexpr size_t zeroAreaSize = 2048;

constexpr KovaField fields[] = {
    {"headerLength", 20, &KovaHeader::headerLength, false},
    {"bookType", 24, &KovaHeader::bookType, false},
    {"textEncoding", 28, &KovaHeader::textEncoding, false},
    {"uniqueId", 32, &KovaHeader::uniqueId, false},
    {"version", 36, &KovaHeader::version, false},
    {"orthographicIndex", 40, &KovaHeader::orthographicIndex, true},
    {"inflectionIndex", 44, &KovaHeader::inflectionIndex, true},
    {"indexNames", 48, &KovaHeader::indexNames, true},
    {"indexKeys", 52, &KovaHeader::indexKeys, true},
    {"extraIndex0", 56, &KovaHeader::extraIndex0, true},
    {"extraIndex1", 60, &KovaHeader::extraIndex1, true},
    {"extraIndex2", 64, &KovaHeader::extraIndex2, true},
    {"extraIndex3", 68, &KovaHeader::extraIndex3, true},
    {"extraIndex4", 72, &KovaHeader::extraIndex4, true},
    {"extraIndex5", 76, &KovaHeader::extraIndex5, true},
    {"firstNonBookRecord", 80, &KovaHeader::firstNonBookRecord, false},
    {"fullNameOffset", 84, &KovaHeader::fullNameOffset, false},
    {"fullNameLength", 88, &KovaHeader::fullNameLength, false},
    {"locale", 92, &KovaHeader::locale, false},
    {"inputLanguage", 96, &KovaHeader::inputLanguage, false},
    {"outputLanguage", 100, &KovaHeader::outputLanguage, false},
    {"minimumVersion", 104, &KovaHeader::minimumVersion, false},
    {"firstImageRecord", 108, &KovaHeader::firstImageRecord, false},
    {"huffmanRecordOffset", 112, &KovaHeader::huffmanRecordOffset, false},
    {"huffmanRecordCount", 116, &KovaHeader::huffmanRecordCount, false},
    {"datpRecordOffset", 120, &KovaHeader::datpRecordOffset, false},
    {"datpRecordCount", 124, &KovaHeader::datpRecordCount, false},
    {"exthFlags", 128, &KovaHeader::exthFlags, false, true},
    {"furtherIndex164", 164, &KovaHeader::furtherIndex164, true},
    {"fdstRecord", 192, &KovaHeader::fdstRecord, false},
    {"fdstSectionCount", 196, &KovaHeader::fdstSectionCount, false},
    {"fcisRecord", 200, &KovaHeader::fcisRecord, false},
    {"fcisCount", 204, &KovaHeader::fcisCount, false},
    {"flisRecord", 208, &KovaHeader::flisRecord, false},
    {"flisCount", 212, &KovaHeader::flisCount, false},
    {"firstMergedRecord", 224, &KovaHeader::firstMergedRecord, false},
    {"mergedRecordCount", 228, &KovaHeader::mergedRecordCount, false},
    {"furtherIndex232", 232, &KovaHeader::furtherIndex232, true},
    {"extraRecordDataFlags", 240, &KovaHeader::extraRecordDataFlags, false, true},
    {"ncxIndex", 244, &KovaHeader::ncxIndex, true},
};

// After the name: at least two zero bytes up to a multiple of 4, then 2,048 zero bytes ending record 0.
void checkNameArea(ByteView record0, const KovaHeader& kova, std::vector<std::string>& faults) {
    size_t nameEnd = size_t{kova.fullNameOffset} + kova.fullNameLength;
    size_t padding = 2 + (4 - (kova.fullNameLength + 2) % 4) % 4;
    size_t expectedSize = nameEnd + padding + zeroAreaSize;
    if (record0.size() != expectedSize) {
        faults.push_back("record 0 is " + std::to_string(record0.size()) + " bytes, expected " +
                         std::to_string(expectedSize) + " (name, " + std::to_string(padding) +
                         " zero bytes, zero area of " + std::to_string(zeroAreaSize) + ")");
        return;
    }
    for (size_t i = nameEnd; i < expectedSize; ++i)
        if (record0.u8(i) != 0) {
            faults.push_back("record 0 has a nonzero byte at " + std::to_string(i) + " after the full name");
            return;
        }
}

}  // namespace

std::span<const KovaField> kovaFields() { return fields; }

bool readBookHeader(ByteView record0, PalmDocHeader& palmDoc, KovaHeader& kova, std::string& fullName,
                    std::vector<std::string>& faults) {
    palmDoc = {};
    kova = {};
    fullName.clear();
    if (record0.size() < palmDocHeaderSize) {
        faults.push_back("record 0 of " + std::to_string(record0.size()) +
                         " bytes is too short for the PalmDOC header");
        return false;
    }
    palmDoc.compression = record0.u16(0);
    palmDoc.reserved = record0.u16(2);
    palmDoc.textLength = record0.u32(4);
    palmDoc.textRecordCount = record0.u16(8);
    palmDoc.recordSize = record0.u16(10);
    palmDoc.encryptionType = record0.u16(12);
    palmDoc.reserved2 = record0.u16(14);

    if (palmDoc.compression != compressionNone && palmDoc.compression != compressionPalmDoc &&
        palmDoc.compression != compressionHuffman)
        faults.push_back("unknown compression " + std::to_string(palmDoc.compression));
    if (palmDoc.encryptionType != 0)
        faults.push_back("encryption type " + std::to_string(palmDoc.encryptionType) + " is not 0");

    size_t kovaEnd = palmDocHeaderSize + kovaHeaderLength;
    if (record0.size() < kovaEnd) {
        faults.push_back("record 0 of " + std::to_string(record0.size()) + " bytes is too short for the KOVA header (" +
                         std::to_string(kovaEnd) + " bytes)");
        return false;
    }
    if (record0.sub(16, 4).toString() != "KOVA") {
        faults.push_back("record 0 lacks the \"KOVA\" magic at offset 16");
        return false;
    }
    for (const KovaField& field : fields) kova.*field.member = record0.u32(field.offset);
    if (kova.headerLength != kovaHeaderLength)
        faults.push_back("KOVA header length " + std::to_string(kova.headerLength) + " is not " +
                         std::to_string(kovaHeaderLength));
    if (kova.textEncoding != 1252 && kova.textEncoding != 65001)
        faults.push_back("text encoding " + std::to_string(kova.textEncoding) + " is neither 1252 nor 65001");
    if (kova.minimumVersion != kova.version)
        faults.push_back("minimum version " + std::to_string(kova.minimumVersion) + " differs from version " +
                         std::to_string(kova.version));

    if (!record0.fits(kova.fullNameOffset, kova.fullNameLength)) {
        faults.push_back("full name (" + std::to_string(kova.fullNameLength) + " bytes at " +
                         std::to_string(kova.fullNameOffset) + ") lies outside record 0 (" +
                         std::to_string(record0.size()) + " bytes)");
    } else {
        fullName = record0.sub(kova.fullNameOffset, kova.fullNameLength).toString();
        checkNameArea(record0, kova, faults);
    }
    return true;
}

}  // namespace kova
