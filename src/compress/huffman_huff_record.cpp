// SPDX-License-Identifier: GPL-3.0-or-later
#include "compress/huffman_huff_record.h"

#include "compress/huffman_layout.h"

namespace qp {
namespace {

using namespace huffman_layout;

// The entry for the 8-bit prefix p.
uint32_t codeTableEntry(const CanonicalCode& code, uint32_t p) {
    for (uint32_t length = 1; length <= code.maxLength(); ++length) {
        if (code.count(length) == 0) continue;
        const uint64_t smallest = code.first(length);
        const uint64_t largest = smallest + code.count(length) - 1;
        if (length <= 8) {
            const uint32_t prefix = p >> (8 - length);
            if (prefix >= smallest && prefix <= largest) return length | 0x80 | code.entryBase(length) << 8;
        } else if (p >= smallest >> (length - 8) && p <= largest >> (length - 8)) {
            return length;
        }
    }
    // Only an incomplete code leaves a prefix without codes; the search then ends at the longest length.
    return code.maxLength();
}

}  // namespace

std::vector<uint8_t> huffRecord(const CanonicalCode& code) {
    std::vector<uint8_t> out(kHuffRecordSize, 0);
    out[0] = 'H';
    out[1] = 'U';
    out[2] = 'F';
    out[3] = 'F';
    putBigEndian(out, 4, kHuffHeaderSize);
    putBigEndian(out, 8, kCodeTableOffset);
    putBigEndian(out, 12, kLengthTableOffset);
    putBigEndian(out, 16, kCodeTableCopyOffset);
    putBigEndian(out, 20, kLengthTableCopyOffset);
    for (uint32_t p = 0; p < kCodeTableEntries; ++p) {
        const uint32_t entry = codeTableEntry(code, p);
        putBigEndian(out, kCodeTableOffset + 4 * p, entry);
        putLittleEndian(out, kCodeTableCopyOffset + 4 * p, entry);
    }
    for (uint32_t length = 1; length <= kHuffmanMaxCodeLength; ++length) {
        const size_t at = 8 * (length - 1);
        putBigEndian(out, kLengthTableOffset + at, code.first(length));
        putBigEndian(out, kLengthTableOffset + at + 4, code.entryBase(length));
        putLittleEndian(out, kLengthTableCopyOffset + at, code.first(length));
        putLittleEndian(out, kLengthTableCopyOffset + at + 4, code.entryBase(length));
    }
    return out;
}

}  // namespace qp
