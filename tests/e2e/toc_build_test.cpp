// SPDX-License-Identifier: GPL-3.0-or-later
// Tables of contents from NCX files, built end to end and read back as a tree with kovadump's library.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "build_fixture.h"
#include "epub_zip_writer.h"
#include "toc_tree.h"

namespace {

struct ExpectedNode {
    std::string label;
    std::string id;  // the id of the element the node targets
};

// 40 chapters and an NCX of 500 entries in four levels: each chapter (its file, without fragment), four sections,
// five subsections (two under the first section) and, in turn, three or two entries below the first
// subsection. Labels mix Latin, Cyrillic and Han text. A navigation list names three sections.
class TocBook {
public:
    TocBook() {
        for (int c = 0; c < 40; ++c) {
            std::string body;
            std::string points;
            const std::string file = "ch" + std::to_string(c) + ".html";
            body += "<h1 id=\"c" + std::to_string(c) + "\">Chapter " + std::to_string(c) + "</h1><p>Opening.</p>";
            std::string chapterLabel = c % 3 == 0   ? "Глава " + std::to_string(c)
                                       : c % 3 == 1 ? "第" + std::to_string(c) + "章"
                                                    : "Chapitre " + std::to_string(c) + " caf\xC3\xA9";
            expected.push_back({chapterLabel, "c" + std::to_string(c)});
            for (int s = 0; s < 4; ++s) {
                const std::string sid = "c" + std::to_string(c) + "s" + std::to_string(s);
                body += "<h2 id=\"" + sid + "\">Section</h2><p>Text of the section.</p>";
                expected.push_back({"Section " + std::to_string(s), sid});
                std::string subpoints;
                for (int u = 0; u < (s == 0 ? 2 : 1); ++u) {
                    const std::string uid = sid + "u" + std::to_string(u);
                    body += "<h3 id=\"" + uid + "\">Sub</h3><p>More text.</p>";
                    expected.push_back({"Part " + std::to_string(u), uid});
                    std::string leaves;
                    for (int l = 0; s == 0 && u == 0 && l < (c % 2 == 0 ? 3 : 2); ++l) {
                        const std::string lid = uid + "l" + std::to_string(l);
                        body += "<h4 id=\"" + lid + "\">Leaf</h4><p>Leaf text.</p>";
                        expected.push_back({"Leaf " + std::to_string(l), lid});
                        leaves += point("Leaf " + std::to_string(l), file + "#" + lid, "");
                    }
                    subpoints += point("Part " + std::to_string(u), file + "#" + uid, leaves);
                }
                points += point("Section " + std::to_string(s), file + "#" + sid, subpoints);
            }
            navMap += point(chapterLabel, file, points);
            files[file] = buildtest::htmlPage(body);
            items +=
                "<item id=\"i" + std::to_string(c) + "\" href=\"" + file + "\" media-type=\"text/x-oeb1-document\"/>";
            spine += "<itemref idref=\"i" + std::to_string(c) + "\"/>";
        }
    }

    std::string ncx(const std::string& extraTarget = "") const {
        std::string list = "<navList><navLabel><text>Illustrations</text></navLabel>";
        for (int t : {1, 5, 9}) {
            list += "<navTarget><navLabel><text>Figure " + std::to_string(t) + "</text></navLabel><content src=\"ch" +
                    std::to_string(t) + ".html#c" + std::to_string(t) + "s1\"/></navTarget>";
        }
        list += "</navList>";
        return "<?xml version=\"1.0\" encoding=\"utf-8\"?><ncx><navMap>" + navMap + extraTarget + "</navMap>" + list +
               "</ncx>";
    }

    std::string opf() const {
        return buildtest::package(buildtest::dcMetadata("<dc:Title>Contents</dc:Title><dc:Language>en</dc:Language>"),
                                  items + "<item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/>",
                                  spine);
    }

