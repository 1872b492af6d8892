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
    return entries_.size() == total;
}

bool HuffmanDecoder::decodeRecord(std::span<const uint8_t> record, std::vector<uint8_t>& out) const {
    return !codeTable_.empty() && decodeBits(record, 0, out);
}

bool HuffmanDecoder::decodeBits(std::span<const uint8_t> bits, uint32_t nesting, std::vector<uint8_t>& out) const {
    if (nesting > kHuffmanMaxNesting) return false;
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
        if (entryNumber >= entries_.size()) return false;
        position += length;
        const Entry& entry = entries_[entryNumber];
        const std::span<const uint8_t> bytes(bytes_.data() + entry.start, entry.length);
        if (entry.literal) {
            out.insert(out.end(), bytes.begin(), bytes.end());
        } else if (!decodeBits(bytes, nesting + 1, out)) {
            return false;
        }
    }
}

}  // namespace qp
