// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared by the markup parser tests: a message recorder and a compact picture of a parsed tree.
#include <string>
#include <vector>

#include "core/message_sink.h"
#include "markup/xml_parser.h"

namespace qptest {

class MessageRecorder : public qp::MessageSink {
public:
    void output(const std::vector<std::u16string>& pieces) override {
        std::string line;
        for (const std::u16string& piece : pieces) {
            for (char16_t c : piece) line.push_back(static_cast<char>(c));  // message texts are ASCII
        }
        lines.push_back(line);
    }

    // The lines without their arguments: each cut at the end of its first sentence.
    std::vector<std::string> texts() const {
        std::vector<std::string> result;
        for (const std::string& line : lines) result.push_back(line.substr(0, line.find('.') + 1));
        return result;
    }

    std::vector<std::string> lines;
};

// A subtree as text: elements as name(children), attributes as @name=value, text in quotes, kind-2 nodes as
// <!text>, stray end tags as </name>; an element still open is marked with a trailing '+'.
inline std::string dumpTree(const qp::XmlParser& parser, qp::NodeIndex node) {
    std::string out;
    switch (parser.kind(node)) {
        case qp::NodeKind::Text: return "'" + std::string(parser.rawText(node)) + "'";
        case qp::NodeKind::Attribute:
            return "@" + std::string(parser.name(node)) + "=" + std::string(parser.rawText(node));
        case qp::NodeKind::Comment: return "<!" + std::string(parser.rawText(node)) + ">";
        case qp::NodeKind::StrayEndTag: return "</" + std::string(parser.name(node)) + ">";
        case qp::NodeKind::Element: break;
    }
    out = std::string(parser.name(node)) + "(";
    bool first = true;
    for (qp::NodeIndex child : parser.children(node)) {
        if (!first) out += " ";
        out += dumpTree(parser, child);
        first = false;
    }
    out += ")";
    if (node != 0 && !parser.closed(node)) out += "+";
    return out;
}

// The whole document below node 0, its top-level nodes separated by blanks.
inline std::string dumpDocument(const qp::XmlParser& parser) {
    std::string whole = dumpTree(parser, 0);
    return whole.substr(1, whole.size() - 2);
}

}  // namespace qptest
