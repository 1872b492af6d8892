// SPDX-License-Identifier: GPL-3.0-or-later
#include "index_collation.h"

#include <algorithm>

#include "text_encoding.h"

namespace kova {

namespace {

template <typename T>
int compareSequences(const std::vector<T>& a, const std::vector<T>& b) {
    auto [x, y] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (x != a.end() && y != b.end()) return *x < *y ? -1 : 1;
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

}  // namespace

IndexCollation::IndexCollation(const IndexTables& tables, KeyForm form, bool exact)
    : tables_(tables), kind_(form != KeyForm::bytes && !tables.folds.empty() ? Kind::unicode
                             : form == KeyForm::bytes && tables.western()    ? Kind::western
                                                                             : Kind::binary),
      exact_(exact) {
    for (const Ligature& ligature : tables.ligatures) ligatureBytes_.set(ligature.ligature);
}

const char* IndexCollation::kindName() const {
    switch (kind_) {
        case Kind::western: return "western";
        case Kind::unicode: return "unicode";
        case Kind::binary: break;
    }
    return "binary";
}

std::vector<uint16_t> IndexCollation::sortValues(const IndexKey& key) const {
    std::vector<uint16_t> values;
    values.reserve(key.units.size());
    forEachSortValue(key, [&](uint16_t value) { values.push_back(value); });
    return values;
}

int IndexCollation::compareFolded(const IndexKey& a, const IndexKey& b) const {
    return compareSequences(sortValues(a), sortValues(b));
}

int IndexCollation::compare(const IndexKey& a, const IndexKey& b) const {
    int folded = compareFolded(a, b);
    if (folded != 0 || !exact_ || kind_ == Kind::binary) return folded;
    return compareSequences(a.bytes, b.bytes);
}

std::string IndexCollation::foldedText(const IndexKey& key) const {
    std::string text;
    for (uint16_t value : sortValues(key)) {
        if (kind_ == Kind::western)
            appendUtf8(text, characterOf1252(static_cast<uint8_t>(value)));
        else if (kind_ == Kind::unicode)
            appendUtf8(text, value);
    }
    return text;
}

}  // namespace kova
