// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/html_converter.h"

#include "convert/html_converter_serializer.h"
#include "convert/link_table.h"
#include "convert/text_stream.h"
#include "core/message_sink.h"
#include "markup/css_style_context.h"
#include "markup/xml_parser.h"

namespace qp {

namespace {

// How often the conversion of a body tells its progress, in markup items.
constexpr size_t kItemsPerProgressStep = 4096;

// Elements that reach the converter whole, from their start tag to their end tag.
const std::vector<std::string> kHeldElements = {"tei-ms:entry",    "idx:entry", "select", "textarea",         "button",
                                                "tqp:slave-frame", "script",    "style",  "idx:ext-subentry", "pre"};

bool isStyleSheetLink(const XmlParser& parser, NodeIndex element) {
    return parser.hasName(element, "link") && parser.attribute(element, "rel").equalsAscii("stylesheet") &&
           parser.attribute(element, "type").equalsAscii("text/css") &&
           parser.findAttribute(element, "href") != kNoNode;
}

}  // namespace

HtmlConverter::HtmlConverter(FaultHeader& faults, TextStream& stream, LinkTable& links, MediaTable& media,
                             IndexMarkup& index, ConversionOptions options)
    : writer_(std::make_unique<ElementWriter>(stream, links, media, index, options)), faults_(faults), stream_(stream),
      links_(links), sheetFiles_(faults.messages) {}

HtmlConverter::~HtmlConverter() = default;

bool HtmlConverter::languageSeen() const { return writer_->languageSeen(); }
const std::vector<uint64_t>& HtmlConverter::nonCrossableBreaks() const { return writer_->nonCrossableBreaks(); }

bool HtmlConverter::convertFile(const String& source, const String& path, bool writeBodyTag) {
    const std::string file = links_.normalizer().normalizePath(path.toUtf8());
    XmlParser parser(source, ParseMode::Html);
    parser.setHoldList(kHeldElements);
    StyleContext styles;
    reportsLike(styles, faults_);
    writer_->startFile(parser, styles, file);

    // Head: style sheets are collected until the body starts.
    bool bodyFound = false;
    for (bool done = false; !done;) {
        const MarkupItem item = parser.next();
        done = item.endOfText || item.type == MarkupItem::Type::None;
        if (item.type == MarkupItem::Type::StartTag && parser.hasName(item.node, "body")) {
            bodyFound = true;
            if (writeBodyTag) {
                links_.registerFileStart(file, stream_.position());
                writer_->writeBodyTag(item.node);
            } else {
                writer_->holdBodyStart(item.node);
            }
        } else if (item.type == MarkupItem::Type::StartTag && isStyleSheetLink(parser, item.node)) {
            LinkTarget sheet = links_.normalizer().target(file, parser.attribute(item.node, "href").toUtf8());
            styles.addSheetFile(String::fromUtf8(sheet.file), parser.codePage(), sheetFiles_);
        } else if (item.type == MarkupItem::Type::Subtree && parser.hasName(item.node, "style")) {
            writer_->addStyleElement(item.node);
        }
        parser.discard();
        if (bodyFound) break;
    }
    if (!bodyFound) {
        absorbFaults(faults_, styles);
        report(faults_, ErrorCode::NoBodyInContent, file);
        writer_->endFile();
        return false;
    }

    // Body: one item at a time, until its end tag.
    const size_t textSize = parser.parsedText().size();
    for (size_t items = 0;; ++items) {
        if (items % kItemsPerProgressStep == 0) progress_->advance(parser.position(), textSize);
        const MarkupItem item = parser.next();
        if (item.type == MarkupItem::Type::None) break;
        if (item.type == MarkupItem::Type::EndTag && item.node != kNoNode && parser.hasName(item.node, "body")) break;
        writer_->writeItem(item);
        parser.discard();
        if (item.endOfText) break;
    }
    progress_->advance(textSize, textSize);
    writer_->endFile();
    stream_.write(" ");

    absorbFaults(faults_, styles);
    if (writer_->introducedReferences()) {
        report(faults_, WarningCode::NotWestern, kNoNumber, file);
        report(faults_, InfoCode::EntitiesIntroduced);
    }
    absorbFaults(faults_, stream_);
    return !stream_.failed();
}

}  // namespace qp
