// Arbitrary bytes read as a book: the reader and both printers must stay within bounds and end.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <vector>

#include "book_printer.h"
#include "kova_book.h"
#include "palmdoc_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kova::Book book = kova::Book::fromBytes(std::vector<uint8_t>(data, data + size));
    std::ostringstream out;
    kova::printListing(book, out);
    kova::printJson(book, out);
    kova::palmdocDecode(data, size);
    return 0;
}
