// SPDX-License-Identifier: GPL-3.0-or-later
#include "huffman_decoder.h"

#include <algorithm>
#include <tuple>

namespace kova {

namespace {

constexpr size_t huffHeaderLength = 24;
constexpr size_t cdicHeaderLength = 16;
constexpr size_t codeTableBytes = 256 * 4;
constexpr size_t lengthTableBytes = 32 * 8;

std::string decimal(uint64_t value) { return std::to_string(value); }

std::string hex(uint32_t value) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text = "0x";
    bool started = false;
    for (int shift = 28; shift >= 0; shift -= 4) {
        const unsigned digit = value >> shift & 15;
        if (digit != 0 || started || shift == 0) {
            text += digits[digit];
            started = true;
        }
    }
    return text;
}

uint32_t littleEndian32(ByteView bytes, size_t offset) {
    return static_cast<uint32_t>(bytes.u8(offset)) | static_cast<uint32_t>(bytes.u8(offset + 1)) << 8 |
           static_cast<uint32_t>(bytes.u8(offset + 2)) << 16 | static_cast<uint32_t>(bytes.u8(offset + 3)) << 24;
}

bool startsWith(ByteView bytes, const char* magic) { return bytes.fits(0, 4) && bytes.sub(0, 4).toString() == magic; }

// Reads a packed code stream most significant bit first; bits past the end read as zero.
class BitStream {
public:
    explicit BitStream(ByteView bytes) : bytes_(bytes) {}

    size_t bitsLeft() const { return bytes_.size() * 8 - position_; }
    size_t position() const { return position_; }
    void skip(unsigned bits) { position_ += bits; }

    uint32_t peek32() const {
        uint64_t value = 0;
        for (size_t i = 0; i < 5; ++i) value = value << 8 | bytes_.u8(position_ / 8 + i);
        return static_cast<uint32_t>(value >> (8 - position_ % 8));
    }

private:
    ByteView bytes_;
    size_t position_ = 0;
};

}  // namespace

std::optional<std::string> HuffmanDecoder::load(ByteView huff, std::vector<ByteView> cdic) {
    if (!startsWith(huff, "HUFF") || !huff.fits(0, huffHeaderLength)) return "HUFF record: no \"HUFF\" header";
    if (huff.u32(4) != huffHeaderLength) return "HUFF record: header length " + decimal(huff.u32(4)) + ", expected 24";
    const uint32_t codeTable = huff.u32(8);
    const uint32_t lengthTable = huff.u32(12);
    const uint32_t codeTableCopy = huff.u32(16);
    const uint32_t lengthTableCopy = huff.u32(20);
    for (const auto& [offset, bytes, name] : {std::tuple{codeTable, codeTableBytes, "code table"},
                                              std::tuple{lengthTable, lengthTableBytes, "length table"},
                                              std::tuple{codeTableCopy, codeTableBytes, "code table copy"},
                                              std::tuple{lengthTableCopy, lengthTableBytes, "length table copy"}}) {
        if (!huff.fits(offset, bytes))
            return "HUFF record: " + std::string(name) + " at " + decimal(offset) + " runs past the record's " +
                   decimal(huff.size()) + " bytes";
    }
    for (size_t i = 0; i < 256; ++i) {
        codeTable_[i] = huff.u32(codeTable + 4 * i);
        if (littleEndian32(huff, codeTableCopy + 4 * i) != codeTable_[i])
            return "HUFF record: the little-endian code table differs at entry " + decimal(i);
    }
    for (unsigned length = 1; length <= 32; ++length) {
        const size_t at = 8 * (length - 1);
        smallest_[length] = huff.u32(lengthTable + at);
        entryBase_[length] = huff.u32(lengthTable + at + 4);
        if (littleEndian32(huff, lengthTableCopy + at) != smallest_[length] ||
            littleEndian32(huff, lengthTableCopy + at + 4) != entryBase_[length])
            return "HUFF record: the little-endian length table differs for length " + decimal(length);
    }

    if (cdic.empty()) return "no CDIC records";
    for (size_t k = 0; k < cdic.size(); ++k) {
        const ByteView record = cdic[k];
        const std::string name = "CDIC record " + decimal(k);
        if (!startsWith(record, "CDIC") || !record.fits(0, cdicHeaderLength)) return name + ": no \"CDIC\" header";
        if (record.u32(4) != cdicHeaderLength)
            return name + ": header length " + decimal(record.u32(4)) + ", expected 16";
        if (k == 0) {
            entryCount_ = record.u32(8);
            entryBits_ = record.u32(12);
            if (entryBits_ > 16) return name + ": 2^" + decimal(entryBits_) + " entries per record";
        } else if (record.u32(8) != entryCount_ || record.u32(12) != entryBits_) {
            return name + ": announces " + decimal(record.u32(8)) + " entries, 2^" + decimal(record.u32(12)) +
                   " per record; CDIC record 0 announces " + decimal(entryCount_) + ", 2^" + decimal(entryBits_);
        }
    }
    const uint64_t perRecord = uint64_t{1} << entryBits_;
    const uint64_t needed = (uint64_t{entryCount_} + perRecord - 1) / perRecord;
    if (needed != cdic.size())
        return decimal(entryCount_) + " entries of 2^" + decimal(entryBits_) + " per record need " + decimal(needed) +
               " CDIC records, the book has " + decimal(cdic.size());
    for (size_t k = 0; k < cdic.size(); ++k) {
        const uint64_t count = std::min<uint64_t>(perRecord, entryCount_ - k * perRecord);
        if (!cdic[k].fits(cdicHeaderLength, 2 * count))
            return "CDIC record " + decimal(k) + ": the offsets of its " + decimal(count) + " entries run past its end";
    }
    cdic_ = std::move(cdic);
    return std::nullopt;
}