    static std::string point(const std::string& label, const std::string& src, const std::string& inner) {
        return "<navPoint><navLabel><text>" + label + "</text></navLabel><content src=\"" + src + "\"/>" + inner +
               "</navPoint>";
    }

    std::map<std::string, std::string> files;
    std::vector<ExpectedNode> expected;  // in reading order
    std::string navMap, items, spine;
};

class TocBuild : public buildtest::BuildTest {
protected:
    void writeSources(const TocBook& source, const std::string& ncx) {
        for (const auto& [name, text] : source.files) write(name, text);
        write("toc.ncx", ncx);
        write("book.opf", source.opf());
    }

    // Every navigation map entry is one of the NCX's, its label as the book stores it, its position on its
    // target's start tag; the book is sound, trailing index entries included.
    void checkBook(const kova::Book& book, const TocBook& source, bool western) {
        EXPECT_TRUE(book.sound()) << (book.faults().empty() ? "" : book.faults()[0]);
        const std::optional<kova::TocTree> tree = kova::readTocTree(book);
        ASSERT_TRUE(tree);
        ASSERT_EQ(tree->nodes.size(), 504u);
        std::map<std::string, const ExpectedNode*> byLabel;
        size_t mapNodes = 0, listNodes = 0;
        const std::string text = book.textString();
        std::multiset<std::string> labels, expectedLabels;
        for (const ExpectedNode& node : source.expected) expectedLabels.insert(node.label);
        for (const kova::TocTreeNode& node : tree->nodes) {
            if (node.inNavigationList) {
                ++listNodes;
                continue;
            }
            ++mapNodes;
            labels.insert(node.label);
            ASSERT_LT(node.position, text.size());
            EXPECT_EQ(text[node.position], '<') << node.label;
        }
        EXPECT_EQ(mapNodes, 500u);
        EXPECT_EQ(listNodes, 4u);
        if (!western) {
            EXPECT_EQ(labels, expectedLabels);
        }
        EXPECT_EQ(book.kova().extraRecordDataFlags & 0x2, 0x2u);
        // Each target lands on its heading: a chapter's file starts with its h1 (the first one behind the book's
        // body tag), a node at depth d targets an h(d+1).
        for (const kova::TocTreeNode& node : tree->nodes) {
            if (node.inNavigationList) continue;
            const size_t heading = text.compare(node.position, 6, "<body>") == 0 ? node.position + 6 : node.position;
            EXPECT_EQ(text.substr(heading, 3), "<h" + std::to_string(node.depth + 1)) << node.label;
        }
    }
};

TEST_F(TocBuild, WesternUtf8AndEpubBooksCarryTheWholeTree) {
    const TocBook source;
    writeSources(source, source.ncx());
    auto western = compile({"book.opf"});
    EXPECT_EQ(western.exitCode, 0) << western.out;
    checkBook(book("book.kova"), source, true);

    auto unicode = compile({"book.opf", "-unicode", "-o", "unicode.kova"});
    EXPECT_EQ(unicode.exitCode, 0) << unicode.out;
    checkBook(book("unicode.kova"), source, false);

    std::vector<qptest::ZipMember> members{
        {"mimetype", "application/epub+zip"},
        {"META-INF/container.xml", "<?xml version=\"1.0\"?><container><rootfiles><rootfile "
                                   "full-path=\"OPS/book.opf\"/></rootfiles></container>"},
        {"OPS/book.opf", source.opf()},
        {"OPS/toc.ncx", source.ncx()}};
    for (const auto& [name, text] : source.files) members.push_back({"OPS/" + name, text});
    qptest::writeZip(dir / "book.epub", members);
    auto epub = compile({"book.epub", "-unicode", "-o", "epub.kova"});
    EXPECT_EQ(epub.exitCode, 0) << epub.out;
    checkBook(book("epub.kova"), source, false);
}

// Entries and links that name a later file without a fragment open it on a tag: past the white space that
// often follows its body tag, and on an anchor tag of its own before loose text.
TEST_F(TocBuild, LaterFilesWithoutFragmentOpenOnATag) {
    write("a.html", buildtest::htmlPage("<h1>A</h1><p><a href=\"b.html\">B</a> <a href=\"c.html\">C</a></p>"));
    write("b.html", "<html><body>\n    <h1>B</h1></body></html>");
    write("c.html", buildtest::htmlPage("Loose text<h1 id=\"h\">C</h1>"));
    std::string items, spine, points;
    for (const char* name : {"a", "b", "c"}) {
        items += std::string("<item id=\"") + name + "\" href=\"" + name + ".html\" media-type=\"text/html\"/>";
        spine += std::string("<itemref idref=\"") + name + "\"/>";
        points += TocBook::point(name, std::string(name) + ".html", "");
    }
    write("toc.ncx", "<?xml version=\"1.0\"?><ncx><navMap>" + points + "</navMap></ncx>");
    write("book.opf",
          buildtest::package(buildtest::dcMetadata("<dc:Title>T</dc:Title><dc:Language>en</dc:Language>"),
                             items + "<item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/>",
                             spine));
    auto run = compile({"book.opf"});
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const kova::Book book = this->book("book.kova");
    EXPECT_TRUE(book.sound()) << (book.faults().empty() ? "" : book.faults()[0]);
    const std::string text = book.textString();
    const std::optional<kova::TocTree> tree = kova::readTocTree(book);
    ASSERT_TRUE(tree);
    ASSERT_EQ(tree->nodes.size(), 3u);
    EXPECT_EQ(text.substr(tree->nodes[1].position, 5), "<h1>B");
    EXPECT_EQ(text.substr(tree->nodes[2].position, 14), "<a/>Loose text");
    const std::vector<uint64_t> links = buildtest::fileposTargets(text);
    EXPECT_EQ(links, (std::vector<uint64_t>{tree->nodes[1].position, tree->nodes[2].position}));
}

// One chapter file of about 10 KB (three text records) with anchors "start", "ch1" (1.3 KB on) and "s11"
// (about 6 KB further), and an NCX of the given navigation map.
class PlacedToc : public buildtest::BuildTest {
protected:
    qptest::RunResult build(const std::string& navMap) {
        std::string prose;
        for (int i = 0; i < 5; ++i) prose += "<p>" + std::string(240, 'a' + i) + "</p>";
        write("c.html", buildtest::htmlPage("<h1 id=\"start\">Start</h1>" + prose + "<h1 id=\"ch1\">Chapter 1</h1>" +
                                            prose + prose + prose + prose + prose + "<h2 id=\"s11\">Section 1.1</h2>" +
                                            prose + prose + prose));
        write("toc.ncx", "<?xml version=\"1.0\"?><ncx><navMap>" + navMap + "</navMap></ncx>");
        write("book.opf",
              buildtest::package(buildtest::dcMetadata("<dc:Title>T</dc:Title><dc:Language>en</dc:Language>"),
                                 "<item id=\"c\" href=\"c.html\" media-type=\"text/html\"/>"
                                 "<item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/>",
                                 "<itemref idref=\"c\"/>"));
        return compile({"book.opf"});
    }

