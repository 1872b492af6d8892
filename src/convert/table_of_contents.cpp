// SPDX-License-Identifier: GPL-3.0-or-later
// Placing the table of contents in the book text: targets through the anchor table, the lengths of the
// navigation map, and the check that every child lies inside its parent.
#include "convert/table_of_contents.h"

#include <algorithm>
#include <numeric>

#include "convert/link_table.h"
#include "core/message_sink.h"

namespace qp {

namespace {

uint64_t endOf(const TocNode& node) { return uint64_t{node.position} + node.length; }

// A navigation list itself (a list node at depth 0) has no target of its own; every other node needs one, and an
// empty target names no place.
bool resolveTargets(std::vector<TocNode>& nodes, bool lists, LinkTable& links, const std::string& ncxPath,
                    FaultHeader& faults) {
    for (TocNode& node : nodes) {
        for (TocProperty& property : node.properties) {
            if (property.image) property.value = links.normalizer().target(ncxPath, property.value).file;
        }
        if (lists && node.depth == 0) continue;
        const std::optional<uint64_t> position =
            node.target.empty() ? std::nullopt : links.resolve(ncxPath, node.target);
        if (!position || *position > UINT32_MAX) {
            report(faults, ErrorCode::TocLinkUnresolved, node.target);
            return false;
        }
        node.position = static_cast<uint32_t>(*position);
    }
    return true;
}

// In order of position (ties by depth), a node reaches to the next node at its depth or above. The last
// such node, and one that shares its position with the next, reach to the end of the text; a node with a
// parent that shares its position with the next reaches to its parent's end instead, since two siblings on
// one place would otherwise make the first overrun its parent.
void measure(std::vector<TocNode>& nodes, uint64_t textLength) {
    std::vector<size_t> order(nodes.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return nodes[a].position != nodes[b].position ? nodes[a].position < nodes[b].position
                                                      : nodes[a].depth < nodes[b].depth;
    });
    std::vector<bool> sharesPlace(nodes.size(), false);
    std::vector<size_t> following;  // the nodes after the current one that may still be someone's next
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        TocNode& node = nodes[*it];
        while (!following.empty() && nodes[following.back()].depth > node.depth) following.pop_back();
        const uint64_t distance = following.empty() ? 0 : nodes[following.back()].position - node.position;
        sharesPlace[*it] = !following.empty() && distance == 0;
        node.length = static_cast<uint32_t>(distance != 0 ? distance : textLength - node.position);
        following.push_back(*it);
    }
    // Parents come before their children in reading order, so a parent's end is final when its child needs it.
    for (size_t i = 0; i < nodes.size(); ++i) {
        TocNode& node = nodes[i];
        if (!sharesPlace[i] || node.parent == kNoTocNode) continue;
        const uint64_t parentEnd = endOf(nodes[static_cast<size_t>(node.parent)]);
        node.length = static_cast<uint32_t>(parentEnd > node.position ? parentEnd - node.position : 0);
    }
}

bool checkScopes(std::vector<TocNode>& nodes, FaultHeader& faults) {
    for (TocNode& node : nodes) node.firstChild = node.lastChild = kNoTocNode;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const TocNode& node = nodes[i];
        if (node.parent == kNoTocNode) continue;
        TocNode& parent = nodes[static_cast<size_t>(node.parent)];
        if (node.position < parent.position || endOf(node) > endOf(parent)) {
            report(faults, ErrorCode::TocScopeOutsideParent, node.label);
            return false;
        }
        const auto index = static_cast<int32_t>(i);
        if (parent.firstChild == kNoTocNode || node.position < nodes[parent.firstChild].position) {
            parent.firstChild = index;
        }
        if (parent.lastChild == kNoTocNode || node.position >= nodes[parent.lastChild].position) {
            parent.lastChild = index;
        }
    }
    return true;
}

}  // namespace

bool placeTableOfContents(TableOfContents& toc, LinkTable& links, const std::string& ncxPath, uint64_t textLength,
                          FaultHeader& faults) {
    if (!resolveTargets(toc.navMap, false, links, ncxPath, faults) ||
        !resolveTargets(toc.navLists, true, links, ncxPath, faults))
        return false;
    measure(toc.navMap, textLength);
    return checkScopes(toc.navMap, faults);
}

}  // namespace qp
