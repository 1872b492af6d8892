// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/record_zero.h"

#include <gtest/gtest.h>

#include <string>

using Bytes = std::vector<uint8_t>;
using qp::kNoIndex;

namespace {

// Big-endian 32-bit value at an offset of record 0 (the KOVA header bytes start at 16).
uint32_t fieldAt(const uint8_t* header, size_t recordOffset) {
    const uint8_t* p = header + recordOffset - 16;
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

qp::KovaHeader plainHeader() {
    qp::KovaHeader header;
    header.textEncoding = 1252;
    return header;
}

}  // namespace

TEST(PalmDocHeader, FieldsAtTheirOffsets) {
    qp::PalmDocHeader header{qp::Compression::PalmDoc, 0x00012345, 3, 4096};
    auto bytes = qp::encodePalmDocHeader(header);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()),
              (Bytes{0x00, 0x02, 0, 0, 0x00, 0x01, 0x23, 0x45, 0x00, 0x03, 0x10, 0x00, 0, 0, 0, 0}));
    header.compression = qp::Compression::Huffman;
    EXPECT_EQ(qp::encodePalmDocHeader(header)[0], 0x44);
    EXPECT_EQ(qp::encodePalmDocHeader(header)[1], 0x48);
}

TEST(KovaHeader, FieldsAtTheirOffsets) {
    qp::KovaHeader h;
    h.bookType = 517;
    h.textEncoding = 65001;
    h.uniqueId = 0xA1B2C3D4;
    h.version = 6;
    h.indexes.orthographic = 11;
    h.indexes.inflection = 12;
    h.indexes.names = 13;
    h.indexes.keys = 14;
    h.indexes.extra = {21, 22, 23, 24, 25, 26};
    h.indexes.further164 = 31;
    h.indexes.further232 = 32;
    h.indexes.ncx = 33;
    h.firstNonBookRecord = 40;
    h.fullNameOffset = 300;
    h.fullNameLength = 5;
    h.locale = 0x0409;
    h.inputLanguage = 0x0407;
    h.outputLanguage = 0x040C;
    h.firstImageRecord = 50;
    h.huffmanRecordOffset = 51;
    h.huffmanRecordCount = 52;
    h.datpRecordOffset = 53;
    h.datpRecordCount = 54;
    h.exthFlags = 0x50;
    h.fdstRecord = 60;
    h.fdstSectionCount = 61;
    h.fcisRecord = 62;
    h.fcisCount = 63;
    h.flisRecord = 64;
    h.flisCount = 65;
    h.firstMergedRecord = 70;
    h.mergedRecordCount = 71;
    h.extraRecordDataFlags = 5;
    auto bytes = qp::encodeKovaHeader(h);
    const uint8_t* p = bytes.data();

    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "KOVA");
    EXPECT_EQ(Bytes(bytes.begin() + 4, bytes.begin() + 8), (Bytes{0, 0, 0, 0xE8}));  // 232
    EXPECT_EQ(Bytes(bytes.begin() + 16, bytes.begin() + 20), (Bytes{0xA1, 0xB2, 0xC3, 0xD4}));
    const std::pair<size_t, uint32_t> expected[] = {
        {24, 517},    {28, 65001},  {36, 6},       {40, 11},        {44, 12},        {48, 13},  {52, 14},  {56, 21},
        {60, 22},     {64, 23},     {68, 24},      {72, 25},        {76, 26},        {80, 40},  {84, 300}, {88, 5},
        {92, 0x0409}, {96, 0x0407}, {100, 0x040C}, {104, 6},        {108, 50},       {112, 51}, {116, 52}, {120, 53},
        {124, 54},    {128, 0x50},  {164, 31},     {168, kNoIndex}, {172, 0},        {176, 0},  {180, 0},  {184, 0},
        {188, 0},     {192, 60},    {196, 61},     {200, 62},       {204, 63},       {208, 64}, {212, 65}, {216, 0},
        {220, 0},     {224, 70},    {228, 71},     {232, 32},       {236, kNoIndex}, {240, 5},  {244, 33}};
    for (const auto& [offset, value] : expected) EXPECT_EQ(fieldAt(p, offset), value) << "offset " << offset;
    for (size_t offset = 132; offset < 164; offset += 4) EXPECT_EQ(fieldAt(p, offset), 0u) << "offset " << offset;
}

TEST(KovaHeader, AbsentIndexesStayAbsentWhenMadeAbsolute) {
    qp::IndexRecords indexes;
    indexes.orthographic = 0;
    indexes.ncx = 4;
    indexes.makeAbsolute(10);
    EXPECT_EQ(indexes.orthographic, 10u);
    EXPECT_EQ(indexes.ncx, 14u);
    EXPECT_EQ(indexes.inflection, kNoIndex);
    EXPECT_EQ(indexes.extra[5], kNoIndex);
    EXPECT_EQ(indexes.further232, kNoIndex);
}

