// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The data of the preview's offline dictionary search, taken from the book's own indexes so that the page
// finds exactly what `--lookup` finds: a headword, a form that the inflection rules make of a headword
// (applied strictly, as a device applies them) and a misspelling with the same phonetic form.
//
// Every way of finding an entry is reduced to one key: "L" and the sort values of the word as the lookup index
// compares it (headwords and inflected forms), or "S" and the sort values of its phonetic form as the spell
// index compares it. The page computes the same keys for what is typed, from the index's own tables and the
// six spell tables, which the data carries (preview/preview.js holds the phonetic rules' interpreter).
//
// Files, all loaded only when a search needs them:
//   data/search.js          the tables, the first key of each key chunk, the number of entries per chunk
//   data/keys-NNNN.js       [[key, [[rank, way, group, rule], ...]], ...] in key order; way 0 headword,
//                           1 inflection (rule -1 for an old-style group), 2 spelling; ways in the order a
//                           lookup tries them
//   data/entries-NNNN.js    [[headword, [[href, excerpt], ...]], ...] by rank: each text of the entry
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "kova_book.h"
#include "preview_pages.h"

namespace kova {

// The orthographic index that a search looks in, or null when the book is no dictionary.
const BookIndex* searchIndex(const Book& book);

// Positions of the entries' texts, which the pages give anchors for the results to link to.
std::vector<uint64_t> searchTargets(const Book& book);

// Writes the search data into the preview's data folder; false with the error when a file cannot be written.
bool writeSearchData(const Book& book, const PreviewText& text, const std::filesystem::path& dataFolder,
                     std::string& error);

}  // namespace kova
