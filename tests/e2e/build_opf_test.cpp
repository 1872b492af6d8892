// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "build_fixture.h"
#include "convert/image_test_pictures.h"

namespace {

using buildtest::BuildTest;
using buildtest::dcMetadata;
using buildtest::htmlPage;
using buildtest::package;

const std::string kChapterItems = "<item id=\"one\" href=\"one.html\" media-type=\"text/x-oeb1-document\"/>"
                                  "<item id=\"two\" href=\"two.html\" media-type=\"text/x-oeb1-document\"/>";
const std::string kChapterSpine = "<itemref idref=\"one\"/><itemref idref=\"two\"/>";

// The target of the link whose text ends with `linkEnd`.
uint64_t targetOf(const std::string& text, const std::string& linkEnd) {
    const size_t end = text.find(linkEnd);
    const size_t link = text.rfind("filepos=", end);
    if (end == std::string::npos || link == std::string::npos) return text.size();
    return std::stoull(text.substr(link + 8, 10));
}

// A position past the page break that an anchor may stand before.
uint64_t headingAt(const std::string& text, uint64_t position) {
    const std::string pageBreak = "<tqp:pagebreak/>";
    return text.compare(position, pageBreak.size(), pageBreak) == 0 ? position + pageBreak.size() : position;
}

class OpfBuild : public BuildTest {
protected:
    void SetUp() override {
        BuildTest::SetUp();
        write("one.html", htmlPage("<h1 id=\"first\">Chapter One</h1><p>Alpha text.</p>"));
        write("two.html", htmlPage("<h1 id=\"second\">Chapter Two</h1><p>Beta text.</p>"));
    }
    // Writes book.opf with the chapters and the given metadata, and compiles it.
    qptest::RunResult compileBook(const std::string& metadata, const std::string& guide = "",
                                  const std::vector<std::string>& options = {}) {
        write("book.opf", package(metadata, kChapterItems, kChapterSpine, guide));
        std::vector<std::string> args = options;
        args.push_back("book.opf");
        return compile(args);
    }
};

TEST_F(OpfBuild, SampleBookHoldsItsChaptersLinksAndMetadata) {
    std::filesystem::copy(QP_EXAMPLES_DIR "/lighthouse", dir / "lighthouse", std::filesystem::copy_options::recursive);
    auto result = compile({"lighthouse/lighthouse.opf"});
    ASSERT_EQ(result.exitCode, 0) << result.out;
    kova::Book book = this->book("lighthouse/lighthouse.kova");
    ASSERT_TRUE(book.sound()) << book.loadError();
    const std::string text = book.textString();
    EXPECT_EQ(buildtest::endTagOfEmptyElement(text), "");

    const size_t contents = text.find(">Contents<");
    const size_t first = text.find("1. The First Storm</font></h1>");
    const size_t second = text.find("2. Visitors from the Mainland</font></h1>");
    const size_t third = text.find("3. Une lettre de Brest</font></h1>");
    ASSERT_NE(third, std::string::npos);
    EXPECT_LT(contents, first);
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);

    // Every link lands on a start tag; a link to a whole file may land on the blank before its first tag.
    const auto targets = buildtest::fileposTargets(text);
    ASSERT_GE(targets.size(), 8u);
    for (uint64_t target : targets) {
        const size_t tag = text.find_first_not_of(" \r\n", target);
        ASSERT_LT(tag + 1, text.size());
        EXPECT_EQ(text[tag], '<') << "link lands inside the text at " << target;
        EXPECT_NE(text[tag + 1], '/') << "link lands on an end tag at " << target;
    }
    EXPECT_TRUE(text.compare(targetOf(text, "visitors</a>"), 2, "<p") == 0);
    EXPECT_LT(text.find("The supply boat", targetOf(text, "visitors</a>")), targetOf(text, "visitors</a>") + 40);
    EXPECT_TRUE(text.compare(targetOf(text, "letter</a>"), 5, "<div ") == 0);
    const uint64_t top = headingAt(text, targetOf(text, "top of this chapter</a>"));
    EXPECT_EQ(text.compare(top, 3, "<h1"), 0);
    EXPECT_EQ(text.find("1. The First Storm", top), first);
    // The contents page links each chapter in order.
    const size_t tocStart = text.find("<a filepos=", contents);
    const auto tocTargets = buildtest::fileposTargets(text.substr(tocStart, third - tocStart));
    ASSERT_GE(tocTargets.size(), 3u);
    EXPECT_LT(tocTargets[0], first);
    EXPECT_LT(tocTargets[1], second + 200);
    EXPECT_GT(tocTargets[1], first);
    EXPECT_LT(tocTargets[2], third);
    EXPECT_GT(tocTargets[2], second);

