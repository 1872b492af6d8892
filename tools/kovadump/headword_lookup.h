// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Looking a word up in a book the way a reading device does: through the orthographic index, by the index's
// own comparison. A lookup gathers matches together with how each was found, so that other ways of finding an
// entry (inflected forms, spelling) can add their matches beside the headword's.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "kova_book.h"

namespace kova {

// How an entry was found: by its key, by a rule of the inflection index that leads from the word to the
// entry's headword, or by a spelling that sounds the same (the spell index).
enum class MatchKind { headword, inflection, spelling };

const char* matchKindName(MatchKind kind);

struct LookupMatch {
    size_t rank = 0;  // of the entry in the orthographic index
    MatchKind how = MatchKind::headword;
    // For an inflection: the group entry and the rule entry (none for an old-style group) in the inflection index.
    size_t group = 0;
    std::optional<size_t> rule;
};

struct Lookup {
    const BookIndex* index = nullptr;  // the orthographic index, when the book has one
    std::vector<LookupMatch> matches;
    std::string problem;  // why the word could not be looked for at all
};

// Looks the word up by headword, then among the forms the inflection rules make of the headwords (applied
// strictly, as a device does), then through the spell index; each entry is listed once, with the first way that
// found it.
Lookup lookUp(const Book& book, const std::string& word);

// Ranks of the entries whose key equals the query by the index's folded comparison: a binary search over
// the master entries of the header record, then over the entries of the data record chosen; equal keys
// that continue into the next records are followed.
std::vector<size_t> findKey(const BookIndex& index, const IndexKey& query);

}  // namespace kova
