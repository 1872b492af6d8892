// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small books with one index each, their entries written byte by byte, for the index tests.
#include <string>
#include <vector>

#include "test_book.h"
#include "test_index.h"

namespace kovatest {

struct IndexBook {
    Record0Fields fields;
    std::string text;
    TestIndex index;
};

// A western orthographic index of "ant", "cafe" | "dog", "eel" in two data records, tags 1 and 2 pointing at
// "<b>ant</b> small<b>cafe</b> shop<b>dog</b> barks<b>eel</b> swims", 16 bytes each.
IndexBook westernLookupBook();

// A UTF-8 book with a UTF-16 orthographic index "words". Single-byte form: table 0 % _ a b é E, keys "ab", "bé".
// 16-bit form: table 0 % _ a o ő, keys "ao", "őa".
IndexBook unicodeLookupBook(bool singleByteForm);

// A table-of-contents index with keys "0", "1", "2" whose tag 3 labels "Intro", "Chapter" (string record 0)
// and "End" (string record 1) lie in two string records; tag 4 is the depth.
IndexBook tableOfContentsBook();

// The book file, its index records changed by patch first when one is given.
std::string bookBytes(const IndexBook& book, void (*patch)(std::vector<std::string>& records) = nullptr);

}  // namespace kovatest