    EXPECT_EQ(book.fullName(), "The Lighthouse Keeper's Log");
    EXPECT_EQ(book.exthStrings(100), (std::vector<std::string>{"Mara Ellison", "Tomas Reyl"}));
    EXPECT_EQ(book.exthString(104), "9780000000001");
    EXPECT_EQ(book.exthString(106), "2026-03-14");
    EXPECT_EQ(book.exthString(105), "Fiction / Literary");
    EXPECT_EQ(book.exthString(110), "FIC019000");
    EXPECT_EQ(book.exthString(101), "Quillpress Examples");
    EXPECT_EQ(book.kova().locale, 0x0409u);
    EXPECT_EQ(book.kova().textEncoding, 65001u);
    EXPECT_EQ(book.kova().exthFlags & 0x1u, 0x1u);
    EXPECT_EQ(book.exthNumber(201), 0u);
    EXPECT_EQ(book.exthNumber(202), 1u);
    // The start reading position is the chapter heading the guide names.
    ASSERT_TRUE(book.exthNumber(116).has_value());
    EXPECT_EQ(headingAt(text, *book.exthNumber(116)), top);
}

// The cover is two entries (the picture and its thumbnail): a verbose build announces each once.
TEST_F(OpfBuild, VerboseBuildAnnouncesEachPictureOnce) {
    std::filesystem::copy(QP_EXAMPLES_DIR "/lighthouse", dir / "lighthouse", std::filesystem::copy_options::recursive);
    auto result = compile({"-verbose", "lighthouse/lighthouse.opf"});
    ASSERT_EQ(result.exitCode, 0) << result.out;
    const std::string line =
        "Info(mkbook): Converting and merging image file \"" + (dir / "lighthouse/images/cover.png").string() + "\"\n";
    size_t count = 0;
    for (size_t at = result.out.find(line); at != std::string::npos; at = result.out.find(line, at + 1)) ++count;
    EXPECT_EQ(count, 2u) << result.out;
}

// The book replaces whatever its path names when it is saved: never a file of its own package.
TEST_F(OpfBuild, OutputOverAContentFileIsRefused) {
    std::filesystem::copy(QP_EXAMPLES_DIR "/lighthouse", dir / "lighthouse", std::filesystem::copy_options::recursive);
    const std::string chapter = qptest::readFile(dir / "lighthouse/chapter1.html");
    auto result = compile({"-o", "chapter1.html", "lighthouse/lighthouse.opf"});
    EXPECT_EQ(result.exitCode, 2) << result.out;
    EXPECT_NE(result.out.find("Error: The book would replace its own source file \"" +
                              (dir / "lighthouse/chapter1.html").string() + "\""),
              std::string::npos)
        << result.out;
    EXPECT_EQ(qptest::readFile(dir / "lighthouse/chapter1.html"), chapter);
}

