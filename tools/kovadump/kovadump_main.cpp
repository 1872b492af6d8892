// SPDX-License-Identifier: GPL-3.0-or-later
// kovadump BOOK [--json | --text | --toc | --extract DIR | --index NAME_OR_RECORD | --lookup WORD | --html DIR]:
// checks a KOVA book and prints its structure, metadata, text, image records and indexes; or only the table of
// contents as a tree; or writes the image records into DIR as image00001.jpg and so on; or prints one index's
// entries; or looks a word up in the orthographic index; or writes a static HTML preview of the book into DIR.
// Exit code 0 for a sound book, 1 when structural faults were found or the word was not found (an unsound
// book still gets its preview, which lists the faults), 2 for usage errors, an unreadable file, an unknown
// index, or images or a preview that cannot be written.
#include <filesystem>
#include <iostream>
#include <string>

#include "book_printer.h"
#include "html_preview.h"
#include "index_printer.h"
#include "kova_book.h"
#include "lookup_printer.h"
#include "toc_tree.h"

namespace {

enum class Output { listing, json, text, toc, extract, index, lookup, html };

int usage() {
    std::cerr << "usage: kovadump BOOK [--json | --text | --toc | --extract DIR | --index NAME_OR_RECORD | "
                 "--lookup WORD | --html DIR]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string path;
    std::string argument;  // of --extract, --index, --lookup or --html
    Output output = Output::listing;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--json")
            output = Output::json;
        else if (arg == "--text")
            output = Output::text;
        else if (arg == "--toc")
            output = Output::toc;
        else if ((arg == "--extract" || arg == "--index" || arg == "--lookup" || arg == "--html") && i + 1 < argc) {
            output = arg == "--extract"  ? Output::extract
                     : arg == "--index"  ? Output::index
                     : arg == "--lookup" ? Output::lookup
                                         : Output::html;
            argument = argv[++i];
        } else if (arg.starts_with("--") || !path.empty())
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
    bool found = true;
    switch (output) {
        case Output::listing: kova::printListing(book, std::cout); break;
        case Output::json: kova::printJson(book, std::cout); break;
        case Output::text:
            std::cout.write(reinterpret_cast<const char*>(book.text().data()),
                            static_cast<std::streamsize>(book.text().size()));
            break;
        case Output::toc:
            if (const std::optional<kova::TocTree> toc = kova::readTocTree(book)) {
                kova::printTocTree(*toc, std::cout);
                break;
            }
            std::cerr << "kovadump: the book has no table of contents\n";
            return 2;
        case Output::extract: {
            std::string error;
            if (!kova::extractImages(book, argument, error)) {
                std::cerr << "kovadump: " << error << '\n';
                return 2;
            }
            for (const kova::ImageRecord& image : book.imageRecords())
                std::cout << (std::filesystem::path(argument) / kova::imageFileName(image)).string() << '\n';
            break;
        }
        case Output::index:
            if (const kova::BookIndex* index = kova::findIndex(book, argument)) {
                kova::printIndexTable(*index, std::cout);
                break;
            }
            std::cerr << "kovadump: the book has no index " << argument << '\n';
            return 2;
        case Output::lookup: found = kova::printLookup(book, argument, std::cout); break;
        case Output::html: {
            std::string error;
            if (!kova::writeHtmlPreview(book, argument, error)) {
                std::cerr << "kovadump: " << error << '\n';
                return 2;
            }
            std::cout << (std::filesystem::path(argument) / "index.html").string() << '\n';
            break;
        }
    }
    std::cout.flush();
    for (const std::string& fault : book.faults()) std::cerr << "kovadump: " << fault << '\n';
    return book.faults().empty() && found ? 0 : 1;
}
