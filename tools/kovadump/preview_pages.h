// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The book's text as the pages of the HTML preview. The text after <body> is mapped element by element
// (preview_elements.h); each page break ends a page, shown as its own sheet. The pages go into files of one
// chapter or more: a page break starts a new file once the file holds kChapterBytes of the book's text, and a
// file that grows past kFileBytes ends at the next element outside any other (past kFileBytesAtMost, at the
// next tag, the open elements closed and opened again), so that a large dictionary opens quickly.
//
// Every position that something points at (filepos links, the guide, the table of contents, the start
// reading position, dictionary entries) gets an anchor id "p<position>": on the element whose tag starts there,
// else on an empty span at the first character or tag from there on.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "kova_book.h"
#include "preview_elements.h"

namespace kova {

constexpr size_t kChapterBytes = 16 * 1024;
constexpr size_t kFileBytes = 256 * 1024;
constexpr size_t kFileBytesAtMost = 1024 * 1024;

// A link in a file's HTML: its href is written at `offset` once every anchor's file is known.
struct PreviewLink {
    size_t offset = 0;
    uint64_t target = 0;
};

struct PreviewFile {
    std::string html;  // the pages, as <section class="page"> elements
    std::vector<PreviewLink> links;
    size_t pages = 0;
};

// A reference of the guide in the text's head: "toc", "start", "cover" and so on.
struct GuideReference {
    std::string title;
    std::string type;
    std::optional<uint64_t> target;  // filepos
    std::string imageFile;           // for an href="$00001" to an image record
};

struct PreviewText {
    std::vector<PreviewFile> files;
    std::vector<std::pair<uint64_t, size_t>> anchors;  // position and file, ascending
    std::vector<GuideReference> guide;

    // The file that holds the anchor of a position given among the targets.
    size_t fileOf(uint64_t target) const;
    // The same for many positions, in their order: one walk through the anchors instead of a search for each.
    std::vector<size_t> filesOf(const std::vector<uint64_t>& targets) const;

private:
    using Anchor = std::vector<std::pair<uint64_t, size_t>>::const_iterator;
    size_t fileOfAnchor(Anchor anchor, uint64_t target) const;
};

// The name of file n (from 0), as the pages link to each other: "part0001.html", ...
std::string previewFileName(size_t n);

// The text's pages with an anchor at each target; `startReading` gets a visible mark.
PreviewText renderPreviewText(const Book& book, std::vector<uint64_t> targets, std::optional<uint64_t> startReading,
                              const std::vector<PreviewImage>& images);

// Writes the HTML of a file with each link's href written in: "part0003.html#p1234".
void writeLinkedHtml(const PreviewText& text, const PreviewFile& file, std::ostream& out);

}  // namespace kova
