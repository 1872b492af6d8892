// SPDX-License-Identifier: GPL-3.0-or-later
// Index writing: 100,000 dictionary headwords (5 to 14 letters, some with accented letters) with a text
// position and length each, sorted and written as the records of a western and of a Unicode lookup index.
// `--write-corpus=FILE` writes the same keys and values as text, one entry per line, so that scripts/bench
// can time gzip -6 on them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "container/pdb_database.h"
#include "index/index.h"
#include "index/index_records.h"

namespace {

constexpr size_t kEntries = 100000;

struct Entry {
    std::string key;
    uint32_t start;
    uint32_t length;
};

const std::vector<Entry>& entries() {
    static const std::vector<Entry> all = [] {
        const std::string_view syllables[] = {"ka",  "lo", "mer", "sti", "an", "bel", "dor", "é",   "ri", "tu",
                                              "gna", "ve", "sch", "ö",   "pa", "lin", "ço",  "ter", "wa", "ny"};
        std::mt19937 engine(7);
        std::vector<Entry> list;
        uint32_t position = 0;
        while (list.size() < kEntries) {
            std::string key;
            const size_t target = 5 + engine() % 10;
            while (key.size() < target) key += syllables[engine() % std::size(syllables)];
            const uint32_t length = 200 + engine() % 600;
            list.push_back({key, position, length});
            position += length;
        }
        return list;
    }();
    return all;
}

void writeEntries(benchmark::State& state, int32_t codePage) {
    for (auto _ : state) {
        qp::Index index("words", qp::IndexType::Lookup, codePage, 9, false);
        for (const Entry& entry : entries()) {
            const auto id = index.addKey(entry.key);
            if (!id) continue;
            index.addValues(*id, 1, {entry.start});
            index.addValues(*id, 2, {entry.length});
        }
        qp::PdbDatabase store;
        if (qp::writeIndex(index, store) < 0) state.SkipWithError("index not written");
        benchmark::DoNotOptimize(store.recordCount());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kEntries));
}

void BM_WesternIndex(benchmark::State& state) { writeEntries(state, 1252); }
void BM_UnicodeIndex(benchmark::State& state) { writeEntries(state, qp::kUnicodeIndexCodePage); }
BENCHMARK(BM_WesternIndex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnicodeIndex)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    constexpr std::string_view kWriteFlag = "--write-corpus=";
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.substr(0, kWriteFlag.size()) != kWriteFlag) continue;
        std::ofstream out(std::string(argument.substr(kWriteFlag.size())), std::ios::binary);
        for (const Entry& entry : entries()) out << entry.key << '\t' << entry.start << '\t' << entry.length << '\n';
        return out ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
