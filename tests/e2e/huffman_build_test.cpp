// SPDX-License-Identifier: GPL-3.0-or-later
// Books with Huffman dictionary compression, read back with kovadump's own decoder.
#include <gtest/gtest.h>

#include "auxiliary_records.h"
#include "build_fixture.h"

namespace {

// Prose of a few hundred kilobytes: sentences from a small vocabulary, enough for the dictionary to pay.
std::string prose(size_t bytes) {
    const std::vector<std::string> words = {"lighthouse",  "keeper",  "storm", "harbour", "lamp",   "night", "sea",
                                            "ship",        "window",  "stair", "glass",   "wind",   "coast", "light",
                                            "caf\xC3\xA9", "morning", "rope",  "gull",    "signal", "tide"};
    std::string text;
    for (uint32_t i = 0; text.size() < bytes; ++i) {
        text += "<p>";
        for (uint32_t w = 0; w < 12; ++w) text += words[(i * 7 + w * w * 3 + i / 5) % words.size()] + " ";
        text += "and the " + words[i % words.size()] + " waits.</p>\n";
    }
    return text;
}

class HuffmanBuild : public buildtest::BuildTest {
protected:
    void source(const std::string& body) { write("book.html", buildtest::htmlPage(body, "<title>Huffman</title>")); }
};

TEST_F(HuffmanBuild, DecodesToTheSameTextAsPalmDoc) {
    source(prose(300000));
    auto palmdoc = compile({"book.html", "-o", "palmdoc.kova"});
    ASSERT_EQ(palmdoc.exitCode, 0) << palmdoc.out;
    auto huffman = compile({"book.html", "-c2", "-o", "huffman.kova", "-verbose"});
    ASSERT_EQ(huffman.exitCode, 0) << huffman.out;
    EXPECT_NE(huffman.out.find("Info(mkbook/compress): Advanced compression successful (decoded and verified)."),
              std::string::npos);
    EXPECT_NE(huffman.out.find("Info(mkbook/compress): Compression pass  0000003"), std::string::npos);

    const kova::Book expected = book("palmdoc.kova");
    const kova::Book book = this->book("huffman.kova");
    EXPECT_TRUE(book.sound()) << (book.faults().empty() ? "" : book.faults()[0]);
    EXPECT_EQ(book.palmDoc().compression, 17480);
    ASSERT_TRUE(book.textDecoded());
    EXPECT_EQ(book.text(), expected.text());
    const kova::KovaHeader& k = book.kova();
    EXPECT_EQ(k.huffmanRecordOffset, k.firstNonBookRecord);  // no index records between
    EXPECT_GE(k.huffmanRecordCount, 2u);
    EXPECT_EQ(k.datpRecordCount, 1u);
    const std::vector<kova::DatpRecord> datp = kova::readDatpRecords(book);
    ASSERT_EQ(datp.size(), 1u);
    EXPECT_EQ(datp[0].described, book.textRecords().size());
    // Smaller than PalmDOC's text records.
    uint64_t palmdocBytes = 0, huffmanBytes = 0;
    for (const kova::TextRecord& r : expected.textRecords()) palmdocBytes += r.compressedLength;
    for (const kova::TextRecord& r : book.textRecords()) huffmanBytes += r.compressedLength;
    for (uint32_t i = 0; i < k.huffmanRecordCount; ++i) huffmanBytes += book.record(k.huffmanRecordOffset + i).size();
    EXPECT_LT(huffmanBytes, palmdocBytes);
}

TEST_F(HuffmanBuild, Utf8RecordsCarryTheirMultibyteEntries) {
    source(prose(120000));
    auto palmdoc = compile({"book.html", "-unicode", "-o", "palmdoc.kova"});
    auto huffman = compile({"book.html", "-unicode", "-c2", "-o", "huffman.kova"});
    ASSERT_EQ(huffman.exitCode, 0) << huffman.out;
    const kova::Book book = this->book("huffman.kova");
    EXPECT_TRUE(book.sound()) << (book.faults().empty() ? "" : book.faults()[0]);
    EXPECT_EQ(book.text(), this->book("palmdoc.kova").text());
}

TEST_F(HuffmanBuild, ASmallTextDeclinesToPalmDoc) {
    source("<p>A few hundred bytes of text are not worth a dictionary.</p>");
    auto run = compile({"book.html", "-c2", "-verbose"});
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("Info(mkbook/compress): Advanced compression impossible because file is too small."),
              std::string::npos);
    const kova::Book book = this->book("book.kova");
    EXPECT_TRUE(book.sound());
    EXPECT_EQ(book.palmDoc().compression, 2);
    EXPECT_EQ(book.kova().huffmanRecordCount, 0u);
    EXPECT_EQ(book.kova().datpRecordCount, 0u);
}

}  // namespace
