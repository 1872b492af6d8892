// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the HTML preview makes of each element of a book's text. The device's vocabulary maps to HTML5 and CSS:
// `font` sizes, faces and colours, `align`, `width` (first-line indent) and `height` (space above) of blocks,
// lists, tables, `recindex` pictures and `filepos` links. Only known elements and attributes pass, each value
// checked and escaped; elements the preview does not know keep their content and lose their tags.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "book_markup.h"

namespace kova {

enum class ElementRole {
    container,    // start and end tags around content
    empty,        // an element without content: a void element (br, hr, img) or a marked empty span
    pageBreak,    // tqp:pagebreak
    dropped,      // the tags go, the content stays
    droppedWhole  // the element and its content go (scripts, styles, the head)
};

// The file of each image record, by record number - 1, relative to the preview's folder ("images/...").
struct PreviewImage {
    std::string file;
    bool picture = false;  // false for a media record, which an img cannot show
};

// Where the pages are, seen from the preview's folder, and the way back.
constexpr const char* kPagesFolder = "text/";
constexpr const char* kPagesToRoot = "../";

// The position a filepos value names; nothing when it is no number (a link the build never resolved).
std::optional<uint64_t> fileposTarget(std::string_view value);

// The image record a recindex value or the digits of a "$00001" link name; null when the book has none.
const PreviewImage* imageRecord(std::string_view number, const std::vector<PreviewImage>& images);

struct PreviewElement {
    ElementRole role = ElementRole::dropped;
    std::string name;        // the HTML element
    std::string attributes;  // escaped, each with its leading space
    // A link into the text: its target position; the href is written when the target's page is known.
    std::optional<uint64_t> target;
};

PreviewElement previewElement(const MarkupTag& tag, const std::vector<PreviewImage>& images);

// Whether an open element of this HTML name ends where `opening` starts, as an HTML parser would end it
// (a paragraph at a block, a list item at the next item, a cell at the next cell or row).
bool endsAt(const std::string& open, const std::string& opening);

// Elements at which an open element of the list stops looking for `opening`'s implied end.
bool scopesImpliedEnds(const std::string& open, const std::string& opening);

}  // namespace kova
