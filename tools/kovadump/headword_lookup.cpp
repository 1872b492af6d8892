#include "headword_lookup.h"

#include <algorithm>

namespace kova {

const char* matchKindName(MatchKind kind) {
    switch (kind) {
        case MatchKind::headword: return "headword";
    }
    return "";
}

std::vector<size_t> findKey(const BookIndex& index, const IndexKey& query) {
    IndexCollation collation = index.collation();
    auto master = std::partition_point(index.masters.begin(), index.masters.end(),
                                       [&](const MasterEntry& m) { return collation.compareFolded(m.key, query) < 0; });
    if (master == index.masters.end()) return {};
    const IndexDataRecord* data = index.dataRecord(master->number);
    if (!data) return {};
    auto first = index.entries.begin() + static_cast<std::ptrdiff_t>(data->firstEntry);
    auto end = first + static_cast<std::ptrdiff_t>(data->entryCount);
    auto found = std::partition_point(
        first, end, [&](const IndexEntry& entry) { return collation.compareFolded(entry.key, query) < 0; });
    std::vector<size_t> ranks;
    for (auto at = found; at != index.entries.end() && collation.compareFolded(at->key, query) == 0; ++at)
        ranks.push_back(static_cast<size_t>(at - index.entries.begin()));
    return ranks;
}

Lookup lookUp(const Book& book, const std::string& word) {
    Lookup lookup;
    if (book.kova().orthographicIndex != noRecord) lookup.index = book.indexAt(book.kova().orthographicIndex);
    if (!lookup.index) {
        lookup.problem = "the book has no orthographic index";
        return lookup;
    }
    const BookIndex& index = *lookup.index;
    std::optional<IndexKey> query = keyFromText(word, index.keyForm(), index.codePage(), index.tables);
    if (!query) {
        lookup.problem = "the index cannot hold its characters";
        return lookup;
    }
    for (size_t rank : findKey(index, *query)) lookup.matches.push_back({rank, MatchKind::headword});
    return lookup;
}

}  // namespace kova
