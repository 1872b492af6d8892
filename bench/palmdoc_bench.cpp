// SPDX-License-Identifier: GPL-3.0-or-later
// Throughput of PalmDOC compression on book-like prose, compressed in 4,096-byte records as a book's
// text is. `--write-corpus=FILE` writes the same prose to FILE and exits, so that other compressors can
// be timed on identical bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "compress/palmdoc.h"

namespace {

constexpr size_t recordSize = 4096;
constexpr size_t corpusSize = 6 * 1000 * 1000;
constexpr unsigned jumpPercent = 50;    // chance of leaving the word pairs of the set
constexpr unsigned endingPercent = 25;  // chance of a new ending on a longer word

// A paragraph set of our own; the corpus is a seeded random walk over its words (below). That keeps the
// words, spelling and punctuation of prose while no sentence or paragraph repeats as a whole, and it
// compresses about as well as a real novel does.
constexpr std::string_view paragraphs[] = {
    "The harbour town woke slowly on the morning the ferry failed to arrive. At seven the baker opened his "
    "shutters, as he had done every day for thirty-one years, and looked down the slope of Quay Street toward "
    "the water. The pier was empty. A line of gulls stood along the rail, facing the wind, and the lamp in "
    "the harbour master's hut was still burning from the night before.",
    "Anna walked down to the mill before the light had properly come up, carrying a brass lantern under one "
    "arm. Nobody at Kellow Bridge could remember a winter as long as that one, not even old Mrs Hale, who was "
    "ninety-four and had seen most things twice. The road ran for six miles between stone walls, and in all "
    "that way she met no one but a boy with a cart of turnips.",
    "\"You will want a coat,\" said Tomas, \"if you mean to go as far as the lighthouse tonight.\" She laughed "
    "at that, though not unkindly, and poured another cup of tea. By the time the bells of Saint Bride's rang "
    "the hour, the rain had turned to a fine grey drizzle, and the wind had dropped to almost nothing.",
    "There were twelve letters on the kitchen table, all addressed to Edwin, and none of them had been "
    "opened. He set the old ledger down on the bench, looked at it for a long moment, and then picked it up "
    "again. Somewhere below, in the yard, a dog began to bark and would not stop, however often the captain "
    "shouted at it from the upstairs window.",
    "They argued about it all the way to the station and most of the way back. Nobody in the family had ever "
    "been to the mainland, and nobody, until Marta, had wanted to go. The clock in the hall struck eleven, "
    "although it was nowhere near that late, and the children were sent to bed early, which, as everyone "
    "knew, meant that something was about to happen.",
    "It took nine days to mend the roof of Upper Farm, and by then the summer was nearly over. On the shelf "
    "above the stove stood his father's watch, polished until it shone like new. Whatever Felix had expected "
    "to find in the wooden box, it was certainly not a bundle of letters tied with blue ribbon and a single "
    "photograph of a woman standing on a pier.",
    "For a while neither of them spoke; the fire settled, and the wind tried the shutters. Later, much later, "
    "Ruth would say that it had all begun with the spare key, the one that hung on a nail behind the door and "
    "opened nothing that anybody could remember. Jonah folded the map, put it in his pocket with a tin of "
    "matches, and went out without a word.",
};

std::vector<std::string_view> wordsOf(std::string_view text) {
    std::vector<std::string_view> words;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find(' ', start), text.size());
        words.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

// The next word: mostly one that followed the current word somewhere in the set, sometimes any word of
// the set (common words come up more often, as in real text).
size_t nextWord(std::mt19937& engine, const std::vector<std::string_view>& words,
                const std::map<std::string_view, std::vector<size_t>>& followers, size_t current) {
    const auto next = followers.find(words[current]);
    if (next == followers.end() || engine() % 100 < jumpPercent) return engine() % words.size();
    return next->second[engine() % next->second.size()];
}

// Appends the word, now and then with an ending that the set does not have, so that the vocabulary grows
// the way a long book's does.
void appendWord(std::mt19937& engine, std::string_view word, std::string& text) {
    static constexpr std::string_view endings[] = {"s", "ed", "ing", "ly", "er", "ness", "ful", "est"};
    const bool plain = word.size() < 4 || !std::isalpha(static_cast<unsigned char>(word.back()));
    text += word;
    if (!plain && engine() % 100 < endingPercent) text += endings[engine() % std::size(endings)];
}

std::string makeProse() {
    std::vector<std::string_view> words;
    for (std::string_view paragraph : paragraphs) {
        const std::vector<std::string_view> more = wordsOf(paragraph);
        words.insert(words.end(), more.begin(), more.end());
    }
    // Successors of each word, as positions in `words`; the last word of the set has none.
    std::map<std::string_view, std::vector<size_t>> followers;
    for (size_t i = 0; i + 1 < words.size(); ++i) followers[words[i]].push_back(i + 1);

    std::mt19937 engine(20240611);
    std::string text;
    text.reserve(corpusSize + 1024);
    size_t current = 0;
    size_t wordsInParagraph = 0;
    while (text.size() < corpusSize) {
        const std::string_view word = words[current];
        appendWord(engine, word, text);
        ++wordsInParagraph;
        if (word.back() == '.' && wordsInParagraph > 40 + engine() % 80) {
            text += "\n\n";
            wordsInParagraph = 0;
        } else {
            text += ' ';
        }
        current = nextWord(engine, words, followers, current);
    }
    text.resize(corpusSize);
    return text;
}

const std::string& prose() {
    static const std::string text = makeProse();
    return text;
}

void compressProse(benchmark::State& state) {
    const auto* data = reinterpret_cast<const uint8_t*>(prose().data());
    const size_t size = prose().size();
    size_t compressed = 0;
    for (auto _ : state) {
        compressed = 0;
        for (size_t start = 0; start < size; start += recordSize) {
            const std::vector<uint8_t> record = qp::palmdocCompress(data + start, std::min(recordSize, size - start));
            compressed += record.size();
        }
        benchmark::DoNotOptimize(compressed);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
    state.counters["ratio"] = static_cast<double>(compressed) / static_cast<double>(size);
}
BENCHMARK(compressProse)->Unit(benchmark::kMillisecond)->MinTime(2.0);

bool writeCorpus(const char* path) {
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(prose().data(), 1, prose().size(), file) == prose().size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    constexpr std::string_view corpusFlag = "--write-corpus=";
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]).starts_with(corpusFlag)) {
            if (writeCorpus(argv[i] + corpusFlag.size())) return 0;
            std::fprintf(stderr, "palmdoc_bench: could not write %s\n", argv[i] + corpusFlag.size());
            return 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
