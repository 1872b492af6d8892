// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/record_zero.h"

#include <algorithm>
#include <bit>
#include <string>

#include "container/exth.h"
#include "core/ascii_text.h"
#include "core/big_endian.h"

namespace qp {

namespace {

bool absent(uint32_t index) { return index == kNoIndex; }

// The classic 15-bit linear congruential generator.
class Random15 {
public:
    explicit Random15(uint32_t seed) : state_(seed) {}
    uint32_t next() {
        state_ = state_ * 214013u + 2531011u;
        return state_ >> 16 & 0x7FFF;
    }

private:
    uint32_t state_;
};

}  // namespace

void IndexRecords::makeAbsolute(uint32_t firstNonBookRecord) {
    auto shift = [&](uint32_t& index) {
        if (!absent(index)) index += firstNonBookRecord;
    };
    shift(orthographic);
    shift(inflection);
    shift(names);
    shift(keys);
    for (uint32_t& index : extra) shift(index);
    shift(further164);
    shift(further232);
    shift(ncx);
}

std::array<uint8_t, kPalmDocHeaderSize> encodePalmDocHeader(const PalmDocHeader& header) {
    std::array<uint8_t, kPalmDocHeaderSize> bytes{};
    putBigEndian16(&bytes[0], static_cast<uint16_t>(header.compression));
    putBigEndian32(&bytes[4], header.textLength);
    putBigEndian16(&bytes[8], header.textRecordCount);
    putBigEndian16(&bytes[10], header.recordSize);
    return bytes;
}

std::array<uint8_t, kKovaHeaderSize> encodeKovaHeader(const KovaHeader& h) {
    std::array<uint8_t, kKovaHeaderSize> bytes{};
    // Offsets below are those of record 0; the KOVA header itself starts at 16.
    auto put = [&](size_t recordOffset, uint32_t value) { putBigEndian32(&bytes[recordOffset - 16], value); };
    std::copy_n("KOVA", 4, bytes.begin());
    put(20, kKovaHeaderSize);
    put(24, h.bookType);
    put(28, h.textEncoding);
    put(32, h.uniqueId);
    put(36, h.version);
    put(40, h.indexes.orthographic);
    put(44, h.indexes.inflection);
    put(48, h.indexes.names);
    put(52, h.indexes.keys);
    for (size_t i = 0; i < h.indexes.extra.size(); ++i) put(56 + 4 * i, h.indexes.extra[i]);
    put(80, h.firstNonBookRecord);
    put(84, h.fullNameOffset);
    put(88, h.fullNameLength);
    put(92, h.locale);
    put(96, h.inputLanguage);
    put(100, h.outputLanguage);
    put(104, h.version);
    put(108, h.firstImageRecord);
    put(112, h.huffmanRecordOffset);
    put(116, h.huffmanRecordCount);
    put(120, h.datpRecordOffset);
    put(124, h.datpRecordCount);
    put(128, h.exthFlags);
    put(164, h.indexes.further164);
    put(168, kNoIndex);
    put(192, h.fdstRecord);
    put(196, h.fdstSectionCount);
    put(200, h.fcisRecord);
    put(204, h.fcisCount);
    put(208, h.flisRecord);
    put(212, h.flisCount);
    put(224, h.firstMergedRecord);
    put(228, h.mergedRecordCount);
    put(232, h.indexes.further232);
    put(236, kNoIndex);
    put(240, h.extraRecordDataFlags);
    put(244, h.indexes.ncx);
    return bytes;
}

uint32_t fileFormatVersion(const KovaHeader& header, VersionRequests requests, bool minimize) {
    const IndexRecords& ix = header.indexes;
    if (!minimize) return 7;
    bool noVersion7Index = absent(ix.orthographic) && absent(ix.further164) && absent(ix.extra[3]) &&
                           absent(ix.extra[4]) && absent(ix.further232);
    if (requests.version7 && !noVersion7Index) return 7;
    if (!absent(ix.ncx) || header.extraRecordDataFlags > 1) return 6;
    if (header.textEncoding == 65001 || requests.version5 || !absent(ix.further232)) return 5;
    return 4;
}

uint32_t uniqueIdFromTicks(uint32_t m) {
    uint32_t v = m ^ std::rotl(m ^ 1u, 3);
    uint32_t x = v ^ std::rotl(v ^ 1u, 5);
    Random15 random(x ^ std::rotl(x ^ 1u, 7) ^ 1u);
    uint32_t r1 = random.next();
    uint32_t r2 = random.next();
    uint32_t r3 = random.next();
    return r1 << 15 | r3 << 30 | r2;
}

std::vector<uint8_t> buildRecordZero(const PalmDocHeader& palmDoc, KovaHeader& kova, std::span<const uint8_t> exthBlock,
                                     std::span<const uint8_t> fullName) {
    // Room for the whole record at once: the headers, the EXTH block, the name, its padding (at most 5) and
    // the trailer.
    std::vector<uint8_t> record;
    record.reserve(kPalmDocHeaderSize + kKovaHeaderSize + exthBlock.size() + fullName.size() + 5 +
                   kRecordZeroTrailerSize);
    record.resize(kPalmDocHeaderSize + kKovaHeaderSize);
    kova.exthFlags |= exth_flag::kAlways;
    if (!exthBlock.empty()) {
        kova.exthFlags |= exth_flag::kBlockPresent;
        record.insert(record.end(), exthBlock.begin(), exthBlock.end());
    }
    kova.fullNameOffset = static_cast<uint32_t>(record.size());
    kova.fullNameLength = static_cast<uint32_t>(fullName.size());
    record.insert(record.end(), fullName.begin(), fullName.end());
    size_t namePadding = 2 + (4 - (fullName.size() + 2) % 4) % 4;
    record.resize(record.size() + namePadding + kRecordZeroTrailerSize);

    auto palmDocBytes = encodePalmDocHeader(palmDoc);
    auto kovaBytes = encodeKovaHeader(kova);
    std::copy(palmDocBytes.begin(), palmDocBytes.end(), record.begin());
    std::copy(kovaBytes.begin(), kovaBytes.end(), record.begin() + kPalmDocHeaderSize);
    return record;
}

}  // namespace qp