TEST_F(OpfBuild, OnlyDependenciesEndsWithoutBook) {
    auto result = compileBook(dcMetadata("<dc:Title>T</dc:Title><dc:Language>en</dc:Language>"), "", {"-onlydeps"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_FALSE(exists("book.kova"));
}

TEST_F(OpfBuild, OutputEncodingChoosesTheTextCodePage) {
    const std::string fields = "<dc:Title>T</dc:Title><dc:Language>en</dc:Language>";
    ASSERT_EQ(compileBook(dcMetadata(fields, "<output encoding=\"utf-8\"/>")).exitCode, 0);
    EXPECT_EQ(book("book.kova").kova().textEncoding, 65001u);
    EXPECT_EQ(book("book.kova").kova().exthFlags & 0x1u, 0x1u);

    ASSERT_EQ(compileBook(dcMetadata(fields, "<output encoding=\"iso-8859-5\"/>")).exitCode, 0);
    EXPECT_EQ(book("book.kova").kova().textEncoding, 1252u);
    EXPECT_EQ(book("book.kova").kova().exthFlags & 0x1u, 0u);

    ASSERT_EQ(compileBook(dcMetadata(fields), "", {"-unicode"}).exitCode, 0);
    EXPECT_EQ(book("book.kova").kova().textEncoding, 65001u);
}

TEST_F(OpfBuild, CopyPasteAndScriptFlags) {
    const std::string fields = "<dc:Title>T</dc:Title><dc:Language>en</dc:Language>";
    ASSERT_EQ(compileBook(dcMetadata(fields), "", {"-nocopypaste", "-allscript"}).exitCode, 0);
    EXPECT_EQ(book("book.kova").kova().exthFlags & 0x22u, 0x22u);
}

TEST_F(OpfBuild, EveryCreatorAndEveryNameInOneBecomesAnEntry) {
    auto result = compileBook(dcMetadata("<dc:Title>T</dc:Title><dc:Language>fr-CA</dc:Language>"
                                         "<dc:Creator>A</dc:Creator><dc:Creator>B; C;</dc:Creator>"
                                         "<dc:Creator>D</dc:Creator>"));
    ASSERT_EQ(result.exitCode, 0) << result.out;
    kova::Book book = this->book("book.kova");
    EXPECT_EQ(book.exthStrings(100), (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_EQ(book.kova().locale, 0x0C0Cu);
}

TEST_F(OpfBuild, FlatLayoutMetadataReadsLikeDcMetadata) {
    auto result = compileBook("<dc:title>Flat Book</dc:title><dc:language>de</dc:language>"
                              "<dc:creator>Flat Author</dc:creator>");
    ASSERT_EQ(result.exitCode, 0) << result.out;
    kova::Book book = this->book("book.kova");
    EXPECT_EQ(book.fullName(), "Flat Book");
    EXPECT_EQ(book.exthString(100), "Flat Author");
    EXPECT_EQ(book.kova().locale, 0x0007u);
}

// The title's reference is decoded before the full name and the document identifier are made of it.
TEST_F(OpfBuild, CharacterReferencesInMetadataAreDecoded) {
    auto result = compileBook(dcMetadata("<dc:Title>Developer&#39;s Reference</dc:Title><dc:Language>en</dc:Language>"
                                         "<dc:Creator>Rapha&#235;l</dc:Creator>"));
    ASSERT_EQ(result.exitCode, 0) << result.out;
    kova::Book book = this->book("book.kova");
    EXPECT_EQ(book.fullName(), "Developer's Reference");
    EXPECT_EQ(book.pdbHeader().name, "Developers_Reference");
    EXPECT_EQ(book.exthString(100), "Rapha\xEBl");
}

// Both chapters link the same sheet, spelled two ways: it is read once, its warning printed once, and both
// chapters are styled by it.
TEST_F(OpfBuild, ASheetLinkedByManyPagesWarnsOnceAndStylesEach) {
    write("css/main.css", "@import url(other.css);\nh1 { text-align: center }\n");
    write("one.html",
          htmlPage("<h1>Chapter One</h1>", "<link rel=\"stylesheet\" type=\"text/css\" href=\"css/main.css\">"));
    write("two.html", htmlPage("<h1>Chapter Two</h1>",
                               "<link rel=\"stylesheet\" type=\"text/css\" href=\"./css/../css/main.css\">"));
    auto result = compileBook(dcMetadata("<dc:Title>T</dc:Title><dc:Language>en</dc:Language>"));
    EXPECT_EQ(result.exitCode, 1) << result.out;
    size_t warnings = 0;
    for (size_t at = result.out.find("the at rules"); at != std::string::npos;
         at = result.out.find("the at rules", at + 1))
        ++warnings;
    EXPECT_EQ(warnings, 1u) << result.out;
    const std::string text = book("book.kova").textString();
    EXPECT_NE(text.find("<h1 align=\"center\">Chapter One"), std::string::npos) << text;
    EXPECT_NE(text.find("<h1 align=\"center\">Chapter Two"), std::string::npos);
}

TEST_F(OpfBuild, EveryFailingContentFileIsReportedBeforeTheBuildFails) {
    write("one.html", "<html><head><title>No body</title></head></html>");
    write("two.html", "<html><head><title>Nor here</title></head></html>");
    auto result = compileBook(dcMetadata("<dc:Title>T</dc:Title><dc:Language>en</dc:Language>"));
    EXPECT_EQ(result.exitCode, 2);
    for (const char* file : {"one.html", "two.html"}) {
        EXPECT_NE(result.out.find("Error(htmlparser): No BODY tag found in content file.\n      in file: " +
                                  (dir / file).string()),
                  std::string::npos)
            << result.out;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "book.kova"));
}

TEST_F(OpfBuild, AnEmptySpineStillGivesBalancedMarkup) {
    write("book.opf", package(dcMetadata("<dc:Title>T</dc:Title><dc:Language>en</dc:Language>"), kChapterItems, ""));
    auto result = compile({"book.opf"});
    ASSERT_LE(result.exitCode, 1) << result.out;
    const std::string text = book("book.kova").textString();
    EXPECT_NE(text.find("<body>"), std::string::npos) << text;
    EXPECT_EQ(text.rfind("</body></html>"), text.size() - 14);
}

// A list may go on in the next file; a later file's body id and a link with a query both resolve.
TEST_F(OpfBuild, ListsBodyIdsAndQueriesAcrossContentFiles) {
    write("one.html", "<html><body><ol><li>a</li><li>b</li><p><a href=\"two.html?x=1#t\">to two</a> "
                      "<a href=\"two.html#start\">start</a></p></body></html>");
    write("two.html", "<html><body id=\"start\"><li>c</li></ol><h2 id=\"t\">Two</h2></body></html>");
    auto result = compileBook(dcMetadata("<dc:Title>T</dc:Title><dc:Language>en</dc:Language>"));
    ASSERT_EQ(result.exitCode, 0) << result.out;
    const std::string text = book("book.kova").textString();
    EXPECT_NE(text.find("<li value=\"3\">c</li></ol>"), std::string::npos) << text;
    EXPECT_EQ(text.compare(targetOf(text, "to two</a>"), 3, "<h2"), 0) << text;
    const uint64_t start = targetOf(text, "start</a>");
    EXPECT_EQ(text.compare(start, 3, "<li"), 0) << text;
    EXPECT_GT(start, text.find("</p>"));
}

TEST_F(OpfBuild, MissingStartTargetWarnsAndEndsWithOne) {
    auto result = compileBook(dcMetadata("<dc:Title>T</dc:Title><dc:Language>en</dc:Language>"),
                              "<reference type=\"start\" title=\"Start\" href=\"one.html#nowhere\"/>");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("Warning(mkbook): The start reading location could not be resolved."), std::string::npos);
    EXPECT_NE(result.out.find("Info(mkbook): KOVA File generated with WARNINGS!"), std::string::npos);
    EXPECT_TRUE(book("book.kova").sound());
}

TEST_F(OpfBuild, EmptyGuideTitleIsSkippedWithWarning) {
    auto result = compileBook(dcMetadata("<dc:Title>T</dc:Title><dc:Language>en</dc:Language>"),
                              "<reference type=\"toc\" title=\"\" href=\"one.html\"/>"
                              "<reference type=\"text\" title=\"Begin\" href=\"two.html#second\"/>");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("Warning(mkbook): Guide title is empty. Item is ignored"), std::string::npos);
    const std::string text = book("book.kova").textString();
    EXPECT_EQ(text.find("type=\"toc\""), std::string::npos);
    const size_t reference = text.find("<reference title=\"Begin\" type=\"text\" filepos=");
    ASSERT_NE(reference, std::string::npos);
    const uint64_t target = buildtest::fileposTargets(text.substr(reference))[0];
    EXPECT_EQ(text.compare(target, 3, "<h1"), 0);
    EXPECT_LT(text.find("Chapter One"), target);
}

TEST_F(OpfBuild, MissingLanguageFailsWithoutBook) {
    auto result = compileBook(dcMetadata("<dc:Title>T</dc:Title>"));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.out.find("Error(mkbook): Language not specified in metadata. The dc:Language field is "
                              "mandatory. Aborting."),
              std::string::npos);
    EXPECT_FALSE(exists("book.kova"));
    EXPECT_TRUE(temporaryDirectoryEmpty());
}

