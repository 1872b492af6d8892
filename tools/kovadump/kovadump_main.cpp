// kovadump BOOK [--json | --text | --extract DIR]: checks a KOVA book and prints its structure, metadata,
// text and image records, or writes the image records into DIR as image00001.jpg and so on.
// Exit code 0 for a sound book, 1 when structural faults were found, 2 for usage errors, an
// unreadable file or images that cannot be written.
#include <filesystem>
#include <iostream>
#include <string>

#include "book_printer.h"
#include "kova_book.h"

namespace {

enum class Output { listing, json, text, extract };

int usage() {
    std::cerr << "usage: kovadump BOOK [--json | --text | --extract DIR]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string path;
    std::string extractDirectory;
    Output output = Output::listing;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--json")
            output = Output::json;
        else if (arg == "--text")
            output = Output::text;
        else if (arg == "--extract" && i + 1 < argc) {
            output = Output::extract;
            extractDirectory = argv[++i];
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
    switch (output) {
        case Output::listing: kova::printListing(book, std::cout); break;
        case Output::json: kova::printJson(book, std::cout); break;
        case Output::text:
            std::cout.write(reinterpret_cast<const char*>(book.text().data()),
                            static_cast<std::streamsize>(book.text().size()));
            break;
        case Output::extract: {
            std::string error;
            if (!kova::extractImages(book, extractDirectory, error)) {
                std::cerr << "kovadump: " << error << '\n';
                return 2;
            }
            for (const kova::ImageRecord& image : book.imageRecords())
                std::cout << (std::filesystem::path(extractDirectory) / kova::imageFileName(image)).string() << '\n';
            break;
        }
    }
    std::cout.flush();
    for (const std::string& fault : book.faults()) std::cerr << "kovadump: " << fault << '\n';
    return book.faults().empty() ? 0 : 1;
}
