// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Record 0 of the book: the 16-byte PalmDOC header, the 232-byte KOVA header, the EXTH block, the full name
// padded to a multiple of 4 with at least two zero bytes, and 2,048 zero bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace qp {

constexpr uint32_t kNoIndex = 0xFFFFFFFF;
constexpr size_t kPalmDocHeaderSize = 16;
constexpr size_t kKovaHeaderSize = 232;
constexpr size_t kRecordZeroTrailerSize = 2048;

enum class Compression : uint16_t { None = 1, PalmDoc = 2, Huffman = 17480 };

struct PalmDocHeader {
    Compression compression = Compression::PalmDoc;
    uint32_t textLength = 0;
    uint16_t textRecordCount = 0;
    uint16_t recordSize = 4096;
};

// The first record of every index the book carries. The index stage hands them over relative to the index
// store; makeAbsolute() turns them into book record numbers. Absent indexes stay kNoIndex.
struct IndexRecords {
    uint32_t orthographic = kNoIndex;
    uint32_t inflection = kNoIndex;
    uint32_t names = kNoIndex;
    uint32_t keys = kNoIndex;
    std::array<uint32_t, 6> extra{kNoIndex, kNoIndex, kNoIndex, kNoIndex, kNoIndex, kNoIndex};
    uint32_t further164 = kNoIndex;  // the further index stored at offset 164
    uint32_t further232 = kNoIndex;  // the further index stored at offset 232
    uint32_t ncx = kNoIndex;

    void makeAbsolute(uint32_t firstNonBookRecord);
};

struct KovaHeader {
    uint32_t bookType = 2;
    uint32_t textEncoding = 1252;
    uint32_t uniqueId = 0;
    uint32_t version = 7;  // also stored as the minimum version
    IndexRecords indexes;
    uint32_t firstNonBookRecord = 0;
    uint32_t fullNameOffset = 0;
    uint32_t fullNameLength = 0;
    uint32_t locale = 0;
    uint32_t inputLanguage = 0;
    uint32_t outputLanguage = 0;
    uint32_t firstImageRecord = 0;
    uint32_t huffmanRecordOffset = 0;
    uint32_t huffmanRecordCount = 0;
    uint32_t datpRecordOffset = 0;
    uint32_t datpRecordCount = 0;
    uint32_t exthFlags = 0;
    uint32_t fdstRecord = kNoIndex;
    uint32_t fdstSectionCount = 1;
    uint32_t fcisRecord = 0;
    uint32_t fcisCount = 0;
    uint32_t flisRecord = 0;
    uint32_t flisCount = 0;
    uint32_t firstMergedRecord = kNoIndex;
    uint32_t mergedRecordCount = 0;
    uint32_t extraRecordDataFlags = 0;
};

std::array<uint8_t, kPalmDocHeaderSize> encodePalmDocHeader(const PalmDocHeader& header);
std::array<uint8_t, kKovaHeaderSize> encodeKovaHeader(const KovaHeader& header);

// Features the content stages ask for, which keep the file format version up.
struct VersionRequests {
    bool version7 = false;
    bool version5 = false;
};

// The file format version: 7, lowered step by step (to 6, 5, 4) when minimizing and the book needs nothing
// of the higher version.
uint32_t fileFormatVersion(const KovaHeader& header, VersionRequests requests, bool minimize);

// The 32-bit unique ID of the book, drawn from a generator seeded with the millisecond tick counter.
uint32_t uniqueIdFromTicks(uint32_t milliseconds);

// Lays record 0 out. Sets the full name offset and length in the KOVA header, and the 0x40 EXTH flag when
// the block is present; the 0x10 flag is always added.
std::vector<uint8_t> buildRecordZero(const PalmDocHeader& palmDoc, KovaHeader& kova, std::span<const uint8_t> exthBlock,
                                     std::span<const uint8_t> fullName);

}  // namespace qp