TEST_F(OpfBuild, UnknownLanguageFailsWithoutBook) {
    auto result = compileBook(dcMetadata("<dc:Title>T</dc:Title><dc:Language>klingon</dc:Language>"));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.out.find("Error(mkbook): Language not recognized in metadata."), std::string::npos);
    EXPECT_FALSE(exists("book.kova"));
}

TEST_F(OpfBuild, SpineIdWithoutItemFailsNamingTheId) {
    write("book.opf", package(dcMetadata("<dc:Title>T</dc:Title><dc:Language>en</dc:Language>"), kChapterItems,
                              "<itemref idref=\"one\"/><itemref idref=\"chapter9\"/>"));
    auto result = compile({"book.opf"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.out.find("Error(opfparser): the id in the spine does not match any item in the manifest: "
                              "chapter9"),
              std::string::npos);
    EXPECT_FALSE(exists("book.kova"));
    EXPECT_TRUE(temporaryDirectoryEmpty());
}

TEST_F(OpfBuild, ImageSpineItemBecomesACentredPage) {
    const auto png = imagetest::pngFromRgba(8, 8, imagetest::photoPixels(8, 8));
    write("pic.png", std::string(png.begin(), png.end()));
    write("book.opf", package(dcMetadata("<dc:Title>T</dc:Title><dc:Language>en</dc:Language>"),
                              kChapterItems + "<item id=\"pic\" href=\"pic.png\" media-type=\"image/png\"/>",
                              "<itemref idref=\"one\"/><itemref idref=\"pic\"/><itemref idref=\"two\"/>"));
    auto result = compile({"book.opf"});
    ASSERT_EQ(result.exitCode, 0) << result.out;
    kova::Book book = this->book("book.kova");
    const std::string text = book.textString();
    const size_t image = text.find("<p align=\"center\"><img recindex=\"00001\"");
    ASSERT_NE(image, std::string::npos) << text;
    EXPECT_LT(text.find("Chapter One"), image);
    EXPECT_GT(text.find("Chapter Two"), image);
    EXPECT_EQ(book.kova().firstImageRecord + 1, book.recordCount() - 1) << "one image record before the end";
}

// Packages that must fail cleanly: exit 2, no book and no temporary file left behind.
TEST_F(OpfBuild, BadPackagesFailWithoutLeftovers) {
    const std::string language = "<dc:Title>T</dc:Title><dc:Language>en</dc:Language>";
    const std::vector<std::pair<std::string, std::string>> packages{
        {"malformed", "<package><metadata><dc-metadata><dc:Title>T</dc:Ti"},
        {"no manifest", "<package><metadata><dc-metadata>" + language +
                            "</dc-metadata></metadata>"
                            "<spine><itemref idref=\"one\"/></spine></package>"},
        {"no spine", "<package><metadata><dc-metadata>" + language + "</dc-metadata></metadata><manifest>" +
                         kChapterItems + "</manifest></package>"},
        {"no metadata",
         "<package><manifest>" + kChapterItems + "</manifest><spine>" + kChapterSpine + "</spine></package>"},
        {"missing file", package(dcMetadata(language),
                                 kChapterItems + "<item id=\"gone\" href=\"gone.html\" media-type=\"text/html\"/>",
                                 kChapterSpine + "<itemref idref=\"gone\"/>")},
        {"not html", package(dcMetadata(language),
                             kChapterItems + "<item id=\"data\" href=\"data.txt\" media-type=\"text/plain\"/>",
                             kChapterSpine + "<itemref idref=\"data\"/>")},
        {"names itself",
         package(dcMetadata(language), kChapterItems + "<item id=\"self\" href=\"book.opf\" media-type=\"text/xml\"/>",
                 kChapterSpine + "<itemref idref=\"self\"/>")},
    };
    write("data.txt", std::string("\x00\x01\x02 binary \xff\xfe", 14));
    for (const auto& [name, text] : packages) {
        write("book.opf", text);
        auto result = compile({"book.opf"});
        EXPECT_EQ(result.exitCode, 2) << name << "\n" << result.out;
        EXPECT_FALSE(exists("book.kova")) << name;
        EXPECT_TRUE(temporaryDirectoryEmpty()) << name;
    }
}

}  // namespace
