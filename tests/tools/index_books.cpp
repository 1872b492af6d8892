// SPDX-License-Identifier: GPL-3.0-or-later
#include "index_books.h"

namespace kovatest {

namespace {

// TAGX of tags 1 and 2, one value per group, one bit each in one control byte.
std::string positionTagx() { return tagxBlock(1, {{1, 1, 0x01, 0}, {2, 1, 0x02, 0}, {0, 0, 0, 1}}); }

IndexBook textBook(const std::string& text, uint32_t encoding) {
    IndexBook book;
    book.text = text;
    book.fields.textLength = static_cast<uint32_t>(text.size());
    book.fields.encoding = encoding;
    book.fields.orthographicIndex = 0;
    return book;
}

}  // namespace

IndexBook westernLookupBook() {
    IndexBook book = textBook("<b>ant</b> small<b>cafe</b> shop<b>dog</b> barks<b>eel</b> swims", 1252);
    TestIndex& index = book.index;
    index.tagx = positionTagx();
    index.records = {{bytes({3, 'a', 'n', 't', 0x03, 0x80, 0x90}), bytes({4, 'c', 'a', 'f', 'e', 0x03, 0x90, 0x90})},
                     {bytes({3, 'd', 'o', 'g', 0x03, 0xA0, 0x90}), bytes({3, 'e', 'e', 'l', 0x03, 0xB0, 0x90})}};
    index.masterKeys = {bytes({4, 'c', 'a', 'f', 'e'}), bytes({3, 'e', 'e', 'l'})};
    index.ordt = westernOrdt();
    index.ligt = westernLigt();
    return book;
}

IndexBook unicodeLookupBook(bool singleByteForm) {
    IndexBook book = textBook("<b>ab</b> one<b>b\xC3\xA9</b> two", 65001);
    TestIndex& index = book.index;
    index.name = std::string("w\0o\0r\0d\0s\0", 10);  // the name in the index's code page, UTF-16
    index.codePage = 65002;
    index.tagx = positionTagx();
    index.singleByteForm = singleByteForm ? 1 : 0;
    if (singleByteForm) {
        index.characterCount = 7;
        index.characters = bytes({0x00, 0x25, 0x5F, 0x61, 0x62, 0xE9, 0x45});
        index.folds = bytes({0, 0, 0, 0x25, 0, 0x5F, 0, 0x61, 0, 0x62, 0, 0x65, 0, 0x65});
        // "ab" at 0 for 13 bytes, "bé" at 13 for 14 bytes.
        index.records = {{bytes({2, 3, 4, 0x03, 0x80, 0x8D}), bytes({2, 4, 5, 0x03, 0x8D, 0x8E})}};
        index.masterKeys = {bytes({2, 4, 5})};
    } else {
        index.characterCount = 6;
        index.characters = bytes({0, 0, 0, 0x25, 0, 0x5F, 0, 0x61, 0, 0x6F, 0x01, 0x51});
        index.folds = bytes({0, 0, 0, 0x25, 0, 0x5F, 0, 0x61, 0, 0x6F, 0, 0x6F});
        index.records = {{bytes({4, 0, 3, 0, 4, 0x03, 0x80, 0x81}), bytes({4, 0, 5, 0, 3, 0x03, 0x81, 0x81})}};
        index.masterKeys = {bytes({4, 0, 5, 0, 3})};
    }
    return book;
}

IndexBook tableOfContentsBook() {
    IndexBook book = textBook("<p>Intro</p>", 1252);
    book.fields.orthographicIndex = 0xFFFFFFFF;
    book.fields.ncxIndex = 0;
    TestIndex& index = book.index;
    index.name = "";
    index.tagx = tagxBlock(1, {{3, 1, 0x01, 0}, {4, 1, 0x02, 0}, {0, 0, 0, 1}});
    // Locations 0, 6 and 65536 (0x04 0x00 0x80).
    index.records = {{bytes({1, '0', 0x03, 0x80, 0x80}), bytes({1, '1', 0x03, 0x86, 0x81}),
                      bytes({1, '2', 0x03, 0x04, 0x00, 0x80, 0x81})}};
    index.masterKeys = {bytes({1, '2'})};
    index.ordt = westernOrdt();
    index.ligt = westernLigt();
    index.stringRecords = {bytes({0x85}) + "Intro" + bytes({0x87}) + "Chapter", bytes({0x83}) + "End"};
    return book;
}

std::string bookBytes(const IndexBook& book, void (*patch)(std::vector<std::string>& records)) {
    std::vector<std::string> records = indexRecords(book.index);
    if (patch) patch(records);
    return bookFile(book.fields, {book.text}, records);
}

}  // namespace kovatest
