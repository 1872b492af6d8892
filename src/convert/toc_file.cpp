// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/toc_file.h"

#include "core/string.h"
#include "markup/encoding_detection.h"

namespace qp {

std::unique_ptr<XmlParser> parseTocFile(const std::string& path, FaultHeader& faults) {
    String source;
    reportsLike(source, faults);
    if (!source.loadFile(String::fromUtf8(path))) {
        absorbFaults(faults, source);
        return nullptr;
    }
    detectEncoding(source);
    auto parser = std::make_unique<XmlParser>(std::move(source), ParseMode::Xml);
    if (!parser->parse()) {
        absorbFaults(faults, *parser);
        return nullptr;
    }
    return parser;
}

NodeIndex childElement(const XmlParser& parser, NodeIndex element, std::string_view name) {
    for (NodeIndex node = parser.firstChild(element); node != kNoNode; node = parser.nextSibling(node))
        if (parser.kind(node) == NodeKind::Element && parser.hasName(node, name)) return node;
    return kNoNode;
}

std::vector<NodeIndex> childElements(const XmlParser& parser, NodeIndex element, std::string_view name) {
    std::vector<NodeIndex> found;
    for (NodeIndex node = parser.firstChild(element); node != kNoNode; node = parser.nextSibling(node))
        if (parser.kind(node) == NodeKind::Element && parser.hasName(node, name)) found.push_back(node);
    return found;
}

}  // namespace qp
