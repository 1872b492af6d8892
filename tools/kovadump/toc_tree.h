// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The table of contents of a book: the index record 0 names at offset 244, read as a tree. Each entry carries
// its label (tag 3) and class (tag 5) as string locations, its depth (4), its text position and length (1, 2),
// its parent, first and last child as ranks (21, 22, 23) and properties (69 to 100). Keys beginning with "|"
// belong to the navigation lists; the others to the navigation map.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "kova_book.h"

namespace kova {

struct TocTreeNode {
    size_t rank = 0;
    std::string key;
    std::string label;  // UTF-8
    std::string className;
    uint32_t depth = 0;
    uint32_t position = 0;
    uint32_t length = 0;
    std::optional<size_t> parent;
    std::optional<size_t> firstChild;
    std::optional<size_t> lastChild;
    std::vector<std::pair<uint8_t, uint32_t>> properties;  // tag and value
    bool inNavigationList = false;
};

struct TocTree {
    const BookIndex* index = nullptr;
    std::vector<TocTreeNode> nodes;  // by rank
};

// The book's table of contents; nothing when record 0 names none or it was not read.
std::optional<TocTree> readTocTree(const Book& book);
// Faults of the tree against the book: positions outside the text or not on a tag, children outside their
// parents, links to entries that do not exist, and text records whose trailing index entries disagree with
// the navigation map (an item naming no entry, or not overlapping the record; an entry that begins in a record
// and is missing from its items).
std::vector<std::string> checkTocTree(const Book& book, const TocTree& tree);
// The entries in reading order, each with its nesting level: roots in rank order, each followed by its
// children depth first; entries that no root leads to (a loop of parents) come last, as roots.
struct TocLine {
    size_t rank = 0;
    size_t level = 0;
};
std::vector<TocLine> tocReadingOrder(const TocTree& tree);
// The tree indented by depth: label, position, length, class and properties.
void printTocTree(const TocTree& tree, std::ostream& out);

}  // namespace kova
