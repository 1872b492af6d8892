// SPDX-License-Identifier: GPL-3.0-or-later
// Parses arbitrary bytes in every parse mode, streams them with a hold list, runs node requests over the tree
// and detects the encoding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/message_sink.h"
#include "markup/encoding_detection.h"
#include "markup/node_selector.h"
#include "markup/xml_parser.h"

namespace {

void readEverything(const qp::XmlParser& parser) {
    for (qp::NodeIndex i = 0; i < parser.nodeCount(); ++i) {
        (void)parser.text(i);
        (void)parser.attribute(i, "id");
    }
    (void)parser.textContent(0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // Messages are assembled, as a build would, but printed nowhere.
    qp::MessageSink silent;
    qp::String source(bytes, 1252);
    source.messages = &silent;

    qp::XmlParser xml(source, qp::ParseMode::Xml);
    xml.parse();
    readEverything(xml);
    qp::NodeSelector requests(xml);
    (void)requests.select("/package/metadata/x-metadata/output[@asp-as-binary='yes']");
    (void)requests.selectOne("/package/metadata/x-metadata/output/@content-type");
    (void)requests.select("/ncx/navMap/navPoint");
    for (qp::NodeIndex i = 0; i < xml.nodeCount() && i < 64; ++i) {
        (void)requests.select("item[@media-type!='']", i);
        (void)requests.select(bytes.substr(0, 64), i);
    }

    qp::XmlParser whole(source, qp::ParseMode::Html);
    whole.parse();
    readEverything(whole);

    qp::XmlParser streaming(source, qp::ParseMode::Html);
    streaming.setHoldList({"select", "script", "pre", "idx:entry"});
    for (;;) {
        qp::MarkupItem item = streaming.next();
        readEverything(streaming);
        streaming.discard();
        if (item.endOfText) break;
    }

    qp::String unknown(bytes, 20105);
    unknown.messages = &silent;
    qp::detectEncoding(unknown);
    return 0;
}
