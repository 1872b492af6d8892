// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The child books a book carries: record 0 names the first merged record (offset 224) and the number of
// merged records (offset 228). Each child is a whole book of its own, from its record 0 (with "KOVA" at
// offset 16) up to and including its end-of-file record, and its record numbers count from that record 0.
#include <cstddef>
#include <string>
#include <vector>

#include "kova_book.h"

namespace kova {

struct MergedBook {
    size_t firstRecord = 0;  // in the carrying book
    size_t recordCount = 0;
    Book book;  // the child, read on its own
};

// The merged children in order. What does not split into whole books is appended to `faults`.
std::vector<MergedBook> readMergedBooks(const Book& book, std::vector<std::string>& faults);

}  // namespace kova
