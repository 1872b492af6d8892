// SPDX-License-Identifier: GPL-3.0-or-later
#include "exth_reader.h"

#include <cstdio>

namespace kova {

namespace {

struct TypeName {
    uint32_t type;
    const char* name;
    bool numeric;
};

constexpr TypeName typeNames[] = {
    {100, "dc:Creator", false},
    {101, "dc:Publisher", false},
    {102, "Imprint", false},
    {103, "dc:Description", false},
    {104, "ISBN", false},
    {105, "dc:Subject", false},
    {106, "dc:Date", false},
    {107, "Review", false},
    {108, "dc:Contributor", false},
    {109, "dc:Rights", false},
    {110, "BASICCode", false},
    {111, "dc:Type", false},
    {112, "dc:Source", false},
    {116, "Start reading", true},
    {117, "Adult only", false},
    {118, "Retail price", false},
    {119, "Retail currency", false},
    {200, "Short dic label", false},
    {201, "Cover offset", true},
    {202, "Thumbnail offset", true},
    {203, "Fake cover", true},
    {204, "Creator software", true},
    {205, "Creator major version", true},
    {206, "Creator minor version", true},
    {207, "Creator build number", true},
    {300, "Character ranges", false},
};

const TypeName* find(uint32_t type) {
    for (const TypeName& t : typeNames)
        if (t.type == type) return &t;
    return nullptr;
}

constexpr size_t exthHeaderSize = 12;
constexpr size_t exthRecordHeaderSize = 8;

}  // namespace

std::string exthTypeName(uint32_t type) {
    const TypeName* t = find(type);
    return t ? t->name : "";
}

std::optional<std::vector<CodePointRange>> readCharacterRanges(const std::vector<uint8_t>& value) {
    if (value.size() % 8 != 0) return std::nullopt;
    const ByteView bytes(value);
    std::vector<CodePointRange> ranges;
    for (size_t at = 0; at < value.size(); at += 8) ranges.push_back({bytes.u32(at), bytes.u32(at + 4)});
    return ranges;
}

std::string exthValueText(const ExthRecord& record) {
    if (record.type != 300) return std::string(record.value.begin(), record.value.end());
    const auto ranges = readCharacterRanges(record.value);
    if (!ranges) return std::to_string(record.value.size()) + " bytes, not a list of ranges";
    std::string text;
    for (const CodePointRange& range : *ranges) {
        char bounds[32];
        std::snprintf(bounds, sizeof bounds, "U+%04X-U+%04X", range.first, range.last);
        if (!text.empty()) text += ", ";
        text += bounds;
    }
    return text;
}

bool isNumericExthType(uint32_t type) {
    const TypeName* t = find(type);
    return t && t->numeric;
}

size_t readExth(ByteView record0, size_t offset, std::vector<ExthRecord>& records, std::vector<std::string>& faults) {
    records.clear();
    if (!record0.fits(offset, exthHeaderSize) || record0.sub(offset, 4).toString() != "EXTH") {
        faults.push_back("EXTH flag 0x40 is set but no \"EXTH\" block starts at " + std::to_string(offset));
        return 0;
    }
    uint32_t blockLength = record0.u32(offset + 4);
    uint32_t count = record0.u32(offset + 8);
    if (blockLength < exthHeaderSize || !record0.fits(offset, blockLength)) {
        faults.push_back("EXTH block length " + std::to_string(blockLength) + " does not fit in record 0");
        return 0;
    }
    if (blockLength % 4 != 0)
        faults.push_back("EXTH block length " + std::to_string(blockLength) + " is not a multiple of 4");
    ByteView block = record0.sub(offset, blockLength);
    size_t at = exthHeaderSize;
    for (uint32_t i = 0; i < count; ++i) {
        if (!block.fits(at, exthRecordHeaderSize)) {
            faults.push_back("EXTH record " + std::to_string(i) + " of " + std::to_string(count) +
                             " lies beyond the block end");
            return blockLength;
        }
        uint32_t type = block.u32(at);
        uint32_t length = block.u32(at + 4);
        if (length < exthRecordHeaderSize || !block.fits(at, length)) {
            faults.push_back("EXTH record " + std::to_string(i) + " (type " + std::to_string(type) + ") has length " +
                             std::to_string(length) + ", outside the block");
            return blockLength;
        }
        records.push_back({type, block.sub(at + exthRecordHeaderSize, length - exthRecordHeaderSize).toVector()});
        at += length;
    }
    // The block is the records rounded up to a multiple of 4, the padding being zero bytes.
    size_t expected = (at + 3) / 4 * 4;
    if (expected != blockLength)
        faults.push_back("EXTH block length " + std::to_string(blockLength) + " should be " + std::to_string(expected));
    for (size_t i = at; i < blockLength; ++i)
        if (block.u8(i) != 0) {
            faults.push_back("EXTH padding holds a nonzero byte");
            break;
        }
    return blockLength;
}

}  // namespace kova
