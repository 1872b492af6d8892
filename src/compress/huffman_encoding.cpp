// SPDX-License-Identifier: GPL-3.0-or-later
#include "compress/huffman_encoding.h"

#include <algorithm>
#include <numeric>

#include "compress/huffman_bit_writer.h"
#include "compress/huffman_canonical_code.h"
#include "compress/huffman_cdic_records.h"
#include "compress/huffman_code_lengths.h"
#include "compress/huffman_huff_record.h"
#include "compress/huffman_layout.h"
#include "compress/record_threads.h"

namespace qp {
namespace {

struct EntryCodes {
    std::vector<uint32_t> symbols;    // the entries in entry-number order
    std::vector<uint8_t> lengths;     // per entry
    std::vector<uint32_t> code;       // per symbol
    std::vector<uint8_t> codeLength;  // per symbol, 0 for symbols that are no entry
    CanonicalCode canonical;
};

std::vector<uint32_t> entrySymbols(const HuffmanSelection& selection) {
    std::vector<uint32_t> symbols;
    for (uint32_t s = 0; s < selection.form.size(); ++s)
        if (selection.isEntry(s)) symbols.push_back(s);
    return symbols;
}

std::vector<uint8_t> entryLengths(const HuffmanSelection& selection, const std::vector<uint32_t>& symbols) {
    std::vector<uint32_t> uses(symbols.size());
    for (size_t i = 0; i < symbols.size(); ++i)
        uses[i] = static_cast<uint32_t>(std::min<uint64_t>(selection.uses[symbols[i]], UINT32_MAX));
    return huffmanCodeLengths(uses);
}

// Numbers the entries (shorter codes first, then by symbol) and gives every entry its canonical code.
EntryCodes assignCodes(const HuffmanSelection& selection) {
    EntryCodes codes;
    const std::vector<uint32_t> symbols = entrySymbols(selection);
    const std::vector<uint8_t> lengths = entryLengths(selection, symbols);
    std::vector<uint32_t> order(symbols.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return lengths[a] < lengths[b]; });
    for (uint32_t i : order) {
        codes.symbols.push_back(symbols[i]);
        codes.lengths.push_back(lengths[i]);
    }
    codes.canonical.assign(codes.lengths);
    codes.code.assign(selection.form.size(), 0);
    codes.codeLength.assign(selection.form.size(), 0);
    for (uint32_t entry = 0; entry < codes.symbols.size(); ++entry) {
        const uint32_t symbol = codes.symbols[entry];
        codes.codeLength[symbol] = codes.lengths[entry];
        codes.code[symbol] = codes.canonical.code(entry, codes.lengths[entry]);
    }
    return codes;
}

class SymbolWriter {
public:
    SymbolWriter(const HuffmanGrammar& grammar, const HuffmanSelection& selection, const EntryCodes& codes)
        : grammar_(grammar), selection_(selection), codes_(codes) {}

    // The codes of a symbol: its own when it is an entry, else those of its parts.
    void writeCodes(uint32_t symbol, HuffmanBitWriter& bits) const {
        if (codes_.codeLength[symbol] != 0) {
            bits.put(codes_.code[symbol], codes_.codeLength[symbol]);
            return;
        }
        writePartCodes(symbol, bits);
    }

    void writePartCodes(uint32_t rule, HuffmanBitWriter& bits) const {
        selection_.forEachPart(grammar_, rule, [&](uint32_t part) { writeCodes(part, bits); });
    }

    void writeBytes(uint32_t symbol, std::vector<uint8_t>& out) const {
        if (!grammar_.isRule(symbol)) {
            out.push_back(static_cast<uint8_t>(symbol));
            return;
        }
        writeBytes(grammar_.rule(symbol).left, out);
        writeBytes(grammar_.rule(symbol).right, out);
    }

private:
    const HuffmanGrammar& grammar_;
    const HuffmanSelection& selection_;
    const EntryCodes& codes_;
};

DictionaryEntries dictionaryEntries(const HuffmanSelection& selection, const EntryCodes& codes,
                                    const SymbolWriter& writer) {
    DictionaryEntries entries;
    std::vector<uint8_t> bytes;
    for (uint32_t symbol : codes.symbols) {
        bytes.clear();
        const bool literal = selection.form[symbol] == HuffmanEntryForm::Literal;
        if (literal) {
            writer.writeBytes(symbol, bytes);
        } else {
            HuffmanBitWriter bits(bytes);
            writer.writePartCodes(symbol, bits);
            bits.finish();
        }
        entries.add(bytes, literal);
    }
    return entries;
}

}  // namespace

