// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The table of contents as an index: every node an entry keyed by its sequence number in hexadecimal, with its
// label, depth, tree links, position, length, class and properties as tags; and the entries of the navigation
// map as the text records' trailing index entries see them.
#include <cstdint>
#include <memory>
#include <vector>

#include "container/trailing_entries.h"
#include "convert/table_of_contents.h"
#include "index/index.h"

namespace qp {

class MediaTable;

struct TocIndex {
    std::unique_ptr<Index> index;
    std::vector<TocEntry> trailingEntries;
};

// Labels, classes and properties are stored in the book text's code page (1252 or 65001).
TocIndex buildTocIndex(const TableOfContents& toc, int32_t textCodePage, uint16_t language, const MediaTable& media);

}  // namespace qp
