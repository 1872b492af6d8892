// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// `kovadump BOOK --html DIR`: a static preview of the book that any browser opens from the disk, with nothing
// fetched from elsewhere. Everything in it comes from the book as a device reads it:
//   index.html            the title panel: cover, thumbnail, title, authors, language, every EXTH record, the
//                         book's figures and, for an unsound book, its faults
//   text/partNNNN.html    the pages (preview_pages.h), with the contents sidebar and, for a dictionary, the
//                         search box
//   images/imageNNNNN.*   the image and media records, as --extract writes them
//   assets/preview.css, assets/preview.js   the page's own style and script (tools/kovadump/preview/)
//   data/contents.js      the table of contents, the guide and the start reading position, for the sidebar
//   data/search.js, ...   the dictionary search data (preview_search.h)
#include <filesystem>
#include <string>

#include "kova_book.h"

namespace kova {

// Writes the preview into the folder (created when missing); false with the error when it cannot be written.
bool writeHtmlPreview(const Book& book, const std::filesystem::path& folder, std::string& error);

}  // namespace kova