TEST(FileFormatVersion, WithoutMinimizingItIsSeven) { EXPECT_EQ(qp::fileFormatVersion(plainHeader(), {}, false), 7u); }

TEST(FileFormatVersion, PlainBookGoesDownToFour) { EXPECT_EQ(qp::fileFormatVersion(plainHeader(), {}, true), 4u); }

TEST(FileFormatVersion, Utf8BookStopsAtFive) {
    qp::KovaHeader header = plainHeader();
    header.textEncoding = 65001;
    header.extraRecordDataFlags = 1;
    EXPECT_EQ(qp::fileFormatVersion(header, {}, true), 5u);
}

TEST(FileFormatVersion, EachStepHasItsCondition) {
    qp::KovaHeader header = plainHeader();
    EXPECT_EQ(qp::fileFormatVersion(header, {false, true}, true), 5u);
    header.extraRecordDataFlags = 4;
    EXPECT_EQ(qp::fileFormatVersion(header, {}, true), 6u);
    header.extraRecordDataFlags = 0;
    header.indexes.ncx = 3;
    EXPECT_EQ(qp::fileFormatVersion(header, {}, true), 6u);
    // Version 7 needs both the request and one of its indexes.
    header.indexes.orthographic = 1;
    EXPECT_EQ(qp::fileFormatVersion(header, {}, true), 6u);
    EXPECT_EQ(qp::fileFormatVersion(header, {true, false}, true), 7u);
    header.indexes.orthographic = kNoIndex;
    EXPECT_EQ(qp::fileFormatVersion(header, {true, false}, true), 6u);
    // The further index at 232 alone keeps version 5.
    qp::KovaHeader further = plainHeader();
    further.indexes.further232 = 2;
    EXPECT_EQ(qp::fileFormatVersion(further, {}, true), 5u);
}

TEST(UniqueId, DrawnFromTheTickSeededGenerator) {
    // Tick 0: seed 0x95A9; draws 26848, 15957, 26023 -> 26848 << 15 | 26023 << 30 | 15957 (mod 2^32).
    EXPECT_EQ(qp::uniqueIdFromTicks(0), 4100996693u);
    EXPECT_EQ(qp::uniqueIdFromTicks(123456), 3100071736u);
}

TEST(RecordZero, FiveByteNameWithoutExth) {
    qp::PalmDocHeader palmDoc;
    qp::KovaHeader kova = plainHeader();
    Bytes name = {'H', 'e', 'l', 'l', 'o'};
    Bytes record = qp::buildRecordZero(palmDoc, kova, {}, name);
    // 248 header bytes, 5 name bytes, 3 zero bytes (2 + 1), 2,048 zero bytes.
    ASSERT_EQ(record.size(), 248u + 5 + 3 + 2048);
    EXPECT_EQ(Bytes(record.begin() + 248, record.begin() + 253), name);
    for (size_t i = 253; i < record.size(); ++i) ASSERT_EQ(record[i], 0) << "byte " << i;
    EXPECT_EQ(fieldAt(record.data() + 16, 84), 248u);
    EXPECT_EQ(fieldAt(record.data() + 16, 88), 5u);
    EXPECT_EQ(fieldAt(record.data() + 16, 128), 0x10u);  // no block: only the 0x10 flag
}

TEST(RecordZero, ExthBlockBeforeTheNameAndItsFlag) {
    qp::PalmDocHeader palmDoc;
    qp::KovaHeader kova = plainHeader();
    kova.exthFlags = 0x1;
    Bytes block = {'E', 'X', 'T', 'H', 0, 0, 0, 12, 0, 0, 0, 0};
    Bytes name = {'A', 'B'};
    Bytes record = qp::buildRecordZero(palmDoc, kova, block, name);
    // 248 + 12, name of 2 bytes with 2 zero bytes, 2,048 zeros.
    ASSERT_EQ(record.size(), 248u + 12 + 4 + 2048);
    EXPECT_EQ(Bytes(record.begin() + 248, record.begin() + 260), block);
    EXPECT_EQ(fieldAt(record.data() + 16, 84), 260u);
    EXPECT_EQ(fieldAt(record.data() + 16, 88), 2u);
    EXPECT_EQ(fieldAt(record.data() + 16, 128), 0x51u);
}

TEST(RecordZero, NameOfTwoBytesShortOfFourGetsTwoZeros) {
    qp::PalmDocHeader palmDoc;
    qp::KovaHeader kova = plainHeader();
    EXPECT_EQ(qp::buildRecordZero(palmDoc, kova, {}, Bytes(6, 'x')).size(), 248u + 6 + 2 + 2048);
    EXPECT_EQ(qp::buildRecordZero(palmDoc, kova, {}, Bytes(4, 'x')).size(), 248u + 4 + 4 + 2048);
    EXPECT_EQ(qp::buildRecordZero(palmDoc, kova, {}, {}).size(), 248u + 4 + 2048);
}
