// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include "compress/huffman.h"
#include "compress/huffman_layout.h"

namespace qp {
namespace {

using namespace huffman_layout;

bool hasMagic(std::span<const uint8_t> bytes, const char (&magic)[5]) {
    for (size_t i = 0; i < 4; ++i)
        if (bytes[i] != static_cast<uint8_t>(magic[i])) return false;
    return true;
}

// The 32 bits of the stream from bit `position` on; bits past the end read as zero.
uint32_t window(std::span<const uint8_t> bits, size_t position) {
    uint64_t value = 0;
    const size_t first = position / 8;
    for (size_t i = 0; i < 5; ++i) value = value << 8 | (first + i < bits.size() ? bits[first + i] : 0);
    return static_cast<uint32_t>(value >> (8 - position % 8));
}

}  // namespace

bool HuffmanDecoder::load(std::span<const uint8_t> huff, const std::vector<std::span<const uint8_t>>& cdic) {
    codeTable_.clear();
    entries_.clear();
    bytes_.clear();
    expansions_.clear();
    expanded_.clear();
    if (huff.size() < kHuffRecordSize || !hasMagic(huff, "HUFF")) return false;
    const size_t codeTable = getBigEndian(huff, 8);
    const size_t lengthTable = getBigEndian(huff, 12);
    if (codeTable > huff.size() - 4 * kCodeTableEntries || lengthTable > huff.size() - 256) return false;
    for (size_t i = 0; i < kCodeTableEntries; ++i) codeTable_.push_back(getBigEndian(huff, codeTable + 4 * i));
    smallest_.assign(33, 0);
    entryBase_.assign(33, 0);
    for (uint32_t length = 1; length <= 32; ++length) {
        smallest_[length] = uint64_t{getBigEndian(huff, lengthTable + 8 * (length - 1))} << (32 - length);
        entryBase_[length] = getBigEndian(huff, lengthTable + 8 * (length - 1) + 4);
    }

    uint64_t total = 0;
    uint32_t perRecordBits = 0;
    for (size_t k = 0; k < cdic.size(); ++k) {
        const std::span<const uint8_t> record = cdic[k];
        if (record.size() < kCdicHeaderSize || !hasMagic(record, "CDIC")) return false;
        if (k == 0) {
            total = getBigEndian(record, 8);
            perRecordBits = getBigEndian(record, 12);
            if (perRecordBits > 31) return false;
        }
        const uint64_t perRecord = uint64_t{1} << perRecordBits;
        if (entries_.size() >= total) return false;  // more records than entries
        const uint64_t count = std::min<uint64_t>(perRecord, total - entries_.size());
        if (kCdicHeaderSize + 2 * count > record.size()) return false;
        for (size_t slot = 0; slot < count; ++slot) {
            const size_t at = kCdicHeaderSize + getBigEndian(record, kCdicHeaderSize + 2 * slot, 2);
            if (at + 2 > record.size()) return false;
            const uint32_t lengthWord = getBigEndian(record, at, 2);
            const uint32_t length = lengthWord & kMaxDictionaryEntryLength;
            if (at + 2 + length > record.size()) return false;
            entries_.push_back({static_cast<uint32_t>(bytes_.size()), static_cast<uint16_t>(length),
                                (lengthWord & kLiteralEntryFlag) != 0});
            bytes_.insert(bytes_.end(), record.begin() + at + 2, record.begin() + at + 2 + length);
        }
    }
    if (entries_.size() != total) return false;
    expansions_.assign(entries_.size(), Expansion{});
    for (uint32_t entry = 0; entry < entries_.size(); ++entry)
        if (!expand(entry, 1)) return false;
    return true;
}

bool HuffmanDecoder::decodeRecord(std::span<const uint8_t> record, std::vector<uint8_t>& out) const {
    return !codeTable_.empty() && forEachCode(record, [&](uint32_t entry) {
        const Expansion& expansion = expansions_[entry];
        out.insert(out.end(), expanded_.begin() + expansion.start,
                   expanded_.begin() + expansion.start + expansion.length);
        return true;
    });
}

template <typename Visit>
bool HuffmanDecoder::forEachCode(std::span<const uint8_t> bits, Visit visit) const {
    const size_t bitCount = bits.size() * 8;
    for (size_t position = 0;;) {
        const uint32_t next = window(bits, position);
        const uint32_t tableEntry = codeTable_[next >> 24];
        uint32_t length = tableEntry & 0x1F;
        uint32_t base = tableEntry >> 8;
        if ((tableEntry & 0x80) == 0) {
            while (length < 32 && next < smallest_[length]) ++length;
            if (length == 0 || next < smallest_[length]) return false;
            base = entryBase_[length];
        }
        if (length == 0) return false;
        if (position + length > bitCount) return true;
        const uint32_t entryNumber = base - static_cast<uint32_t>(uint64_t{next} >> (32 - length));
        if (entryNumber >= entries_.size() || !visit(entryNumber)) return false;
        position += length;
    }
}

bool HuffmanDecoder::expand(uint32_t entry, uint32_t nesting) {
    Expansion& expansion = expansions_[entry];
    if (expansion.state == Expansion::State::Done) return true;
    // Entered again before it is done: the entry contains itself. A chain deeper than the limit fails at once.
    if (expansion.state == Expansion::State::Started || nesting > kHuffmanMaxNesting) return false;
    expansion.state = Expansion::State::Started;
    const Entry& raw = entries_[entry];
    const std::span<const uint8_t> bytes(bytes_.data() + raw.start, raw.length);
    std::vector<uint32_t> parts;
    uint32_t height = 0;
    uint64_t length = raw.literal ? raw.length : 0;
    if (!raw.literal && !forEachCode(bytes, [&](uint32_t part) {
            if (!expand(part, nesting + 1)) return false;
            parts.push_back(part);
            height = std::max(height, expansions_[part].height + 1);
            length += expansions_[part].length;
            return length <= kMaxExpansion;
        }))
        return false;
    if (height > kHuffmanMaxNesting) return false;
    Expansion& done = expansions_[entry];
    done = {static_cast<uint32_t>(expanded_.size()), static_cast<uint32_t>(length), height, Expansion::State::Done};
    if (raw.literal) {
        expanded_.insert(expanded_.end(), bytes.begin(), bytes.end());
        return true;
    }
    for (uint32_t part : parts) {
        const Expansion& from = expansions_[part];
        const size_t at = expanded_.size();
        expanded_.resize(at + from.length);
        std::copy_n(expanded_.begin() + from.start, from.length, expanded_.begin() + static_cast<std::ptrdiff_t>(at));
    }
    return true;
}

}  // namespace qp
