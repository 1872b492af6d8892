// SPDX-License-Identifier: GPL-3.0-or-later
// Reading an NCX file into the table of contents: the `navPoint`s of the `navMap` to any depth, then each
// `navList` with its `navTarget`s.
#include "convert/table_of_contents.h"
#include "convert/toc_file.h"
#include "core/string.h"
#include "markup/character_references.h"
#include "markup/xml_parser.h"

namespace qp {

namespace {

// Nodes are read in document order with a stack of their own, so a deep map cannot exhaust the call stack.
class NcxReader {
public:
    NcxReader(const XmlParser& parser, TableOfContents& toc) : parser_(parser), toc_(toc) {}

    bool read(NodeIndex ncx) {
        if (NodeIndex map = child(ncx, "navMap"); map != kNoNode) {
            if (!readTree(children(map, "navPoint"), toc_.navMap, Role::Point)) return false;
        }
        return readTree(children(ncx, "navList"), toc_.navLists, Role::List);
    }

private:
    enum class Role { Point, List, Target };

    struct Pending {
        NodeIndex element;
        int32_t parent;
        uint32_t depth;
        Role role;
    };

    bool readTree(const std::vector<NodeIndex>& roots, std::vector<TocNode>& list, Role role) {
        std::vector<Pending> pending;
        for (auto root = roots.rbegin(); root != roots.rend(); ++root) pending.push_back({*root, kNoTocNode, 0, role});
        while (!pending.empty()) {
            const Pending next = pending.back();
            pending.pop_back();
            const auto index = static_cast<int32_t>(list.size());
            if (!readNode(next, list)) return false;
            const std::vector<NodeIndex> below = next.role == Role::Point  ? children(next.element, "navPoint")
                                                 : next.role == Role::List ? children(next.element, "navTarget")
                                                                           : std::vector<NodeIndex>{};
            // A navigation list's targets sit at depth 1 and have no children of their own.
            const Role childRole = next.role == Role::Point ? Role::Point : Role::Target;
            const uint32_t childDepth = next.role == Role::Point ? next.depth + 1 : 1;
            for (auto element = below.rbegin(); element != below.rend(); ++element)
                pending.push_back({*element, index, childDepth, childRole});
        }
        return true;
    }

    bool readNode(const Pending& pending, std::vector<TocNode>& list) {
        const NodeIndex element = pending.element;
        TocNode node;
        node.depth = pending.depth;
        node.parent = pending.parent;
        node.className = attribute(element, "class");
        if (pending.role != Role::List) {
            const NodeIndex content = child(element, "content");
            if (content == kNoNode || parser_.findAttribute(content, "src") == kNoNode) return false;
            node.target = attribute(content, "src");
            readProperties(element, node);
        }
        const NodeIndex label = child(element, "navLabel");
        const NodeIndex text = label == kNoNode ? kNoNode : child(label, "text");
        if (text == kNoNode) return false;
        node.label = textOf(text);

        const auto index = static_cast<int32_t>(list.size());
        if (node.parent != kNoTocNode) {
            TocNode& parent = list[static_cast<size_t>(node.parent)];
            if (parent.firstChild == kNoTocNode) parent.firstChild = index;
            parent.lastChild = index;
        }
        list.push_back(std::move(node));
        return true;
    }

    void readProperties(NodeIndex element, TocNode& node) const {
        for (NodeIndex item = parser_.firstChild(element); item != kNoNode; item = parser_.nextSibling(item)) {
            if (parser_.kind(item) != NodeKind::Element) continue;
            if (parser_.hasName(item, "tqp:meta")) {
                node.properties.push_back({attribute(item, "name"), textOf(item), false});
            } else if (parser_.hasName(item, "tqp:meta-img")) {
                node.properties.push_back({attribute(item, "name"), attribute(item, "src"), true});
            }
        }
    }

    NodeIndex child(NodeIndex element, std::string_view name) const { return childElement(parser_, element, name); }
    std::vector<NodeIndex> children(NodeIndex element, std::string_view name) const {
        return childElements(parser_, element, name);
    }

    // Attribute values and element texts as UTF-8, their character references decoded.
    std::string attribute(NodeIndex element, std::string_view name) const {
        return decodeCharacterReferences(parser_.attribute(element, name).toUtf8()).text;
    }
    std::string textOf(NodeIndex element) const {
        return decodeCharacterReferences(parser_.textContent(element).toUtf8()).text;
    }

    const XmlParser& parser_;
    TableOfContents& toc_;
};

}  // namespace

bool readNcx(const std::string& path, TableOfContents& toc, FaultHeader& faults) {
    const std::unique_ptr<XmlParser> parsed = parseTocFile(path, faults);
    if (!parsed) return false;
    const XmlParser& parser = *parsed;
    for (NodeIndex node = parser.firstChild(0); node != kNoNode; node = parser.nextSibling(node)) {
        if (parser.kind(node) == NodeKind::Element && parser.hasName(node, "ncx")) {
            return NcxReader(parser, toc).read(node);
        }
    }
    return false;
}

}  // namespace qp
