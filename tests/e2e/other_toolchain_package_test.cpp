// SPDX-License-Identifier: GPL-3.0-or-later
// Packages written the way common documentation and ePub 3 toolchains write them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "build_fixture.h"
#include "convert/image_test_pictures.h"
#include "toc_tree.h"

namespace {

struct Entry {
    std::string label;
    uint32_t depth;
    bool operator==(const Entry&) const = default;
};

std::vector<Entry> tocEntries(const kova::Book& book) {
    std::vector<Entry> entries;
    if (const auto tree = kova::readTocTree(book)) {
        std::vector<kova::TocTreeNode> nodes = tree->nodes;
        std::sort(nodes.begin(), nodes.end(), [](const auto& a, const auto& b) {
            return a.position != b.position ? a.position < b.position : a.depth < b.depth;
        });
        for (const kova::TocTreeNode& node : nodes) entries.push_back({node.label, node.depth});
    }
    return entries;
}

class OtherToolchainPackage : public buildtest::BuildTest {
protected:
    void SetUp() override {
        BuildTest::SetUp();
        write("ch1.xhtml",
              buildtest::htmlPage("<h1 id=\"a\">One</h1><p id=\"o8\">First text.</p><h2 id=\"b\">One.1</h2>"
                                  "<h3 id=\"c\">One.1.1</h3><p>Deep.</p>"));
        write("ch2.xhtml", buildtest::htmlPage("<h1 id=\"d\">Two</h1><p>Second text.</p>"));
        const auto cover = imagetest::jpegFromRgba(600, 800, imagetest::photoPixels(600, 800), 80);
        write("cover.jpg", std::string(cover.begin(), cover.end()));
    }
    // The text holds each chapter once, in spine order.
    void expectChaptersOnceInOrder(const std::string& text) {
        const size_t first = text.find("First text.");
        const size_t second = text.find("Second text.");
        ASSERT_NE(first, std::string::npos) << text;
        ASSERT_NE(second, std::string::npos) << text;
        EXPECT_LT(first, second);
        EXPECT_EQ(text.find("First text.", first + 1), std::string::npos);
        EXPECT_EQ(text.find("Second text.", second + 1), std::string::npos);
    }
};

const std::string kNavigation =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><html xmlns=\"http://www.w3.org/1999/xhtml\" "
    "xmlns:epub=\"http://www.idpf.org/2007/ops\"><head><title>Nav</title></head><body>"
    "<nav epub:type=\"landmarks\"><ol><li><a href=\"ch2.xhtml\">Landmark</a></li></ol></nav>"
    "<nav epub:type=\"toc\"><h1>Contents</h1><ol>"
    "<li><a href=\"ch1.xhtml#a\">One</a><ol><li><a href=\"ch1.xhtml#b\">One.1</a>"
    "<ol><li><a href=\"ch1.xhtml#c\">One.1.1</a></li></ol></li></ol></li>"
    "<li><a href=\"ch2.xhtml#d\">Two</a></li></ol></nav></body></html>";

// An ePub 3 package: the metadata given, the two chapters in manifest and spine after the items given.
std::string epub3Package(const std::string& metadata, const std::string& items, const std::string& spineToc = "") {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\" unique-identifier=\"id\">"
           "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">" +
           metadata + "<dc:language>en</dc:language></metadata><manifest>" + items +
           "<item id=\"c1\" href=\"ch1.xhtml\" media-type=\"application/xhtml+xml\"/>"
           "<item id=\"c2\" href=\"ch2.xhtml\" media-type=\"application/xhtml+xml\"/></manifest>"
           "<spine" +
           spineToc + "><itemref idref=\"c1\"/><itemref idref=\"c2\"/></spine></package>";
}

const std::string kNavigationItem =
    "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" properties=\"nav\"/>";

TEST_F(OtherToolchainPackage, PrefixedElementsAndFragmentsInManifestPaths) {
    write("book.opf",
          "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
          "<opf:package xmlns:opf=\"http://www.idpf.org/2007/opf\" version=\"2.0\" unique-identifier=\"id\">"
          "<opf:metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:x=\"http://purl.org/dc/elements/1.1/\">"
          "<x:title>Reference Guide</x:title><dc:language>en</dc:language><x:creator>Docs Team</x:creator>"
          "<dc:identifier id=\"id\">urn:x</dc:identifier></opf:metadata>"
          "<opf:manifest><opf:item id=\"c1\" href=\"ch1.xhtml\" media-type=\"application/xhtml+xml\"/>"
          "<opf:item id=\"c1o8\" href=\"ch1.xhtml#o8\" media-type=\"application/xhtml+xml\"/>"
          "<opf:item id=\"c2\" href=\"ch2.xhtml\" media-type=\"application/xhtml+xml\"/></opf:manifest>"
          "<opf:spine><opf:itemref idref=\"c1\"/><opf:itemref idref=\"c1o8\"/><opf:itemref idref=\"c2\"/></opf:spine>"
          "<opf:guide><opf:reference type=\"text\" href=\"ch1.xhtml\"/></opf:guide></opf:package>");
    auto result = compile({"book.opf", "-verbose"});
    ASSERT_LE(result.exitCode, 1) << result.out;
    EXPECT_NE(result.out.find("Info(mkbook): File already in the book, not read again"), std::string::npos);
    kova::Book book = this->book("book.kova");
    ASSERT_TRUE(book.sound());
    EXPECT_EQ(book.fullName(), "Reference Guide");
    EXPECT_EQ(book.exthString(100), "Docs Team");
    expectChaptersOnceInOrder(book.textString());
}

TEST_F(OtherToolchainPackage, Epub3NavigationDocumentAndCoverImage) {
    write("nav.xhtml", kNavigation);
    write("book.opf", epub3Package("<dc:title id=\"t\">Three</dc:title><meta refines=\"#t\" property=\"title-type\">"
                                   "main</meta><dc:identifier id=\"id\">urn:uuid:1234</dc:identifier>"
                                   "<meta property=\"dcterms:modified\">2026-01-01T00:00:00Z</meta>",
                                   kNavigationItem + "<item id=\"cov\" href=\"cover.jpg\" media-type=\"image/jpeg\" "
                                                     "properties=\"cover-image\"/>"));
    auto result = compile({"book.opf"});
    ASSERT_EQ(result.exitCode, 0) << result.out;
    kova::Book book = this->book("book.kova");
    ASSERT_TRUE(book.sound());
    expectChaptersOnceInOrder(book.textString());
    EXPECT_EQ(tocEntries(book), (std::vector<Entry>{{"One", 0}, {"One.1", 1}, {"One.1.1", 2}, {"Two", 0}}));
    EXPECT_TRUE(book.exthNumber(201).has_value()) << "the cover record is set";
}

TEST_F(OtherToolchainPackage, AnNcxWinsOverTheNavigationDocument) {
    write("nav.xhtml", kNavigation);
    write("toc.ncx", "<?xml version=\"1.0\" encoding=\"utf-8\"?><ncx><navMap>"
                     "<navPoint><navLabel><text>From the NCX</text></navLabel><content src=\"ch1.xhtml#a\"/></navPoint>"
                     "</navMap></ncx>");
    write("book.opf",
          epub3Package("<dc:title>Both</dc:title><dc:identifier id=\"id\">urn:x</dc:identifier>",
                       kNavigationItem + "<item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/>",
                       " toc=\"ncx\""));
    auto result = compile({"book.opf"});
    ASSERT_EQ(result.exitCode, 0) << result.out;
    EXPECT_EQ(tocEntries(book("book.kova")), (std::vector<Entry>{{"From the NCX", 0}}));
}

}  // namespace
