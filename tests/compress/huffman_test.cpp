// SPDX-License-Identifier: GPL-3.0-or-later
// Huffman dictionary compression of whole texts: the pass count, when it declines, and round trips through the
// compressor's own decoder and the book reader's independent one.
#include "compress/huffman.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "huffman_decoder.h"
#include "sample_prose.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct PassCase {
    uint64_t textLength;
    uint32_t passes;
};

class HuffmanPassCount : public testing::TestWithParam<PassCase> {};

TEST_P(HuffmanPassCount, GrowsWithTheTextInKiB) {
    EXPECT_EQ(qp::huffmanPassCount(GetParam().textLength), GetParam().passes);
}

INSTANTIATE_TEST_SUITE_P(Lengths, HuffmanPassCount,
                         testing::Values(PassCase{0, 20}, PassCase{1023, 20}, PassCase{1024, 20},
                                         PassCase{2 << 20, 200},           // k = 2048: 204800 / 1024
                                         PassCase{(2 << 20) + 1024, 200},  // k = 2049: 3891300 / 19456
                                         PassCase{10 << 20, 242}));        // k = 10240: 4710400 / 19456

class Progress : public qp::HuffmanProgress {
public:
    void compilingPass(uint32_t pass) override { compiling.push_back(pass); }
    void compressionPass(uint32_t pass) override { compression.push_back(pass); }
    bool cancelRequested() override { return cancel; }
    void roundResult(uint64_t compressedBytes, uint64_t, uint64_t, uint32_t) override {
        roundBytes.push_back(compressedBytes);
    }

    std::vector<uint32_t> compiling;
    std::vector<uint32_t> compression;
    std::vector<uint64_t> roundBytes;  // measured before any record is written
    bool cancel = false;
};

qp::HuffmanOutcome compress(const Bytes& text, uint32_t recordSize, qp::HuffmanRecords& records,
                            qp::HuffmanProgress& progress) {
    return qp::compressHuffman(text, recordSize, 2, records, progress);
}

Bytes bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

// The sample's sentences in a seeded random order: prose with repeats at every distance.
Bytes shuffledProse(size_t size) {
    std::vector<std::string_view> sentences;
    std::string_view rest = palmdocsample::prose;
    for (size_t end; (end = rest.find(". ")) != std::string_view::npos; rest.remove_prefix(end + 2))
        sentences.push_back(rest.substr(0, end + 2));
    std::mt19937 engine(7);
    Bytes text;
    while (text.size() < size) {
        const std::string_view sentence = sentences[engine() % sentences.size()];
        text.insert(text.end(), sentence.begin(), sentence.end());
    }
    text.resize(size);
    return text;
}

Bytes utf8Words(size_t size) {
    static const char* const words[] = {"été",    "naïve", "Straße",  "größer", "mañana", "über", "ça",  "déjà",
                                        "日本語", "текст", "κείμενο", "😀",      "the",    "and",  "<p>", "</p>"};
    std::mt19937 engine(11);
    std::string text;
    while (text.size() < size) {
        text += words[engine() % std::size(words)];
        text += engine() % 9 == 0 ? ".\n" : " ";
    }
    return bytesOf(text);
}

// Rotations of the alphabet cut at a sliding length: "ab…yz" patterns with a sliding cut.
Bytes slidingAlphabet(size_t size) {
    const std::string alphabet = "abcdefghijklmnopqrstuvwxyz";
    Bytes text;
    for (size_t k = 0; text.size() < size; ++k) {
        const std::string rotated = alphabet.substr(k % 26) + alphabet.substr(0, k % 26);
        text.insert(text.end(), rotated.begin(), rotated.begin() + 1 + (k * 7) % 26);
    }
    return text;
}

Bytes randomBytes(size_t size) {
    std::mt19937 engine(3);
    Bytes text(size);
    for (uint8_t& b : text) b = static_cast<uint8_t>(engine());
    return text;
}

TEST(Huffman, DeclinesAFewHundredBytesOfProse) {
    qp::HuffmanRecords records;
    Progress progress;
    EXPECT_EQ(compress(bytesOf(palmdocsample::prose.substr(0, 400)), 4096, records, progress),
              qp::HuffmanOutcome::Declined);
    EXPECT_TRUE(records.text.empty());
}

