// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "build_fixture.h"
#include "convert/image_test_pictures.h"
#include "exth_reader.h"

namespace {

using buildtest::BuildTest;
using buildtest::htmlPage;

using HtmlBuild = BuildTest;

TEST_F(HtmlBuild, SamplePageCompilesWithTitleAuthorsAndLinks) {
    std::filesystem::copy_file(QP_EXAMPLES_DIR "/single-page.html", dir / "single-page.html");
    auto result = compile({"single-page.html"});
    ASSERT_EQ(result.exitCode, 0) << result.out;
    kova::Book book = this->book("single-page.kova");
    ASSERT_TRUE(book.sound()) << book.loadError();
    EXPECT_EQ(book.fullName(), "A Short Guide to Knots");
    EXPECT_EQ(book.exthStrings(100), (std::vector<std::string>{"Ida Marlow", "Finn Carver"}));
    const std::string text = book.textString();
    EXPECT_EQ(text.rfind("</body></html>"), text.size() - 14);
    const auto targets = buildtest::fileposTargets(text);
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(text.compare(targets[0], 3, "<h2"), 0);
    EXPECT_LT(text.find("The bowline"), targets[0]);
    EXPECT_GT(text.find("The clove hitch"), targets[0]);
    EXPECT_EQ(text.compare(targets[1], 3, "<h1"), 0);
    EXPECT_GT(text.find("A Short Guide to Knots"), targets[1]);
}

TEST_F(HtmlBuild, AnHtml4PageGetsNoEndTagForAnEmptyElement) {
    std::string body;
    for (int i = 0; i < 20; ++i) {
        body += "<p>line<br>next<BR>last<hr><ul><li>one<li>two<br></ul><dl><dt>term<dd>text<br></dl>"
                "<table><tr><td>cell<br><td>cell</table>";
    }
    write("page.html", htmlPage(body, "<title>Lists</title><meta name=\"x\" content=\"y\">"));
    ASSERT_EQ(compile({"page.html"}).exitCode, 0);
    EXPECT_EQ(buildtest::endTagOfEmptyElement(book("page.kova").textString()), "");
}

TEST_F(HtmlBuild, FileWithoutTitleIsTitledByItsFileName) {
    write("my notes.v2.html", htmlPage("<p>Body</p>"));
    auto result = compile({"my notes.v2.html"});
    ASSERT_EQ(result.exitCode, 0) << result.out;
    EXPECT_EQ(book("my notes.v2.kova").fullName(), "my notes.v2");
    EXPECT_NE(result.out.find("Info(mkbook): Added metadata dc:Title        \"my notes.v2\""), std::string::npos);
}

TEST_F(HtmlBuild, AuthorListWithTrailingSemicolonGivesTwoCreators) {
    write("page.html", htmlPage("<p>Body</p>", "<title>Paged</title><META NAME=\"author\" CONTENT=\"A; B;\">"));
    ASSERT_EQ(compile({"page.html"}).exitCode, 0);
    EXPECT_EQ(book("page.kova").exthStrings(100), (std::vector<std::string>{"A", "B"}));
}

TEST_F(HtmlBuild, ReferencesInTitleAndAuthorsAreCharactersNotSeparators) {
    write("page.html",
          htmlPage("<p>Body</p>", "<title>Caf&#233; &amp; Co</title>"
                                  "<META NAME=\"author\" CONTENT=\"Rapha&#235;l Hertzog; Ren&eacute; Roy\">"));
    ASSERT_EQ(compile({"page.html", "-unicode"}).exitCode, 0);
    kova::Book book = this->book("page.kova");
    EXPECT_EQ(book.fullName(), "Caf\xc3\xa9 & Co");
    EXPECT_EQ(book.exthStrings(100), (std::vector<std::string>{"Rapha\xc3\xabl Hertzog", "Ren\xc3\xa9 Roy"}));
}

TEST_F(HtmlBuild, TheBlocksOfTheTextAreNamedAndStored) {
    write("page.html", htmlPage("<p>\xD0\x96\xD0\xB8\xD0\xB7\xD0\xBD\xD1\x8C</p>",
                                "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"));
    auto result = compile({"page.html"});
    ASSERT_EQ(result.exitCode, 0) << result.out;
    EXPECT_NE(result.out.find("Info(mkbook): Found UNICODE range: U+0400-U+04FF Cyrillic\n"), std::string::npos);
    const std::vector<std::string> values = book("page.kova").exthStrings(300);
    ASSERT_EQ(values.size(), 1u);
    const auto ranges = kova::readCharacterRanges(std::vector<uint8_t>(values[0].begin(), values[0].end()));
    ASSERT_TRUE(ranges);
    ASSERT_EQ(ranges->size(), 2u);
    EXPECT_EQ((*ranges)[0].first, 0x0000u);
    EXPECT_EQ((*ranges)[0].last, 0x007Fu);
    EXPECT_EQ((*ranges)[1].first, 0x0400u);
    EXPECT_EQ((*ranges)[1].last, 0x04FFu);
}

TEST_F(HtmlBuild, DeclaredCharsetChoosesTheTextCodePage) {
    write("western.html", htmlPage("<p>caf\xe9</p>"));
    ASSERT_EQ(compile({"western.html"}).exitCode, 0);
    kova::Book western = book("western.kova");
    EXPECT_EQ(western.kova().textEncoding, 1252u);
    EXPECT_NE(western.textString().find("caf\xe9"), std::string::npos);

    write("utf8.html",
          htmlPage("<p>caf\xc3\xa9</p>", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"));
    ASSERT_EQ(compile({"utf8.html"}).exitCode, 0);
    kova::Book utf8 = book("utf8.kova");
    EXPECT_EQ(utf8.kova().textEncoding, 65001u);
    EXPECT_NE(utf8.textString().find("caf\xc3\xa9"), std::string::npos);

    // ASCII cannot hold the accented byte: the page is read as the ANSI code page and kept byte for byte.
    write("ascii.html",
          htmlPage("<p>Caf\xe9</p>", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=us-ascii\">"));
    ASSERT_EQ(compile({"ascii.html"}).exitCode, 0);
    kova::Book ascii = book("ascii.kova");
    EXPECT_EQ(ascii.kova().textEncoding, 1252u);
    EXPECT_NE(ascii.textString().find("<p>Caf\xe9</p>"), std::string::npos);
    ASSERT_EQ(compile({"ascii.html", "-unicode"}).exitCode, 0);
    EXPECT_NE(book("ascii.kova").textString().find("Caf\xc3\xa9"), std::string::npos);
}

// Whichever part of the compiler raises it, a warning the user saw makes the result "generated with warnings".
TEST_F(HtmlBuild, EveryWarningOnTheConsoleCountsInTheResult) {
    write("plain.css", "@font-face { font-family: x; }\np { margin: 0 }\n");
    const struct {
        std::string head;
        std::string warning;
    } cases[] = {
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=x-unheard-of\">",
         "Warning(parsing): Found an unsupported text encoding."},
        {"<link rel=\"stylesheet\" type=\"text/css\" href=\"plain.css\">", "Warning(cssparser): the at rules"},
    };
    for (const auto& c : cases) {
        write("page.html", htmlPage("<p>Body</p>", "<title>W</title>" + c.head));
        auto result = compile({"page.html"});
        EXPECT_NE(result.out.find(c.warning), std::string::npos) << result.out;
        EXPECT_EQ(result.exitCode, 1) << result.out;
        EXPECT_NE(result.out.find("Info(mkbook): KOVA File generated with WARNINGS!"), std::string::npos);
    }
}

TEST_F(HtmlBuild, SmallCoverIsBuiltWithWarning) {
    const auto rgba = imagetest::photoPixels(400, 600);
    const auto png = imagetest::pngFromRgba(400, 600, rgba);
    write("cover.png", std::string(png.begin(), png.end()));
    write("page.html", htmlPage("<p>Body</p>", "<title>C</title><meta name=\"Cover\" content=\"cover.png\">"));
    auto result = compile({"page.html"});
    EXPECT_EQ(result.exitCode, 1) << result.out;
    EXPECT_NE(result.out.find("Warning(mkbook): Cover is too small : "), std::string::npos);
    kova::Book book = this->book("page.kova");
    ASSERT_TRUE(book.sound());
    EXPECT_EQ(book.exthNumber(201), 0u);
    EXPECT_EQ(book.exthNumber(202), 1u);
}

TEST_F(HtmlBuild, MissingCoverWarnsAndBuildsWithoutIt) {
    write("page.html", htmlPage("<p>Body</p>", "<title>C</title><meta name=\"Cover\" content=\"none.jpg\">"));
    auto result = compile({"page.html"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("Warning(mkbook): Cover file not found : "), std::string::npos);
    EXPECT_FALSE(book("page.kova").exthNumber(201).has_value());
}

}  // namespace
