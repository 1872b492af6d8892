// Whole-build throughput: a generated package of 20 MB of HTML in 20 chapters, with internal links, compiled
// into a book. With --write-book=DIR the package is written there and nothing is measured (scripts/bench
// times the quillpress binary on it and compares with gzip -6 on the concatenated HTML).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "core/message_sink.h"
#include "pipeline/opf_build.h"

namespace {

namespace fs = std::filesystem;

constexpr int kChapters = 20;
constexpr size_t kChapterBytes = 1024 * 1024;

const char* const kWords[] = {"harbour", "lamp", "wind", "keeper", "stairs", "gallery", "north", "storm", "oil",
                              "tide",    "rock", "boat", "log",    "letter", "season",  "light", "wave",  "salt"};

std::string chapterText(int chapter) {
    std::string text = "<html><head><title>Chapter " + std::to_string(chapter) + "</title></head><body>\n";
    text += "<h1 id=\"top\">Chapter " + std::to_string(chapter) + "</h1>\n";
    unsigned state = static_cast<unsigned>(chapter) * 2654435761u + 1;
    int paragraph = 0;
    while (text.size() < kChapterBytes) {
        text += "<p id=\"p" + std::to_string(paragraph) + "\">";
        for (int word = 0; word < 60; ++word) {
            state = state * 1103515245u + 12345u;
            text += kWords[(state >> 16) % std::size(kWords)];
            text += word % 12 == 11 ? ". " : " ";
        }
        if (paragraph % 10 == 0) {
            text += "<a href=\"chapter" + std::to_string((chapter + 1) % kChapters) + ".html#p" +
                    std::to_string(paragraph / 2) + "\">next</a>";
        }
        text += "</p>\n";
        ++paragraph;
    }
    return text + "</body></html>\n";
}

// Writes the package and its chapters; returns the bytes of HTML written.
size_t writeBook(const fs::path& directory) {
    fs::create_directories(directory);
    std::string items;
    std::string spine;
    size_t bytes = 0;
    for (int chapter = 0; chapter < kChapters; ++chapter) {
        const std::string name = "chapter" + std::to_string(chapter) + ".html";
        const std::string text = chapterText(chapter);
        std::ofstream(directory / name, std::ios::binary) << text;
        bytes += text.size();
        items += "<item id=\"c" + std::to_string(chapter) + "\" href=\"" + name +
                 "\" media-type=\"text/x-oeb1-document\"/>\n";
        spine += "<itemref idref=\"c" + std::to_string(chapter) + "\"/>\n";
    }
    std::ofstream(directory / "book.opf", std::ios::binary)
        << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<package><metadata><dc-metadata>"
           "<dc:Title>Benchmark Book</dc:Title><dc:Language>en</dc:Language></dc-metadata></metadata>\n<manifest>\n"
        << items << "</manifest>\n<spine>\n"
        << spine << "</spine></package>\n";
    return bytes;
}

void BM_OpfBuild(benchmark::State& state) {
    const fs::path directory = fs::temp_directory_path() / "quillpress-build-bench";
    const size_t bytes = writeBook(directory);
    qp::MessageSink silent;
    qp::MessageSink* previous = qp::installSink(&silent);
    const qp::BuildPaths paths{(directory / "book.opf").string(), (directory / "book.kova").string()};
    for (auto _ : state) {
        if (qp::buildOpfBook(paths, qp::BuildOptions{}) == qp::BuildResult::Failed) state.SkipWithError("no book");
    }
    qp::installSink(previous);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    fs::remove_all(directory);
}
BENCHMARK(BM_OpfBuild)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    constexpr std::string_view kWriteFlag = "--write-book=";
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument.substr(0, kWriteFlag.size()) == kWriteFlag) {
            std::printf("%zu\n", writeBook(fs::path(std::string(argument.substr(kWriteFlag.size())))));
            return 0;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
