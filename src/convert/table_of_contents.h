// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The table of contents read from an NCX file (or an ePub 3 navigation document): the navigation map (a tree of any
// depth) and the navigation lists (each list with its targets), placed in the book text through the anchor table.
#include <cstdint>
#include <string>
#include <vector>

#include "core/fault.h"

namespace qp {

class LinkTable;

constexpr int32_t kNoTocNode = -1;

// A named value of a node: the text of a `tqp:meta`, or the source of a `tqp:meta-img` picture.
struct TocProperty {
    std::string name;
    std::string value;  // UTF-8 text, or the picture's path made absolute once placed
    bool image = false;
};

struct TocNode {
    std::string label;            // UTF-8
    std::string className;        // empty when absent
    std::string target;           // the `src` of the `content` child; empty for a navigation list itself
    uint32_t position = 0;        // text position of the target, once placed
    uint32_t length = 0;          // length of the text the node covers (navigation map nodes)
    uint32_t depth = 0;           // 0 for the top level
    int32_t parent = kNoTocNode;  // indexes into the same list
    int32_t firstChild = kNoTocNode;
    int32_t lastChild = kNoTocNode;
    std::vector<TocProperty> properties;
};

struct TableOfContents {
    std::vector<TocNode> navMap;
    std::vector<TocNode> navLists;  // each `navList` followed by its `navTarget`s at depth 1
};

// Reads the NCX file at `path` (UTF-8, "/" separators). False when the file cannot be read or is not a
// table of contents (no `ncx` root, a node without `content`, `src` or label); faults go to `faults`.
bool readNcx(const std::string& path, TableOfContents& toc, FaultHeader& faults);

// Reads the table of contents of an ePub 3 navigation document (an XHTML file with a `nav` list) into the
// navigation map. False when the file cannot be read or holds no `nav` with a list of links.
bool readNavigationDocument(const std::string& path, TableOfContents& toc, FaultHeader& faults);

// Places every node: its target (relative to the NCX file's folder) looked up in the anchor table, the
// lengths of the navigation map measured, and each child checked to lie inside its parent. False, with
// error TocLinkUnresolved or TocScopeOutsideParent, when that fails.
bool placeTableOfContents(TableOfContents& toc, LinkTable& links, const std::string& ncxPath, uint64_t textLength,
                          FaultHeader& faults);

}  // namespace qp