    // A chain of navigation points, each inside the one before, all on "start".
    static std::string nested(size_t levels) {
        std::string open, close;
        for (size_t i = 0; i < levels; ++i) {
            open +=
                "<navPoint><navLabel><text>L" + std::to_string(i) + "</text></navLabel><content src=\"c.html#start\"/>";
            close += "</navPoint>";
        }
        return open + close;
    }

    // Every text record's index entry, as kovadump reads it, names each navigation map entry that overlaps the
    // record once, and no other.
    static void expectExactIndexEntries(const kova::Book& book) {
        const std::optional<kova::TocTree> tree = kova::readTocTree(book);
        ASSERT_TRUE(tree);
        for (const kova::TextRecord& record : book.textRecords()) {
            ASSERT_TRUE(record.trailing.indexDecoded) << record.recordIndex;
            std::multiset<size_t> named, overlapping;
            for (const kova::IndexEntryItem& item : record.trailing.indexItems)
                for (uint32_t n = item.number; n < item.number + item.runCount; ++n) named.insert(n);
            const uint64_t end = record.textStart + record.decodedLength;
            for (const kova::TocTreeNode& node : tree->nodes)
                if (node.position < end && node.position + uint64_t{node.length} > record.textStart)
                    overlapping.insert(node.rank);
            EXPECT_EQ(named, overlapping) << "text record " << record.recordIndex;
        }
    }
};

TEST_F(PlacedToc, EveryRecordNamesTheEntriesOverlappingIt) {
    std::string fiveOnOnePlace;
    for (const char* label : {"Cover", "Title", "Copyright", "Dedication", "Contents"})
        fiveOnOnePlace += TocBook::point(label, "c.html#start", "");
    fiveOnOnePlace += TocBook::point("Chapter 1", "c.html#ch1", TocBook::point("Section 1.1", "c.html#s11", ""));
    for (const auto& [what, navMap] : {std::pair{"five on one place", fiveOnOnePlace},
                                       {"6 levels", nested(6)},
                                       {"200 levels", nested(200)},
                                       {"3,000 levels", nested(3000)}}) {
        const auto run = build(navMap);
        ASSERT_EQ(run.exitCode, 0) << what << run.out;
        const kova::Book book = this->book("book.kova");
        EXPECT_TRUE(book.sound()) << what << ": " << (book.faults().empty() ? "" : book.faults()[0]);
        EXPECT_GE(book.textRecords().size(), 3u) << what;
        expectExactIndexEntries(book);
    }
}

TEST_F(PlacedToc, NestingPastWhatARecordHoldsFailsNamingTheLimit) {
    write("book.kova", "the old book");
    const auto run = build(nested(7000));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.out.find("Error(mkbook): The table of content nests too deep for the text records: 7000 levels; "
                           "text record 1 would name 7000 entries, more than its 32768 bytes of trailing entries "
                           "hold."),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("could not write trailing bytes"), std::string::npos);
    EXPECT_EQ(qptest::readFile(dir / "book.kova"), "the old book");
    EXPECT_TRUE(temporaryDirectoryEmpty());
}

