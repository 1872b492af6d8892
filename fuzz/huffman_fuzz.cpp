// SPDX-License-Identifier: GPL-3.0-or-later
// Compresses a text with Huffman dictionary compression; the book reader's decoder must give every record back
// exactly, and no record may hold more than the record size. The first byte chooses the text: the input itself,
// the input repeated (long repeats), one repeated byte, or "ab…yz" patterns with a sliding cut built from the
// input; the second byte chooses the record size (64 to 4,096 bytes).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "compress/huffman.h"
#include "huffman_decoder.h"

namespace {

constexpr size_t maxInput = 65536;
constexpr size_t repeatedSize = 12000;

std::vector<uint8_t> repeated(const uint8_t* data, size_t size) {
    std::vector<uint8_t> text;
    while (size > 0 && text.size() < repeatedSize) text.insert(text.end(), data, data + size);
    return text;
}

// Rotations of 26 consecutive byte values from `first` on, each cut at a length taken from the input.
std::vector<uint8_t> slidingPattern(uint8_t first, const uint8_t* data, size_t size) {
    std::vector<uint8_t> text;
    for (size_t k = 0; text.size() < repeatedSize; ++k) {
        const size_t cut = 1 + (size > 0 ? data[k % size] : k) % 26;
        for (size_t i = 0; i < cut; ++i) text.push_back(static_cast<uint8_t>(first + (k + i) % 26));
    }
    return text;
}

std::vector<uint8_t> textFor(const uint8_t* data, size_t size) {
    const uint8_t* rest = data + 2;
    const size_t restSize = size - 2;
    switch (data[0] % 4) {
        case 0: return {rest, rest + restSize};
        case 1: return repeated(rest, restSize);
        case 2: return std::vector<uint8_t>(2600 + (restSize > 0 ? rest[0] : 0) * 64, data[1]);
        default: return slidingPattern(data[1], rest, restSize);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2 || size > maxInput) return -1;
    const std::vector<uint8_t> text = textFor(data, size);
    const uint32_t recordSize = 64u << (data[1] % 7);

    qp::HuffmanProgress progress;
    qp::HuffmanRecords records;
    const qp::HuffmanOutcome outcome = qp::compressHuffman(text, recordSize, 2, records, progress);
    if (outcome == qp::HuffmanOutcome::Declined) return 0;
    if (outcome != qp::HuffmanOutcome::Compressed || records.text.size() != records.textLengths.size()) std::abort();

    std::vector<kova::ByteView> cdic(records.cdic.begin(), records.cdic.end());
    kova::HuffmanDecoder decoder;
    if (decoder.load(kova::ByteView(records.huff), cdic)) std::abort();
    size_t start = 0;
    std::vector<uint8_t> decoded;
    for (size_t i = 0; i < records.text.size(); ++i) {
        const uint32_t length = records.textLengths[i];
        decoded.clear();
        if (length > recordSize || decoder.decode(kova::ByteView(records.text[i]), decoded)) std::abort();
        if (decoded.size() != length || start + length > text.size() ||
            !std::equal(decoded.begin(), decoded.end(), text.begin() + start))
            std::abort();
        start += length;
    }
    if (start != text.size()) std::abort();
    return 0;
}