std::optional<std::string> HuffmanDecoder::readEntry(uint32_t entryNumber, Entry& entry) const {
    const uint32_t k = entryNumber >> entryBits_;
    const uint32_t slot = entryNumber & ((1u << entryBits_) - 1);
    const ByteView record = cdic_[k];
    const size_t at = cdicHeaderLength + record.u16(cdicHeaderLength + 2 * slot);
    const std::string name = "entry " + decimal(entryNumber) + " (CDIC record " + decimal(k) + ")";
    if (!record.fits(at, 2)) return name + ": offset " + decimal(at) + " lies outside the record";
    const uint16_t lengthWord = record.u16(at);
    const size_t length = lengthWord & 0x7FFF;
    if (!record.fits(at + 2, length))
        return name + ": " + decimal(length) + " bytes at " + decimal(at + 2) + " run past the record's end";
    entry.bytes = record.sub(at + 2, length);
    entry.literal = (lengthWord & 0x8000) != 0;
    return std::nullopt;
}

std::optional<std::string> HuffmanDecoder::decode(ByteView record, std::vector<uint8_t>& out) const {
    if (cdic_.empty()) return "no Huffman tables loaded";
    return decodeCodes(record, 0, out);
}

std::optional<std::string> HuffmanDecoder::decodeCodes(ByteView bits, unsigned depth, std::vector<uint8_t>& out) const {
    BitStream stream(bits);
    for (;;) {
        const uint32_t window = stream.peek32();
        const uint32_t prefix = window >> 24;
        const uint32_t tableEntry = codeTable_[prefix];
        unsigned length = tableEntry & 0x1F;
        uint32_t base = tableEntry >> 8;
        if (length == 0) return "code table entry " + decimal(prefix) + " gives code length 0";
        if ((tableEntry & 0x80) == 0) {
            // Longer codes are smaller when left-aligned: the first length whose smallest code the window reaches.
            while (length < 32 && window < (uint64_t{smallest_[length]} << (32 - length))) ++length;
            if (window < (uint64_t{smallest_[length]} << (32 - length)))
                return "the bits " + hex(window) + " at bit " + decimal(stream.position()) + " match no code length";
            base = entryBase_[length];
        }
        if (length > stream.bitsLeft()) return std::nullopt;
        const uint32_t code = static_cast<uint32_t>(uint64_t{window} >> (32 - length));
        const int64_t entryNumber = static_cast<int64_t>(base) - code;
        if (entryNumber < 0 || entryNumber >= entryCount_)
            return "code " + hex(code) + " of " + decimal(length) + " bits at bit " + decimal(stream.position()) +
                   " has no entry (" + decimal(entryCount_) + " entries)";
        stream.skip(length);
        Entry entry;
        if (auto fault = readEntry(static_cast<uint32_t>(entryNumber), entry)) return fault;
        if (entry.literal) {
            out.insert(out.end(), entry.bytes.data(), entry.bytes.data() + entry.bytes.size());
            continue;
        }
        if (depth + 1 > maxNesting)
            return "entry " + decimal(entryNumber) + " nests coded entries deeper than " + decimal(maxNesting) +
                   " levels";
        if (auto fault = decodeCodes(entry.bytes, depth + 1, out)) return fault;
    }
}

}  // namespace kova