TEST_F(TocBuild, UnresolvedTargetFailsTheBuild) {
    const TocBook source;
    writeSources(source, source.ncx(TocBook::point("Lost", "ch1.html#nowhere", "")));
    auto run = compile({"book.opf"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.out.find("Error(mkbook): Hyperlink not resolved in toc:ch1.html#nowhere"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Error(mkbook): The table of content could not be built."), std::string::npos);
    EXPECT_FALSE(exists("book.kova"));
}

TEST_F(TocBuild, MissingNcxFileIsNamed) {
    const TocBook source;
    for (const auto& [name, text] : source.files) write(name, text);
    write("book.opf", source.opf());
    auto run = compile({"book.opf"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.out.find("toc.ncx"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Error(mkbook): The table of content could not be built."), std::string::npos);
    EXPECT_FALSE(exists("book.kova"));
}

TEST_F(TocBuild, PackagesWithoutNcxSayNothingOfIt) {
    write("a.html", buildtest::htmlPage("<p>x</p>"));
    write("book.opf", buildtest::package(buildtest::dcMetadata("<dc:Title>T</dc:Title><dc:Language>en</dc:Language>"),
                                         "<item id=\"a\" href=\"a.html\" media-type=\"text/x-oeb1-document\"/>",
                                         "<itemref idref=\"a\"/>"));
    auto run = compile({"book.opf", "-verbose"});
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_EQ(run.out.find("table of content"), std::string::npos);
    EXPECT_EQ(book("book.kova").kova().ncxIndex, 0xFFFFFFFFu);
}

}  // namespace
