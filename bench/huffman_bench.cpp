// SPDX-License-Identifier: GPL-3.0-or-later
// Huffman dictionary compression of a generated book text (prose in four languages with markup, see
// book_text_generator.h) of 2 MB and of 20 MB, compressed with 4,096-byte records. Counters: the bytes of the
// text, HUFF and CDIC records together and, for comparison, of the same text in PalmDOC records.
// `--write-corpus=FILE --corpus-mb=N` writes the N MB text to FILE and exits, so that other compressors can be
// run on identical bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <span>
#include <string>
#include <string_view>

#include "book_text_generator.h"
#include "compress/huffman.h"
#include "compress/palmdoc.h"

namespace {

constexpr uint32_t recordSize = 4096;
constexpr size_t megabyte = 1000 * 1000;

const std::string& bookText(size_t megabytes) {
    static std::map<size_t, std::string> texts;
    auto [text, added] = texts.try_emplace(megabytes);
    if (added) text->second = benchtext::bookText(megabytes * megabyte);
    return text->second;
}

size_t palmdocBytes(const std::string& text) {
    const auto* data = reinterpret_cast<const uint8_t*>(text.data());
    size_t bytes = 0;
    for (size_t start = 0; start < text.size(); start += recordSize)
        bytes += qp::palmdocCompress(data + start, std::min<size_t>(recordSize, text.size() - start)).size();
    return bytes;
}

size_t huffmanBytes(const qp::HuffmanRecords& records) {
    size_t bytes = records.huff.size();
    for (const auto& record : records.cdic) bytes += record.size();
    for (const auto& record : records.text) bytes += record.size();
    return bytes;
}

void compressBook(benchmark::State& state) {
    const std::string& text = bookText(static_cast<size_t>(state.range(0)));
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    qp::HuffmanProgress progress;
    size_t compressed = 0;
    for (auto _ : state) {
        qp::HuffmanRecords records;
        if (qp::compressHuffman(bytes, recordSize, 1, records, progress) != qp::HuffmanOutcome::Compressed) {
            state.SkipWithError("the text was not compressed");
            return;
        }
        compressed = huffmanBytes(records);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["text_bytes"] = static_cast<double>(text.size());
    state.counters["huffman_bytes"] = static_cast<double>(compressed);
    state.counters["palmdoc_bytes"] = static_cast<double>(palmdocBytes(text));
}
BENCHMARK(compressBook)->Arg(2)->Arg(20)->Unit(benchmark::kMillisecond)->Iterations(1);

bool writeCorpus(const char* path, size_t megabytes) {
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    const std::string& text = bookText(megabytes);
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    constexpr std::string_view corpusFlag = "--write-corpus=";
    constexpr std::string_view sizeFlag = "--corpus-mb=";
    const char* corpus = nullptr;
    size_t megabytes = 20;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.starts_with(corpusFlag)) corpus = argv[i] + corpusFlag.size();
        if (argument.starts_with(sizeFlag)) megabytes = std::strtoul(argv[i] + sizeFlag.size(), nullptr, 10);
    }
    if (corpus != nullptr) {
        if (writeCorpus(corpus, megabytes)) return 0;
        std::fprintf(stderr, "huffman_bench: could not write %s\n", corpus);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