uint32_t longestHuffmanCode(const HuffmanSelection& selection) {
    const std::vector<uint8_t> lengths = entryLengths(selection, entrySymbols(selection));
    return lengths.empty() ? 0 : *std::max_element(lengths.begin(), lengths.end());
}

HuffmanRoundSize measureHuffman(const HuffmanGrammar& grammar, const HuffmanPieces& pieces,
                                const HuffmanSelection& selection, std::span<const uint32_t> sequence,
                                const HuffmanRecordCuts& cuts) {
    HuffmanRoundSize size;
    const EntryCodes codes = assignCodes(selection);
    size.longestCode = codes.canonical.maxLength();
    size.entryCount = static_cast<uint32_t>(codes.symbols.size());
    size.codeBits.assign(selection.form.size(), 0);
    // The bits a symbol is written in: its code, or the bits of its parts (which come before it).
    std::vector<uint64_t> bits(selection.form.size(), 0);
    std::vector<uint64_t> partBits(selection.form.size(), 0);
    pieces.forEachBottomUp([&](uint32_t symbol) {
        if (grammar.isRule(symbol))
            selection.forEachPart(grammar, symbol, [&](uint32_t part) { partBits[symbol] += bits[part]; });
        bits[symbol] = codes.codeLength[symbol] != 0 ? codes.codeLength[symbol] : partBits[symbol];
        size.codeBits[symbol] = codes.codeLength[symbol];
    });
    std::vector<uint32_t> entryLengths;
    for (uint32_t symbol : codes.symbols) {
        const bool literal = selection.form[symbol] == HuffmanEntryForm::Literal;
        entryLengths.push_back(static_cast<uint32_t>(literal ? grammar.length(symbol) : (partBits[symbol] + 7) / 8));
    }
    size.dictionaryBytes = cdicBytes(entryLengths);
    size.compressedBytes = huffman_layout::kHuffRecordSize + size.dictionaryBytes;
    size_t start = 0;
    for (size_t end : cuts.ends) {
        uint64_t recordBits = 0;
        for (size_t i = start; i < end; ++i) recordBits += bits[sequence[i]];
        size.compressedBytes += (recordBits + 7) / 8;
        start = end;
    }
    return size;
}

HuffmanRecords encodeHuffman(const HuffmanGrammar& grammar, const HuffmanSelection& selection,
                             std::span<const uint32_t> sequence, const HuffmanRecordCuts& cuts, unsigned threads) {
    const EntryCodes codes = assignCodes(selection);
    const SymbolWriter writer(grammar, selection, codes);
    HuffmanRecords records;
    records.huff = huffRecord(codes.canonical);
    records.cdic = cdicRecords(dictionaryEntries(selection, codes, writer));
    records.textLengths = cuts.lengths;
    records.text.reserve(cuts.ends.size());
    const auto encodeRecord = [&](size_t r) {
        std::vector<uint8_t> record;
        HuffmanBitWriter bits(record);
        for (size_t i = r == 0 ? 0 : cuts.ends[r - 1]; i < cuts.ends[r]; ++i) writer.writeCodes(sequence[i], bits);
        bits.finish();
        return record;
    };
    // All records are kept in any case, so they are encoded in one batch.
    forEachRecordInOrder(cuts.ends.size(), threads, cuts.ends.size(), encodeRecord,
                         [&](size_t, std::vector<uint8_t>&& record) {
                             records.text.push_back(std::move(record));
                             return true;
                         });
    return records;
}

}  // namespace qp
