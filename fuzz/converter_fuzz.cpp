// SPDX-License-Identifier: GPL-3.0-or-later
// Converts arbitrary bytes as a content file, the way the HTML build does: encoding detection, the head with
// its style elements, the body through the serializer and the style rewriting, lists, anchors and links; then
// writes the links into the text and reads the finished text back.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "convert/html_converter.h"
#include "convert/link_table.h"
#include "convert/media_table.h"
#include "convert/text_stream.h"
#include "core/message_sink.h"
#include "index/index_markup.h"
#include "markup/encoding_detection.h"

namespace {

// A folder that does not exist, so that linked sheets and pictures resolve to nothing on the disk.
constexpr const char* kPagePath = "/nonexistent-quillpress-fuzz/page.html";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Messages are assembled, as a build would, but printed nowhere.
    qp::MessageSink silent;
    qp::String source = qp::String::fromBytes(data, size);
    source.messages = &silent;
    qp::detectEncoding(source);
    const int32_t codePage = source.codePage() != qp::kCodePageWestern ? qp::kCodePageUtf8 : qp::kCodePageWestern;
    qp::FaultHeader faults;
    qp::TextStream stream;
    qp::LinkTable links(faults);
    qp::MediaTable media;
    qp::IndexMarkup index;
    faults.messages = stream.messages = media.messages = index.messages = &silent;
    qp::HtmlConverter converter(faults, stream, links, media, index, {.textCodePage = codePage});
    if (stream.open() && stream.write("<html><head></head>") &&
        converter.convertFile(source, qp::String::fromUtf8(kPagePath), true)) {
        links.resolveLinks();
        links.writeLinks(stream, media);
        std::vector<uint8_t> text;
        stream.readAll(text);
    }
    return 0;
}
