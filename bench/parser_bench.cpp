// SPDX-License-Identifier: GPL-3.0-or-later
// Throughput of the markup parser streaming a 20 MB HTML content file item by item, as the converter reads it,
// with the peak resident memory of the process and the largest node store seen.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <string>

#include "markup/xml_parser.h"

namespace {

constexpr size_t kSourceBytes = 20u << 20;

// A content file: a head with a style sheet link, then paragraphs with inline markup, entities, links, images,
// comments, a held select now and then, until the size is reached.
const std::string& contentFile() {
    static const std::string text = [] {
        std::string html = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<html><head><title>Bench</title>"
                           "<link rel=\"stylesheet\" type=\"text/css\" href=\"style.css\"/></head><body>\n";
        for (int i = 0; html.size() < kSourceBytes; ++i) {
            html += "<p class=\"body\" id=\"p" + std::to_string(i) +
                    "\">The quick brown fox &amp; the <i>lazy</i> dog, paragraph <b>" + std::to_string(i) +
                    "</b>; see <a href=\"chapter2.html#p" + std::to_string(i) +
                    "\">there</a>.<br/>"
                    "<img src=\"images/figure.gif\" alt=\"figure\"/> &lt;tail&gt;</p>\n";
            if (i % 50 == 0) html += "<!-- section break --><select name=\"s\"><option>a</option></select>\n";
        }
        return html + "</body></html>\n";
    }();
    return text;
}

long peakResidentKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void streamContentFile(benchmark::State& state) {
    const std::string& text = contentFile();
    qp::String source(text, qp::kCodePageUtf8);
    size_t largestStore = 0;
    for (auto _ : state) {
        qp::XmlParser parser(source, qp::ParseMode::Html);
        parser.setHoldList({"select", "script", "pre", "idx:entry"});
        for (;;) {
            qp::MarkupItem item = parser.next();
            largestStore = std::max(largestStore, parser.nodeCount());
            benchmark::DoNotOptimize(item);
            parser.discard();
            if (item.endOfText) break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["sourceMB"] = static_cast<double>(text.size()) / (1 << 20);
    state.counters["largestNodeStore"] = static_cast<double>(largestStore);
    state.counters["peakRssMB"] = static_cast<double>(peakResidentKilobytes()) / 1024;
}

// The same file read whole into one tree, for comparison: the store grows with the file.
void parseWholeFile(benchmark::State& state) {
    const std::string& text = contentFile();
    qp::String source(text, qp::kCodePageUtf8);
    size_t nodes = 0;
    for (auto _ : state) {
        qp::XmlParser parser(source, qp::ParseMode::Html);
        parser.parse();
        nodes = parser.nodeCount();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["nodes"] = static_cast<double>(nodes);
    state.counters["peakRssMB"] = static_cast<double>(peakResidentKilobytes()) / 1024;
}

BENCHMARK(streamContentFile)->Unit(benchmark::kMillisecond);
BENCHMARK(parseWholeFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
