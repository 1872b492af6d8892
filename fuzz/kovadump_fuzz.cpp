// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes read as a book: the reader, both printers, the index tables and the headword lookup must
// stay within bounds and end.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <vector>

#include "book_printer.h"
#include "index_printer.h"
#include "kova_book.h"
#include "lookup_printer.h"
#include "palmdoc_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kova::Book book = kova::Book::fromBytes(std::vector<uint8_t>(data, data + size));
    std::ostringstream out;
    kova::printListing(book, out);
    kova::printJson(book, out);
    for (const kova::BookIndex& index : book.indexes()) {
        kova::printIndexTable(index, out);
        // Look up the index's own keys, which exist, and a word that lies between them.
        if (!index.entries.empty()) {
            kova::printLookup(book, index.keyText(index.entries.front().key), out);
            kova::printLookup(book, index.keyText(index.entries.back().key), out);
        }
    }
    kova::printLookup(book, "caf\xC3\xA9", out);
    kova::palmdocDecode(data, size);
    return 0;
}
