// SPDX-License-Identifier: GPL-3.0-or-later
// Converting one large content file into the book text: throughput and peak memory. The file is streamed, so
// the peak resident size stays far below the file's size.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "convert/html_converter.h"
#include "convert/link_table.h"
#include "convert/media_table.h"
#include "convert/text_stream.h"
#include "core/string.h"
#include "index/index_markup.h"

namespace {

constexpr size_t kContentBytes = 20u * 1024 * 1024;

// Chapters of styled paragraphs with anchors, links between them, lists and preformatted blocks.
std::string makeContent() {
    std::string html = "<html><head><style>p.note { font-style: italic } h2 { page-break-before: always }</style>"
                       "</head><body>\n";
    for (size_t chapter = 0; html.size() < kContentBytes; ++chapter) {
        const std::string id = std::to_string(chapter);
        html += "<h2 id=\"c" + id + "\">Chapter " + id + "</h2>\n";
        for (int p = 0; p < 20; ++p) {
            html += "<p class=\"note\">The quick brown fox jumps over the lazy dog &amp; keeps running, "
                    "<a href=\"#c" +
                    std::to_string(chapter / 2) +
                    "\">see chapter</a>, "
                    "<b>bold</b> and <i>italic</i> words follow in caf\xC3\xA9 prose.</p>\n";
        }
        html += "<ol><li>one</li><li>two</li></ol><pre>code\n\tindented  line</pre>\n";
    }
    return html + "</body></html>";
}

void BM_ConvertLargeFile(benchmark::State& state) {
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "quillpress-bench-content.html";
    const std::string html = makeContent();
    std::ofstream(file, std::ios::binary) << html;
    const qp::String source(html, qp::kCodePageUtf8);
    const qp::String path = qp::String::fromUtf8(file.string());
    for (auto _ : state) {
        qp::FaultHeader faults;
        qp::TextStream stream;
        stream.open();
        qp::LinkTable links(faults);
        qp::MediaTable media;
        qp::IndexMarkup index;
        qp::HtmlConverter converter(faults, stream, links, media, index);
        converter.convertFile(source, path, true);
        links.resolveLinks();
        links.writeLinks(stream, media);
        benchmark::DoNotOptimize(stream.position());
    }
    std::filesystem::remove(file);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * html.size()));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    state.counters["content_mb"] = static_cast<double>(html.size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_ConvertLargeFile)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
