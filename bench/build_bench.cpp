// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-build throughput: a generated package of 20 MB of HTML in 20 chapters, with internal links, compiled
// into a book. The flags below write a generated package instead, print its bytes of HTML and measure
// nothing: scripts/bench times the quillpress binary on it next to gzip -6 on the same HTML.
//   --write-book=DIR [--chapters=N] [--chapter-kb=K] [--toc]          prose chapters as DIR/book.opf
//   --write-dictionary=DIR --entries=N --megabytes=M [--inflections|--one-form]  a dictionary as DIR/dict.opf
//   --write-wordnet-dictionary=DIR --entries=N                       a real-shaped dictionary as DIR/dict.opf
//   --write-links=DIR --pages=N --page-kb=K --missing-links=L         linked short pages as DIR/book.opf
//   --write-multilingual=DIR --megabytes=M                           Latin, Cyrillic and CJK prose as DIR/book.opf
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "bench_packages.h"
#include "pipeline/opf_build.h"
#include "wordnet_dictionary.h"

namespace {

namespace fs = std::filesystem;

void BM_OpfBuild(benchmark::State& state) {
    const fs::path directory = fs::temp_directory_path() / "quillpress-build-bench";
    const size_t bytes = benchpackage::writeProseBook(directory, 20, 1024 * 1024, false);
    const qp::BuildPaths paths{(directory / "book.opf").string(), (directory / "book.kova").string()};
    for (auto _ : state) {
        if (qp::buildOpfBook(paths, qp::BuildOptions{}) == qp::BuildResult::Failed) state.SkipWithError("no book");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    fs::remove_all(directory);
}
BENCHMARK(BM_OpfBuild)->Unit(benchmark::kMillisecond)->Iterations(1);

// The value of "--name=value" among the arguments, or nothing.
const char* flag(int argc, char** argv, std::string_view name) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.size() > name.size() + 2 && argument.substr(0, 2) == "--" &&
            argument.substr(2, name.size()) == name && argument[name.size() + 2] == '=') {
            return argv[i] + name.size() + 3;
        }
    }
    return nullptr;
}

bool has(int argc, char** argv, std::string_view name) {
    for (int i = 1; i < argc; ++i) {
        if (argv[i] == "--" + std::string(name)) return true;
    }
    return false;
}

size_t number(int argc, char** argv, std::string_view name, size_t fallback) {
    const char* value = flag(argc, argv, name);
    return value ? std::strtoull(value, nullptr, 10) : fallback;
}

}  // namespace

int main(int argc, char** argv) {
    if (const char* directory = flag(argc, argv, "write-book")) {
        std::printf("%zu\n", benchpackage::writeProseBook(
                                 directory, static_cast<int>(number(argc, argv, "chapters", 20)),
                                 number(argc, argv, "chapter-kb", 1024) * 1024, has(argc, argv, "toc")));
        return 0;
    }
    if (const char* directory = flag(argc, argv, "write-dictionary")) {
        const auto forms = has(argc, argv, "inflections") ? benchpackage::Forms::OneOrTwo
                           : has(argc, argv, "one-form")  ? benchpackage::Forms::One
                                                          : benchpackage::Forms::None;
        std::printf("%zu\n", benchpackage::writeDictionary(directory, number(argc, argv, "entries", 1000),
                                                           number(argc, argv, "megabytes", 1) * 1024 * 1024, forms));
        return 0;
    }
    if (const char* directory = flag(argc, argv, "write-wordnet-dictionary")) {
        const size_t bytes = benchpackage::writeWordnetDictionary(directory, number(argc, argv, "entries", 1000));
        if (bytes == 0) {
            std::fprintf(stderr, "build_bench: the WordNet database (wordnet-base) is missing\n");
            return 1;
        }
        std::printf("%zu\n", bytes);
        return 0;
    }
    if (const char* directory = flag(argc, argv, "write-links")) {
        std::printf("%zu\n",
                    benchpackage::writeLinkedPages(directory, static_cast<int>(number(argc, argv, "pages", 100)),
                                                   number(argc, argv, "page-kb", 8) * 1024,
                                                   static_cast<int>(number(argc, argv, "missing-links", 1000))));
        return 0;
    }
    if (const char* directory = flag(argc, argv, "write-multilingual")) {
        std::printf("%zu\n",
                    benchpackage::writeMultilingualBook(directory, number(argc, argv, "megabytes", 1) * 1024 * 1024));
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
