// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the source tells about the book: the values that record 0 and its EXTH block will carry, the cover,
// the start reading location and the table of contents file.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "container/book_type.h"

namespace qp {

// One metadata entry that becomes an EXTH record: a text (UTF-8) or a value already in its stored form.
struct MetadataEntry {
    uint32_t type = 0;
    std::string text;
    std::optional<std::vector<uint8_t>> stored;
};

// A link target given as an href relative to a file (the guide's start reference).
struct StartLocation {
    std::string baseFile;
    std::string href;
};

struct BookMetadata {
    std::string title;  // UTF-8
    std::optional<std::string> databaseName;
    std::vector<MetadataEntry> entries;
    uint32_t exthFlags = 0;
    uint32_t bookType = book_type::kBook;
    std::string coverPath;  // absolute, UTF-8
    std::optional<StartLocation> startReading;
    std::string ncxPath;              // the NCX file, or the navigation document when it is one
    bool navigationDocument = false;  // ncxPath is an ePub 3 navigation document
    uint16_t locale = 0;
    uint16_t inputLanguage = 0;
    uint16_t outputLanguage = 0;
    std::string defaultLookupIndex;  // index names, empty when the package names none
    std::string defaultLookupKey;
    std::vector<std::string> childBooks;  // built child books whose records the book carries, in order

    // A text entry; empty values are left out.
    void add(uint32_t type, std::string_view value);
    // Splits a list of names at ";" and adds each non-empty one as a creator.
    void addCreators(std::string_view names);
};

}  // namespace qp
