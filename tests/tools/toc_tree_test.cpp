// SPDX-License-Identifier: GPL-3.0-or-later
// The table of contents read back as a tree, and the faults kovadump finds in it.
#include "toc_tree.h"

#include <gtest/gtest.h>

#include <sstream>

#include "index_books.h"

namespace {

// "<p>Intro</p>" with two entries: "Intro" [0, 12) at depth 0 and "Chapter" at 3, 20 bytes long, depth 1, whose
// parent is entry 0: it is not on a tag, runs past the text and lies outside its parent.
kovatest::IndexBook faultyToc() {
    kovatest::IndexBook book;
    book.text = "<p>Intro</p>";
    book.fields.textLength = 12;
    book.fields.orthographicIndex = 0xFFFFFFFF;
    book.fields.ncxIndex = 0;
    kovatest::TestIndex& index = book.index;
    index.name = "";
    index.exact = 1;
    index.tagx = kovatest::tagxBlock(
        1, {{1, 1, 0x01, 0}, {2, 1, 0x02, 0}, {3, 1, 0x04, 0}, {4, 1, 0x08, 0}, {21, 1, 0x10, 0}, {0, 0, 0, 1}});
    index.records = {{kovatest::bytes({1, '0', 0x0F, 0x80, 0x8C, 0x80, 0x80}),
                      kovatest::bytes({1, '1', 0x1F, 0x83, 0x94, 0x86, 0x81, 0x80})}};
    index.masterKeys = {kovatest::bytes({1, '1'})};
    index.ordt = kovatest::westernOrdt();
    index.ligt = kovatest::westernLigt();
    index.stringRecords = {kovatest::bytes({0x85}) + "Intro" + kovatest::bytes({0x87}) + "Chapter"};
    return book;
}

TEST(TocTree, ReadPrintedAndChecked) {
    const kova::Book book = kova::Book::fromBytes(kovatest::bookBytes(faultyToc()));
    const std::optional<kova::TocTree> tree = kova::readTocTree(book);
    ASSERT_TRUE(tree);
    ASSERT_EQ(tree->nodes.size(), 2u);
    EXPECT_EQ(tree->nodes[1].label, "Chapter");
    EXPECT_EQ(tree->nodes[1].parent, 0u);
    std::ostringstream printed;
    kova::printTocTree(*tree, printed);
    EXPECT_EQ(printed.str(), "Intro  [0 +12]\n  Chapter  [3 +20]\n");

    const std::vector<std::string> faults = kova::checkTocTree(book, *tree);
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_EQ(faults[0], "toc entry 1 (1) [3, 23) is not inside its parent toc entry 0 (0)");
    EXPECT_EQ(faults[1], "toc entry 1 (1) reaches to 23, past the text (12 bytes)");
    EXPECT_FALSE(book.sound());
}

TEST(TocTree, BooksWithoutOneHaveNone) {
    EXPECT_FALSE(kova::readTocTree(kova::Book::fromBytes(kovatest::bookBytes(kovatest::westernLookupBook()))));
}

}  // namespace
