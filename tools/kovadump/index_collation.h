// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The order of an index's keys, from the tables in its header record. Western: each byte through the ordering
// table, a ligature byte standing for its two letters. Unicode: each table position through its fold. Sort
// values of 0 are skipped, the sequences compare as unsigned numbers, a proper prefix first. An exact index
// breaks ties by the raw key bytes. An index without tables compares the raw bytes alone.
#include <bitset>
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
    // Calls add(value) for each sort value of the key, in order, without gathering them.
    template <typename Add>
    void forEachSortValue(const IndexKey& key, Add add) const;
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
    std::bitset<256> ligatureBytes_;  // the bytes that may be ligatures, so that most need no search
};

template <typename Add>
void IndexCollation::forEachSortValue(const IndexKey& key, Add add) const {
    const auto addKept = [&](uint16_t value) {
        if (value != 0) add(value);
    };
    for (uint16_t unit : key.units) {
        switch (kind_) {
            case Kind::binary: add(unit); break;
            case Kind::unicode: addKept(unit < tables_.folds.size() ? tables_.folds[unit] : 0); break;
            case Kind::western: {
                const Ligature* ligature = nullptr;
                if (ligatureBytes_.test(unit & 0xFF))
                    for (const Ligature& l : tables_.ligatures)
                        if (l.ligature == unit) {
                            ligature = &l;
                            break;
                        }
                if (!ligature) {
                    addKept(tables_.sortValues[unit & 0xFF]);
                } else {
                    addKept(tables_.sortValues[ligature->firstLetterByte]);
                    addKept(tables_.sortValues[ligature->secondLetter]);
                }
                break;
            }
        }
    }
}

}  // namespace kova
