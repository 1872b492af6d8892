// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Huffman dictionary compression: the whole book text is described by a dictionary of frequent strings
// (CDIC records) and every text record by canonical Huffman codes of dictionary entries (the HUFF record
// holds the code tables). A dictionary entry is either literal bytes or itself a coded string of other
// entries. Every text record decodes on its own.
#include <cstdint>
#include <span>
#include <vector>

namespace qp {

// Decoders follow at most this many coded entries inside one another; the compressor never builds deeper ones.
constexpr uint32_t kHuffmanMaxNesting = 32;

struct HuffmanRecords {
    std::vector<uint8_t> huff;               // the HUFF record
    std::vector<std::vector<uint8_t>> cdic;  // the CDIC records, each already cut to its used length rounded up to 4
    std::vector<std::vector<uint8_t>> text;  // one coded record per text record (no trailing entries)
    std::vector<uint32_t> textLengths;       // uncompressed length of each text record
};

// Declined: the longest code would be shorter than 8 bits, or the text is no longer than the HUFF record alone
// (small texts; PalmDOC serves them instead). Code lengths are limited to 32 bits and entries to
// kHuffmanMaxNesting levels while they are built, so neither limit can fail a compression.
enum class HuffmanOutcome { Compressed, Declined, Canceled, OutOfMemory };

// Progress of a compression, for the console; all default to doing nothing.
class HuffmanProgress {
public:
    virtual ~HuffmanProgress() = default;
    // Called at the start of every dictionary pass.
    virtual void compilingPass([[maybe_unused]] uint32_t pass) {}
    // 1: dictionary passes, 2: code lengths, 3, 4, ...: encoding rounds
    virtual void compressionPass([[maybe_unused]] uint32_t pass) {}
    // After each encoding round: the bytes of the text records, HUFF and CDIC records together, the length of the
    // text, the bytes of the CDIC records and the number of dictionary entries.
    virtual void roundResult([[maybe_unused]] uint64_t compressedBytes, [[maybe_unused]] uint64_t textBytes,
                             [[maybe_unused]] uint64_t dictionaryBytes, [[maybe_unused]] uint32_t entryCount) {}
    virtual bool cancelRequested() { return false; }
};

// Dictionary passes P for a text of n bytes, k = n / 1024: k <= 2048: (90k + 20480) / 1024, else 100 (k + 36864) /
// 19456 (integer division). The compressor runs at most P rounds of pair replacement.
uint32_t huffmanPassCount(uint64_t textLength);

// Compresses the text into records of at most recordSize (at least 1) uncompressed bytes each, encoding the
// records on up to `threads` threads; the records are the same for any number. Progress is reported on the
// calling thread only. `out` is filled only when the outcome is Compressed.
HuffmanOutcome compressHuffman(std::span<const uint8_t> text, uint32_t recordSize, unsigned threads,
                               HuffmanRecords& out, HuffmanProgress& progress);

// Decodes coded text records with the HUFF and CDIC records (used by the writer to verify a book before it is
// saved). The decoder keeps its own copy of the tables and of every entry decoded to its bytes, so that a
// record decodes by looking up its codes; decodeRecord may run on several threads at once.
class HuffmanDecoder {
public:
    // False when the records are malformed: bad headers, entries outside their record, or an entry that does
    // not decode (a code without an entry, an entry that contains itself or nests deeper than
    // kHuffmanMaxNesting, or that stands for more than kMaxExpansion bytes).
    bool load(std::span<const uint8_t> huff, const std::vector<std::span<const uint8_t>>& cdic);
    // Appends the decoded bytes of one text record to `out`; false when a code has no entry.
    bool decodeRecord(std::span<const uint8_t> record, std::vector<uint8_t>& out) const;

    static constexpr uint64_t kMaxExpansion = uint64_t{1} << 20;

private:
    struct Entry {
        uint32_t start = 0;  // in bytes_
        uint16_t length = 0;
        bool literal = false;
    };
    struct Expansion {
        enum class State : uint8_t { Pending, Started, Done };
        uint32_t start = 0;  // in expanded_
        uint32_t length = 0;
        uint32_t height = 0;  // coded entries nested in one another, this one included
        State state = State::Pending;
    };

    // Calls visit(entry number) for every code of a bit string; false when a code has no entry or visit
    // answers false.
    template <typename Visit>
    bool forEachCode(std::span<const uint8_t> bits, Visit visit) const;
    bool expand(uint32_t entry, uint32_t nesting);

    std::vector<uint32_t> codeTable_;  // 256 entries
    std::vector<uint64_t> smallest_;   // per length 0 … 32: smallest code, left-aligned to 32 bits
    std::vector<uint32_t> entryBase_;  // per length: the value from which the entry number is computed
    std::vector<uint8_t> bytes_;       // all entry bytes as stored
    std::vector<Entry> entries_;
    std::vector<Expansion> expansions_;  // per entry
    std::vector<uint8_t> expanded_;      // every entry's decoded bytes
};

}  // namespace qp
