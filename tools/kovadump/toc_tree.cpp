// SPDX-License-Identifier: GPL-3.0-or-later
#include "toc_tree.h"

#include <algorithm>
#include <set>

#include "text_encoding.h"

namespace kova {

namespace {

std::optional<uint32_t> first(const IndexEntry& entry, uint8_t tag) {
    const TagValues* values = entry.tag(tag);
    if (!values || values->values.empty()) return std::nullopt;
    return values->values[0];
}

std::string stringAt(const BookIndex& index, std::optional<uint32_t> location) {
    if (!location) return {};
    const std::optional<std::string> bytes = index.stringAt(*location);
    return bytes ? utf8FromTextEncoding(*bytes, index.textEncoding) : std::string();
}

std::string nodeName(const TocTreeNode& node) {
    return "toc entry " + std::to_string(node.rank) + " (" + node.key + ")";
}

uint64_t endOf(const TocTreeNode& node) { return uint64_t{node.position} + node.length; }

void checkLinks(const TocTree& tree, std::vector<std::string>& faults) {
    for (const TocTreeNode& node : tree.nodes) {
        for (const auto& [what, link] : {std::pair{"parent", node.parent}, std::pair{"first child", node.firstChild},
                                         std::pair{"last child", node.lastChild}}) {
            if (link && *link >= tree.nodes.size())
                faults.push_back(nodeName(node) + ": its " + what + " " + std::to_string(*link) + " does not exist");
        }
        if (!node.parent || *node.parent >= tree.nodes.size() || node.inNavigationList) continue;
        const TocTreeNode& parent = tree.nodes[*node.parent];
        if (node.position < parent.position || endOf(node) > endOf(parent))
            faults.push_back(nodeName(node) + " [" + std::to_string(node.position) + ", " +
                             std::to_string(endOf(node)) + ") is not inside its parent " + nodeName(parent));
    }
}

void checkPositions(const Book& book, const TocTree& tree, std::vector<std::string>& faults) {
    const std::vector<uint8_t>& text = book.text();
    for (const TocTreeNode& node : tree.nodes) {
        if (!node.inNavigationList || node.depth > 0) {
            if (endOf(node) > text.size())
                faults.push_back(nodeName(node) + " reaches to " + std::to_string(endOf(node)) + ", past the text (" +
                                 std::to_string(text.size()) + " bytes)");
            else if (node.position < text.size() && text[node.position] != '<')
                faults.push_back(nodeName(node) + " at " + std::to_string(node.position) + " is not on a tag");
        }
    }
}

// The trailing index entries name navigation map entries by depth and rank.
void checkTrailingEntries(const Book& book, const TocTree& tree, std::vector<std::string>& faults) {
    if (!(book.kova().extraRecordDataFlags & indexEntryFlag)) return;
    for (size_t i = 0; i < book.textRecords().size(); ++i) {
        const TextRecord& record = book.textRecords()[i];
        if (!record.decoded || !record.trailing.indexDecoded) continue;
        const uint64_t start = record.textStart;
        const uint64_t end = start + record.decodedLength;
        const std::string where = "text record " + std::to_string(i + 1) + ": ";
        std::set<size_t> named;
        for (const IndexEntryItem& item : record.trailing.indexItems) {
            for (uint32_t n = item.number; n < item.number + item.runCount; ++n) {
                if (n >= tree.nodes.size() || tree.nodes[n].inNavigationList ||
                    tree.nodes[n].depth != item.parentLevel) {
                    faults.push_back(where + "index entry item " + std::to_string(n) + " at level " +
                                     std::to_string(item.parentLevel) + " names no navigation map entry");
                    continue;
                }
                const TocTreeNode& node = tree.nodes[n];
                if (node.position >= end || endOf(node) <= start)
                    faults.push_back(where + "names " + nodeName(node) + ", which does not overlap the record");
                named.insert(n);
            }
        }
        for (const TocTreeNode& node : tree.nodes) {
            if (!node.inNavigationList && node.position >= start && node.position < end && !named.count(node.rank))
                faults.push_back(where + nodeName(node) + " begins in the record but is not among its index entries");
        }
    }
}

}  // namespace

std::optional<TocTree> readTocTree(const Book& book) {
    if (!book.hasHeaders() || book.kova().ncxIndex == noRecord) return std::nullopt;
    const BookIndex* index = book.indexAt(book.kova().ncxIndex);
    if (!index) return std::nullopt;
    TocTree tree;
    tree.index = index;
    for (size_t rank = 0; rank < index->entries.size(); ++rank) {
        const IndexEntry& entry = index->entries[rank];
        TocTreeNode node;
        node.rank = rank;
        node.key = index->keyText(entry.key);
        node.inNavigationList = node.key.starts_with("|");
        node.label = stringAt(*index, first(entry, 3));
        node.className = stringAt(*index, first(entry, 5));
        node.depth = first(entry, 4).value_or(0);
        node.position = first(entry, 1).value_or(0);
        node.length = first(entry, 2).value_or(0);
        if (auto parent = first(entry, 21)) node.parent = *parent;
        if (auto child = first(entry, 22)) node.firstChild = *child;
        if (auto child = first(entry, 23)) node.lastChild = *child;
        for (const TagValues& values : entry.tags)
            if (values.tag >= 69 && values.tag <= 100)
                for (uint32_t value : values.values) node.properties.push_back({values.tag, value});
        tree.nodes.push_back(std::move(node));
    }
    return tree;
}

std::vector<std::string> checkTocTree(const Book& book, const TocTree& tree) {
    std::vector<std::string> faults;
    checkLinks(tree, faults);
    checkPositions(book, tree, faults);
    checkTrailingEntries(book, tree, faults);
    return faults;
}

std::vector<TocLine> tocReadingOrder(const TocTree& tree) {
    std::vector<std::vector<size_t>> children(tree.nodes.size());
    for (const TocTreeNode& node : tree.nodes) {
        if (node.parent && *node.parent < tree.nodes.size() && *node.parent != node.rank)
            children[*node.parent].push_back(node.rank);
    }
    std::vector<TocLine> order;
    std::vector<bool> visited(tree.nodes.size(), false);
    std::vector<TocLine> stack;
    const auto visit = [&](size_t root) {
        stack.push_back({root, 0});
        while (!stack.empty()) {
            const TocLine line = stack.back();
            stack.pop_back();
            if (visited[line.rank]) continue;
            visited[line.rank] = true;
            order.push_back(line);
            for (auto child = children[line.rank].rbegin(); child != children[line.rank].rend(); ++child)
                stack.push_back({*child, line.level + 1});
        }
    };
    for (const TocTreeNode& node : tree.nodes)
        if (!node.parent || *node.parent >= tree.nodes.size()) visit(node.rank);
    for (const TocTreeNode& node : tree.nodes)
        if (!visited[node.rank]) visit(node.rank);
    return order;
}

void printTocTree(const TocTree& tree, std::ostream& out) {
    for (const TocLine& line : tocReadingOrder(tree)) {
        const TocTreeNode& node = tree.nodes[line.rank];
        out << std::string(2 * node.depth, ' ') << node.label << "  [" << node.position << " +" << node.length << "]";
        if (!node.className.empty()) out << " class=" << node.className;
        for (const auto& [tag, value] : node.properties) out << " tag" << unsigned{tag} << "=" << value;
        out << '\n';
    }
}

}  // namespace kova
