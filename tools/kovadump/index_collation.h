// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The order of an index's keys, from the tables in its header record. Western: each byte through the ordering
// table, a ligature byte standing for its two letters. Unicode: each table position through its fold. Sort
// values of 0 are skipped, the sequences compare as unsigned numbers, a proper prefix first. An exact index
// breaks ties by the raw key bytes. An index without tables compares the raw bytes alone.
#include <cstdint>
#include <string>
#include <vector>

#include "index_key.h"
#include "index_tables.h"

namespace kova {

class IndexCollation {
public:
    IndexCollation(const IndexTables& tables, KeyForm form, bool exact);

    // True when the index carries the tables its keys are sorted by.
    bool hasTables() const { return kind_ != Kind::binary; }
    // "western" (ordering table), "unicode" (folds of the character table) or "binary".
    const char* kindName() const;

    std::vector<uint16_t> sortValues(const IndexKey& key) const;
    // Order by the sort values alone (below 0, 0, above 0): the equality a lookup matches by.
    int compareFolded(const IndexKey& a, const IndexKey& b) const;
    // The index's full order, with the tie-break of an exact index.
    int compare(const IndexKey& a, const IndexKey& b) const;

    // The sort values as text: the letters of a western key, the fold characters of a Unicode key.
    std::string foldedText(const IndexKey& key) const;

private:
    enum class Kind { western, unicode, binary };
    const IndexTables& tables_;
    Kind kind_;
    bool exact_;
};

}  // namespace kova
