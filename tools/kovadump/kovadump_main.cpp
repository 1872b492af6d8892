// kovadump BOOK [--json | --text]: checks a KOVA book and prints its structure, metadata and text.
// Exit code 0 for a sound book, 1 when structural faults were found, 2 for usage errors or an
// unreadable file.
#include <iostream>
#include <string>

#include "book_printer.h"
#include "kova_book.h"

namespace {

enum class Output { listing, json, text };

int usage() {
    std::cerr << "usage: kovadump BOOK [--json | --text]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string path;
    Output output = Output::listing;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--json")
            output = Output::json;
        else if (arg == "--text")
            output = Output::text;
        else if (arg.starts_with("--") || !path.empty())
            return usage();
        else
            path = arg;
    }
    if (path.empty()) return usage();

    kova::Book book = kova::Book::fromFile(path);
    if (!book.loadError().empty()) {
        std::cerr << "kovadump: " << book.loadError() << '\n';
        return 2;
    }
    switch (output) {
        case Output::listing: kova::printListing(book, std::cout); break;
        case Output::json: kova::printJson(book, std::cout); break;
        case Output::text:
            std::cout.write(reinterpret_cast<const char*>(book.text().data()),
                            static_cast<std::streamsize>(book.text().size()));
            break;
    }
    std::cout.flush();
    for (const std::string& fault : book.faults()) std::cerr << "kovadump: " << fault << '\n';
    return book.faults().empty() ? 0 : 1;
}
