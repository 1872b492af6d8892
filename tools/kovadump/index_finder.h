// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finds the indexes of a book: every index record field of record 0, the dependent index behind an index,
// and the indexes the naming index lists (its tag 1 counts records from the first non-book record). Each
// index is read once, however many fields name it.
#include <string>
#include <vector>

#include "book_header.h"
#include "book_index.h"
#include "byte_view.h"

namespace kova {

std::vector<BookIndex> readBookIndexes(const std::vector<ByteView>& records, const KovaHeader& kova,
                                       std::vector<std::string>& faults);

}  // namespace kova
