// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Prints a read book: a readable listing, or one JSON object.
#include <ostream>

#include "kova_book.h"

namespace kova {

void printListing(const Book& book, std::ostream& out);
void printJson(const Book& book, std::ostream& out);

}  // namespace kova
