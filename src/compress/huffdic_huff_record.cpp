#include "compress/huffdic_huff_record.h"

#include <array>

namespace qp {
namespace {

constexpr size_t codeTableOffset = 24;
constexpr size_t lengthTableOffset = 1048;
constexpr size_t codeTableCopyOffset = 1304;
constexpr size_t lengthTableCopyOffset = 2328;

void putBigEndian(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

void putLittleEndian(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

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
    putBigEndian(out, 4, 24);
    putBigEndian(out, 8, codeTableOffset);
    putBigEndian(out, 12, lengthTableOffset);
    putBigEndian(out, 16, codeTableCopyOffset);
    putBigEndian(out, 20, lengthTableCopyOffset);
    for (uint32_t p = 0; p < 256; ++p) {
        const uint32_t entry = codeTableEntry(code, p);
        putBigEndian(out, codeTableOffset + 4 * p, entry);
        putLittleEndian(out, codeTableCopyOffset + 4 * p, entry);
    }
    for (uint32_t length = 1; length <= kHuffdicMaxCodeLength; ++length) {
        const size_t at = 8 * (length - 1);
        putBigEndian(out, lengthTableOffset + at, code.first(length));
        putBigEndian(out, lengthTableOffset + at + 4, code.entryBase(length));
        putLittleEndian(out, lengthTableCopyOffset + at, code.first(length));
        putLittleEndian(out, lengthTableCopyOffset + at + 4, code.entryBase(length));
    }
    return out;
}

}  // namespace qp
