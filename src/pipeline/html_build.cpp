// SPDX-License-Identifier: GPL-3.0-or-later
#include "pipeline/html_build.h"

#include <algorithm>
#include <filesystem>

#include "container/exth.h"
#include "core/ascii_text.h"
#include "markup/character_references.h"
#include "markup/encoding_detection.h"
#include "markup/xml_parser.h"
#include "pipeline/book_builder.h"

namespace qp {

namespace {

struct HeadFacts {
    std::optional<std::string> title;
    std::vector<std::string> authors;
    std::string cover;
};

// Metadata is plain text, not markup: "Rapha&#235;l" is the name "Raphaël", and a ";" that ends a
// reference never separates two authors.
std::string plainText(std::string_view markupText) { return decodeCharacterReferences(markupText).text; }

// Reads the head item by item up to the body: the TITLE text and the META Author and Cover contents.
HeadFacts readHead(const String& source) {
    HeadFacts facts;
    XmlParser parser(source, ParseMode::Html);
    std::string title;
    bool inTitle = false;
    for (;;) {
        const MarkupItem item = parser.next();
        if (item.type == MarkupItem::Type::None) break;
        const bool named = item.node != kNoNode && parser.exists(item.node);
        if (item.type == MarkupItem::Type::StartTag && named) {
            if (parser.hasName(item.node, "body")) break;
            if (parser.hasName(item.node, "title")) {
                inTitle = !parser.writtenEmpty(item.node);
                facts.title = std::string();
            } else if (parser.hasName(item.node, "meta")) {
                const std::string name(trimmed(parser.attribute(item.node, "name").toUtf8()));
                const String content = parser.attribute(item.node, "content");
                if (String::fromUtf8(name).equalsAscii("author")) facts.authors.push_back(plainText(content.toUtf8()));
                if (String::fromUtf8(name).equalsAscii("cover")) facts.cover = std::string(trimmed(content.toUtf8()));
            }
        } else if (item.type == MarkupItem::Type::EndTag && named && parser.hasName(item.node, "title")) {
            inTitle = false;
        } else if (item.type == MarkupItem::Type::Text && inTitle) {
            title += parser.text(item.node).toUtf8();
        }
        parser.discard();
        if (item.endOfText) break;
    }
    if (facts.title) facts.title = std::string(trimmed(plainText(title)));
    return facts;
}

}  // namespace

BuildResult buildHtmlBook(const BuildPaths& paths, const BuildOptions& options) {
    BookBuilder builder(options);
    String absolute = String::fromUtf8(paths.source);
    absolute.makeAbsolute();
    const std::string path = absolute.systemPath();
    String source;
    source.messages = options.messages;
    if (!source.loadFile(String::fromUtf8(path))) {
        builder.absorbFaults(source);
        return BuildResult::Failed;
    }
    detectEncoding(source);
    const bool utf8 = options.forceUnicode || source.codePage() != kCodePageWestern;

    BookMetadata& metadata = builder.metadata();
    const HeadFacts head = readHead(source);
    metadata.title = head.title && !head.title->empty() ? *head.title : std::filesystem::path(path).stem().string();
    builder.announceMetadata(exthLabel(exth::kTitle), metadata.title);
    for (const std::string& authors : head.authors) metadata.addCreators(authors);
    if (!head.cover.empty()) {
        metadata.coverPath = (std::filesystem::path(path).parent_path() / head.cover).lexically_normal().string();
    }

    if (!builder.startText(utf8 ? kCodePageUtf8 : kCodePageWestern, "<html><head></head>") ||
        !builder.convertContent(source, path)) {
        return builder.abandon();
    }
    return builder.finish(paths.output);
}

}  // namespace qp
