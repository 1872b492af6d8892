// SPDX-License-Identifier: GPL-3.0-or-later
// The writer's self-check of the trailing index entries on a real book: every text record's index entry read
// back and compared with the table-of-contents entries that overlap the record, as the writer does before it
// saves. `--book=FILE` names the book (scripts/bench gives it the book of its "toc" section); its records and
// its table of contents are read with kovadump's reader.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <span>
#include <string_view>
#include <vector>

#include "container/index_entry_check.h"
#include "kova_book.h"
#include "toc_tree.h"

namespace {

struct CheckInputs {
    std::vector<std::vector<uint8_t>> records;
    std::vector<uint32_t> lengths;
    std::vector<qp::TocEntry> entries;
};

bool load(const char* path, CheckInputs& inputs) {
    const kova::Book book = kova::Book::fromFile(path);
    const std::optional<kova::TocTree> tree = kova::readTocTree(book);
    if (!book.loadError().empty() || !tree) return false;
    for (const kova::TextRecord& record : book.textRecords()) {
        inputs.records.push_back(book.recordBytes(record.recordIndex));
        inputs.lengths.push_back(static_cast<uint32_t>(record.decodedLength));
    }
    for (const kova::TocTreeNode& node : tree->nodes) {
        if (!node.inNavigationList)
            inputs.entries.push_back({node.position, node.length, node.depth, static_cast<uint32_t>(node.rank)});
    }
    return true;
}

void checkIndexEntries(benchmark::State& state, const CheckInputs& inputs) {
    const std::vector<std::span<const uint8_t>> records(inputs.records.begin(), inputs.records.end());
    for (auto _ : state) {
        const std::optional<size_t> unsound = qp::firstUnsoundIndexEntry(records, inputs.lengths, inputs.entries);
        if (unsound) state.SkipWithError("a record's index entry does not match the table of contents");
        benchmark::DoNotOptimize(unsound);
    }
    state.counters["records"] = static_cast<double>(records.size());
    state.counters["entries"] = static_cast<double>(inputs.entries.size());
}

}  // namespace

int main(int argc, char** argv) {
    static CheckInputs inputs;
    constexpr std::string_view kBook = "--book=";
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]).starts_with(kBook) && !load(argv[i] + kBook.size(), inputs)) {
            std::fprintf(stderr, "toc_check_bench: %s is no book with a table of contents\n", argv[i] + kBook.size());
            return 2;
        }
    }
    if (inputs.records.empty()) {
        std::fprintf(stderr, "usage: toc_check_bench --book=FILE [benchmark options]\n");
        return 2;
    }
    benchmark::RegisterBenchmark("checkIndexEntries", checkIndexEntries, inputs)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
