// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decoder of Huffman-dictionary-compressed text records (compression 17480).
//
// The HUFF record holds the code tables: at the offset in header bytes 8-11, 256 four-byte entries indexed by
// the next 8 bits of the code stream; at the offset in bytes 12-15, 32 pairs (smallest code of length L, M(L))
// for L = 1 … 32 (big-endian; little-endian copies follow at the offsets in bytes 16-23). A code-table entry
// with bit 7 set is terminal: its code length in bits 0-4 and M(L) in bits 8-31. Otherwise bits 0-4 give the
// length at which to start: the length grows while the 32-bit window is below smallest(L) << (32 - L). The
// entry number of code c of length L is M(L) - c.
//
// The CDIC records hold the entries: "CDIC", header length, total entry count, b; then 2^b entries per record
// (the last one fewer), each found at 16 + its 2-byte offset, as a 2-byte length (0x8000 set for literal bytes)
// followed by the bytes. A coded entry holds codes of other entries, packed like the text.
//
// Decoding stops when the next code would need more bits than remain. Coded entries nest at most 32 deep.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "byte_view.h"

namespace kova {

class HuffmanDecoder {
public:
    static constexpr unsigned maxNesting = 32;

    // Reads the tables and the entry records; the records must outlive the decoder. Returns the fault when the
    // HUFF or CDIC records are malformed.
    std::optional<std::string> load(ByteView huff, std::vector<ByteView> cdic);

    // Decodes one text record (without its trailing entries) and appends the text to `out`. Returns the fault:
    // a code without an entry, an entry outside its record or nested too deep.
    std::optional<std::string> decode(ByteView record, std::vector<uint8_t>& out) const;

    uint32_t entryCount() const { return entryCount_; }

private:
    struct Entry {
        ByteView bytes;
        bool literal = false;
    };

    std::optional<std::string> readEntry(uint32_t number, Entry& entry) const;
    std::optional<std::string> decodeCodes(ByteView bits, unsigned depth, std::vector<uint8_t>& out) const;

    uint32_t codeTable_[256] = {};
    uint32_t smallest_[33] = {};
    uint32_t entryBase_[33] = {};
    std::vector<ByteView> cdic_;
    uint32_t entryCount_ = 0;
    uint32_t entryBits_ = 0;
};

}  // namespace kova
