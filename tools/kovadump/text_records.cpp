// SPDX-License-Identifier: GPL-3.0-or-later
#include "text_records.h"

#include "huffman_decoder.h"
#include "palmdoc_decoder.h"

namespace kova {

namespace {

bool isContinuation(uint8_t b) { return (b & 0xC0) == 0x80; }

size_t continuationRun(const std::vector<uint8_t>& text, size_t from, size_t limit) {
    size_t n = 0;
    while (n < limit && from + n < text.size() && isContinuation(text[from + n])) ++n;
    return n;
}

std::string recordText(const TextRecord& r) { return "text record " + std::to_string(r.recordIndex); }

// The multibyte entry repeats the continuation bytes that open the next record (k in its low bits)
// and counts those that open its own record (j in its upper four bits).
void checkMultibyte(const std::vector<TextRecord>& records, const std::vector<uint8_t>& text,
                    std::vector<std::string>& faults) {
    for (const TextRecord& r : records) {
        if (!r.trailing.hasMultibyte) continue;
        size_t end = r.textStart + r.decodedLength;
        size_t k = continuationRun(text, end, 3);
        std::vector<uint8_t> expected(text.begin() + end, text.begin() + end + k);
        if (r.trailing.multibyteBytes != expected)
            faults.push_back(recordText(r) + " multibyte entry carries " +
                             std::to_string(r.trailing.multibyteBytes.size()) + " bytes, the text continues with " +
                             std::to_string(k) + " continuation bytes");
        size_t j = continuationRun(text, r.textStart, 15);
        if (r.trailing.leadingContinuationCount() != j)
            faults.push_back(recordText(r) + " multibyte entry counts " +
                             std::to_string(r.trailing.leadingContinuationCount()) +
                             " continuation bytes at the record start, the text has " + std::to_string(j));
    }
}

}  // namespace

void readTextRecords(const std::vector<ByteView>& records, const PalmDocHeader& palmDoc, const KovaHeader& kova,
                     std::vector<TextRecord>& textRecords, std::vector<uint8_t>& text,
                     std::vector<std::string>& faults) {
    textRecords.clear();
    text.clear();
    size_t count = palmDoc.textRecordCount;
    if (count + 1 > records.size()) {
        faults.push_back("record 0 announces " + std::to_string(count) + " text records, the book has only " +
                         std::to_string(records.size() - 1) + " records after record 0");
        count = records.size() - 1;
    }
    HuffmanDecoder huffman;
    bool huffmanLoaded = false;
    if (palmDoc.compression == compressionHuffman) {
        std::vector<ByteView> cdic;
        for (uint32_t i = 1; i < kova.huffmanRecordCount && kova.huffmanRecordOffset + i < records.size(); ++i)
            cdic.push_back(records[kova.huffmanRecordOffset + i]);
        if (kova.huffmanRecordCount == 0 || kova.huffmanRecordOffset >= records.size()) {
            faults.push_back("a Huffman book without HUFF record (record 0 names record " +
                             std::to_string(kova.huffmanRecordOffset) + ", " + std::to_string(kova.huffmanRecordCount) +
                             " records)");
        } else if (auto fault = huffman.load(records[kova.huffmanRecordOffset], cdic)) {
            faults.push_back("Huffman records: " + *fault);
        } else {
            huffmanLoaded = true;
        }
    }
    bool allDecoded =
        palmDoc.compression == compressionNone || palmDoc.compression == compressionPalmDoc || huffmanLoaded;
    for (size_t i = 1; i <= count; ++i) {
        ByteView stored = records[i];
        TextRecord r;
        r.recordIndex = i;
        r.storedLength = stored.size();
        r.textStart = text.size();
        if (auto fault = readTrailingEntries(stored, kova.extraRecordDataFlags, r.trailing)) {
            faults.push_back(recordText(r) + ": " + *fault);
            allDecoded = false;
            textRecords.push_back(std::move(r));
            continue;
        }
        if (r.trailing.hasIndex && !r.trailing.indexDecoded)
            faults.push_back(recordText(r) + ": its trailing index entry does not decode");
        r.compressedLength = stored.size() - r.trailing.size;
        ByteView body = stored.sub(0, r.compressedLength);
        if (palmDoc.compression == compressionNone) {
            text.insert(text.end(), body.data(), body.data() + body.size());
            r.decoded = true;
        } else if (palmDoc.compression == compressionPalmDoc) {
            if (auto decoded = palmdocDecode(body.data(), body.size())) {
                text.insert(text.end(), decoded->begin(), decoded->end());
                r.decoded = true;
            } else {
                faults.push_back(recordText(r) + ": malformed PalmDOC data");
                allDecoded = false;
            }
        } else if (huffmanLoaded) {
            if (auto fault = huffman.decode(body, text)) {
                faults.push_back(recordText(r) + ": " + *fault);
                allDecoded = false;
            } else {
                r.decoded = true;
            }
        }
        r.decodedLength = text.size() - r.textStart;
        // Text is cut at fixed offsets: every record but the last holds exactly the record size. Huffman records
        // end where the compressor chose, within the record size.
        if (r.decoded && palmDoc.recordSize != 0) {
            const bool last = i == count;
            const bool fixed = palmDoc.compression != compressionHuffman;
            if (r.decodedLength > palmDoc.recordSize || (fixed && !last && r.decodedLength != palmDoc.recordSize) ||
                r.decodedLength == 0)
                faults.push_back(recordText(r) + " decodes to " + std::to_string(r.decodedLength) +
                                 " bytes; the record size is " + std::to_string(palmDoc.recordSize));
        }
        textRecords.push_back(std::move(r));
    }
    if (allDecoded) {
        if (text.size() != palmDoc.textLength)
            faults.push_back("text length mismatch: record 0 says " + std::to_string(palmDoc.textLength) +
                             " bytes, the text records decode to " + std::to_string(text.size()));
        checkMultibyte(textRecords, text, faults);
    }
}

}  // namespace kova
