// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Prints the indexes of a book: a section of the listing, a part of the JSON object, and one index's entries
// as a table.
#include <ostream>
#include <string>

#include "json_writer.h"
#include "kova_book.h"

namespace kova {

void listIndexes(const Book& book, std::ostream& out);
void jsonIndexes(const Book& book, JsonWriter& json);

// The index whose header record number or name (its own, or its key in the naming index) is given.
const BookIndex* findIndex(const Book& book, const std::string& nameOrRecord);

void printIndexTable(const BookIndex& index, std::ostream& out);

// A tag's groups: "10", "5,128" for two groups, "(1 2),(3 4)" for groups of two values; the strings of a
// string tag follow each location in quotes.
std::string tagValuesText(const BookIndex& index, const TagValues& tag);

}  // namespace kova
