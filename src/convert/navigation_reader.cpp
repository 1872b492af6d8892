// SPDX-License-Identifier: GPL-3.0-or-later
// Reading an ePub 3 navigation document into the table of contents: the `nav` whose epub:type names "toc"
// (else the first `nav`), its nested `ol`/`li` lists read as the navigation map. A list item's label is the
// text of its link and its depth the depth of its list; an item without a link (a heading of a group) adds
// no entry, and its own list goes on at its depth.
#include <algorithm>

#include "convert/table_of_contents.h"
#include "convert/toc_file.h"
#include "core/ascii_text.h"
#include "core/string.h"
#include "markup/character_references.h"
#include "markup/xml_parser.h"

namespace qp {

namespace {

class NavigationReader {
public:
    explicit NavigationReader(const XmlParser& parser) : parser_(parser) {}

    // The `nav` that holds the table of contents, or kNoNode.
    NodeIndex tocNav() const {
        NodeIndex first = kNoNode;
        for (NodeIndex node = 1; node < parser_.nodeCount(); ++node) {
            if (parser_.kind(node) != NodeKind::Element || !parser_.hasName(node, "nav")) continue;
            if (first == kNoNode) first = node;
            if (containsCaseBlind(parser_.attribute(node, "epub:type").toUtf8(), "toc")) return node;
        }
        return first;
    }

    // Reads the first list of the nav; false when it has none.
    bool read(NodeIndex nav, std::vector<TocNode>& list) {
        const NodeIndex top = child(nav, "ol");
        if (top == kNoNode) return false;
        // The lists being read, innermost last, each with its parent entry, its depth, its items and the
        // next item to read; a list inside an item is read before the item's next sibling.
        struct Level {
            int32_t parent;
            uint32_t depth;
        };
        std::vector<Level> levels{{kNoTocNode, 0}};
        std::vector<std::pair<std::vector<NodeIndex>, size_t>> items{{children(top, "li"), 0}};
        while (!levels.empty()) {
            auto& [siblings, next] = items.back();
            if (next == siblings.size()) {
                items.pop_back();
                levels.pop_back();
                continue;
            }
            const NodeIndex item = siblings[next++];
            const Level level = levels.back();
            int32_t parent = level.parent;
            uint32_t depth = level.depth;
            if (const NodeIndex link = child(item, "a"); link != kNoNode) {
                parent = add(list, link, level.parent, level.depth);
                ++depth;
            }
            if (const NodeIndex inner = child(item, "ol"); inner != kNoNode) {
                levels.push_back({parent, depth});
                items.push_back({children(inner, "li"), 0});
            }
        }
        return !list.empty();
    }

private:
    int32_t add(std::vector<TocNode>& list, NodeIndex link, int32_t parent, uint32_t depth) {
        TocNode node;
        node.label = std::string(trimmed(decodeCharacterReferences(parser_.textContent(link).toUtf8()).text));
        node.target = decodeCharacterReferences(parser_.attribute(link, "href").toUtf8()).text;
        node.depth = depth;
        node.parent = parent;
        const auto index = static_cast<int32_t>(list.size());
        if (parent != kNoTocNode) {
            TocNode& above = list[static_cast<size_t>(parent)];
            if (above.firstChild == kNoTocNode) above.firstChild = index;
            above.lastChild = index;
        }
        list.push_back(std::move(node));
        return index;
    }

    NodeIndex child(NodeIndex element, std::string_view name) const { return childElement(parser_, element, name); }
    std::vector<NodeIndex> children(NodeIndex element, std::string_view name) const {
        return childElements(parser_, element, name);
    }

    const XmlParser& parser_;
};

}  // namespace

bool readNavigationDocument(const std::string& path, TableOfContents& toc, FaultHeader& faults) {
    const std::unique_ptr<XmlParser> parsed = parseTocFile(path, faults);
    if (!parsed) return false;
    const XmlParser& parser = *parsed;
    NavigationReader reader(parser);
    const NodeIndex nav = reader.tocNav();
    return nav != kNoNode && reader.read(nav, toc.navMap);
}

}  // namespace qp