TEST(Huffman, DeclinesOneRepeatedByteWhoseCodesStayShort) {
    qp::HuffmanRecords records;
    Progress progress;
    EXPECT_EQ(compress(Bytes(200000, 'a'), 4096, records, progress), qp::HuffmanOutcome::Declined);
}

TEST(Huffman, CancelRequestEndsTheCompression) {
    qp::HuffmanRecords records;
    Progress progress;
    progress.cancel = true;
    EXPECT_EQ(compress(shuffledProse(20000), 4096, records, progress), qp::HuffmanOutcome::Canceled);
}

TEST(Huffman, ReportsEveryCompilingPassThenTheCompressionPasses) {
    qp::HuffmanRecords records;
    Progress progress;
    ASSERT_EQ(compress(shuffledProse(50000), 4096, records, progress), qp::HuffmanOutcome::Compressed);
    ASSERT_FALSE(progress.compiling.empty());
    for (uint32_t i = 0; i < progress.compiling.size(); ++i) EXPECT_EQ(progress.compiling[i], i + 1);
    ASSERT_GE(progress.compression.size(), 3u);
    for (uint32_t i = 0; i < progress.compression.size(); ++i) EXPECT_EQ(progress.compression[i], i + 1);
}

struct RoundTripCase {
    const char* name;
    Bytes text;
    uint32_t recordSize;
};

class HuffmanRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(HuffmanRoundTrip, BothDecodersGiveBackTheTextRecordByRecord) {
    const RoundTripCase& c = GetParam();
    qp::HuffmanRecords records;
    Progress progress;
    ASSERT_EQ(compress(c.text, c.recordSize, records, progress), qp::HuffmanOutcome::Compressed);
    ASSERT_EQ(records.text.size(), records.textLengths.size());
    EXPECT_EQ(records.huff.size(), 2584u);
    for (const Bytes& record : records.cdic) EXPECT_EQ(record.size() % 4, 0u);
    // The records written are those of the smallest round, exactly as measured.
    uint64_t written = records.huff.size();
    for (const auto* group : {&records.cdic, &records.text})
        for (const Bytes& record : *group) written += record.size();
    ASSERT_FALSE(progress.roundBytes.empty());
    EXPECT_EQ(written, *std::min_element(progress.roundBytes.begin(), progress.roundBytes.end()));

    qp::HuffmanDecoder ours;
    ASSERT_TRUE(ours.load(records.huff, {records.cdic.begin(), records.cdic.end()}));
    kova::HuffmanDecoder reader;
    std::vector<kova::ByteView> cdic(records.cdic.begin(), records.cdic.end());
    const auto loadFault = reader.load(kova::ByteView(records.huff), cdic);
    ASSERT_FALSE(loadFault) << *loadFault;

    size_t start = 0;
    for (size_t i = 0; i < records.text.size(); ++i) {
        const uint32_t length = records.textLengths[i];
        ASSERT_LE(length, c.recordSize) << "record " << i;
        ASSERT_LE(start + length, c.text.size()) << "record " << i;
        const Bytes expected(c.text.begin() + start, c.text.begin() + start + length);
        Bytes decoded;
        ASSERT_TRUE(ours.decodeRecord(records.text[i], decoded)) << "record " << i;
        ASSERT_EQ(decoded, expected) << "record " << i;
        decoded.clear();
        const auto fault = reader.decode(kova::ByteView(records.text[i]), decoded);
        ASSERT_FALSE(fault) << "record " << i << ": " << *fault;
        ASSERT_EQ(decoded, expected) << "record " << i;
        start += length;
    }
    EXPECT_EQ(start, c.text.size());
}

INSTANTIATE_TEST_SUITE_P(Texts, HuffmanRoundTrip,
                         testing::Values(RoundTripCase{"Prose", shuffledProse(300000), 4096},
                                         RoundTripCase{"ProseSmallRecords", shuffledProse(40000), 256},
                                         RoundTripCase{"Utf8", utf8Words(100000), 4096},
                                         RoundTripCase{"SlidingAlphabet", slidingAlphabet(200000), 4096},
                                         RoundTripCase{"RandomBytes", randomBytes(100000), 4096}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
