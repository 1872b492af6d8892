// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Prints the result of looking a word up: each matching entry with how it matched and, for each group of
// its tags 1 (text position) and 2 (text length), the entry's text with the markup removed.
#include <ostream>
#include <string>

#include "kova_book.h"

namespace kova {

// Returns true when the word was found.
bool printLookup(const Book& book, const std::string& word, std::ostream& out);

// The book text from position for length bytes, without markup, as UTF-8.
std::string plainText(const Book& book, uint64_t position, uint64_t length);

}  // namespace kova
