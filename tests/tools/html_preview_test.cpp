// SPDX-License-Identifier: GPL-3.0-or-later
// kovadump's HTML preview of books built by hand: what of the book's markup reaches the pages, how page breaks
// and large texts are cut, where links lead, and the exit codes of --html.
#include "html_preview.h"

#include <gtest/gtest.h>

#include "kova_book.h"
#include "preview_pages.h"
#include "test_book.h"
#include "test_support.h"

namespace {

// An uncompressed western book holding the text, in records of 4,096 bytes.
std::string bookWithText(const std::string& text) {
    kovatest::Record0Fields fields;
    fields.textLength = static_cast<uint32_t>(text.size());
    fields.exth = {{100, "Mara Quell"}};
    std::vector<std::string> records;
    for (size_t at = 0; at < text.size(); at += 4096) records.push_back(text.substr(at, 4096));
    return kovatest::bookFile(fields, records);
}

class HtmlPreview : public ::testing::Test {
protected:
    std::string page(const std::string& text, const std::string& file = "text/part0001.html") {
        const kova::Book book = kova::Book::fromBytes(bookWithText(text));
        std::string error;
        EXPECT_TRUE(kova::writeHtmlPreview(book, dir / "preview", error)) << error;
        return qptest::readFile(dir / "preview" / file);
    }

    qptest::TempDir dir;
};

TEST_F(HtmlPreview, PassesOnlyTheDevicesVocabularyAndEscapesTheRest) {
    const std::string html = page(
        "<html><head><guide><reference title=\"x&quot;><script>\" type=\"toc\" filepos=0000000080 /></guide>"
        "</head><body><p onclick=\"alert(1)\" align=\"center\" width=\"2em\">A &amp; B & <b>c</b> 1 < 2</p>"
        "<script>alert(2)</script><a href=\"javascript:alert(3)\">j</a><img src=\"http://x/i.png\" recindex=\"00009\">"
        "<font color=\"red;background:url(http://x)\" size=\"+2\">f</font><p width=\"1em;position:fixed\">w</p>"
        "<iframe src=\"http://x/\">i</iframe><a filepos=XXXXXXXXXX >u</a><tt onmouseover='x'>t</tt></body></html>");
    const std::string body = html.substr(html.find("<main"));
    for (const char* absent :
         {"script", "onclick", "onmouseover", "javascript", "http:", "iframe", "background", "position", "alert(2)"})
        EXPECT_EQ(body.find(absent), std::string::npos) << absent << " in " << body;
    EXPECT_NE(body.find("<p style=\"text-align:center;text-indent:2em;\">A &amp; B &amp; <b>c</b> 1 &lt; 2</p>"),
              std::string::npos)
        << body;
    EXPECT_NE(body.find("<span class=\"size-5\">f</span>"), std::string::npos);
    EXPECT_NE(body.find("class=\"missing-image\"></span><span"), std::string::npos);
    EXPECT_NE(body.find("<a title=\"a link whose target was never resolved\" class=\"unresolved\">u</a>"),
              std::string::npos);
    EXPECT_NE(body.find("<tt>t</tt>"), std::string::npos);
    const std::string contents = qptest::readFile(dir / "preview" / "data" / "contents.js");
    EXPECT_NE(contents.find("\"title\":\"x&quot;><script>\""), std::string::npos) << contents;
}

TEST_F(HtmlPreview, EachElementKeepsItsOwnAttributes) {
    const std::string html =
        page("<html><body><p>a</p><p align=\"right\">b</p><p>c</p><FONT size=2>d</FONT><font>e</font></body></html>");
    EXPECT_NE(html.find("<p>a</p><p style=\"text-align:right;\">b</p><p>c</p><span class=\"size-2\">d</span>"
                        "<span>e</span>"),
              std::string::npos)
        << html;
}

TEST_F(HtmlPreview, PageBreaksMakeSheetsAndLargeChaptersFilesThatLinksFollow) {
    // A chapter of 20,000 bytes linking to the second, which starts after a page break in a file of its own; a
    // short third chapter stays in that file as a sheet of its own.
    const std::string filler = "<p>" + std::string(20000, 'x') + "</p>";
    std::string text = "<html><body><p><a filepos=XXXXXXXXXX >next</a></p>" + filler;
    const size_t second = text.size() + 16;
    text += "<tqp:pagebreak/><h1>Two</h1><ul><li>one</li><tqp:pagebreak/><li>two</li></ul></body></html>";
    text.replace(text.find("XXXXXXXXXX"), 10,
                 std::string(10 - std::to_string(second).size(), '0') + std::to_string(second));
    const std::string first = page(text);
    EXPECT_NE(first.find("<a href=\"part0002.html#p" + std::to_string(second) + "\">next</a>"), std::string::npos);
    const std::string next = qptest::readFile(dir / "preview" / "text" / "part0002.html");
    EXPECT_NE(next.find("<section class=\"page\"><h1 id=\"p" + std::to_string(second) +
                        "\">Two</h1><ul><li>one</li>"
                        "</ul></section>\n<section class=\"page\"><ul><li>two</li></ul></section>"),
              std::string::npos)
        << next;
    EXPECT_NE(next.find("rel=\"prev\" href=\"part0001.html\""), std::string::npos);
}

TEST(PreviewText, FindsTheFilesOfManyTargetsAtOnce) {
    // Two files: the second begins at the page break after 20,000 bytes; 5 is no target, so it has no anchor.
    const std::string text =
        "<html><body><p>" + std::string(20000, 'x') + "</p><tqp:pagebreak/><p>two</p></body></html>";
    const uint64_t second = text.find("<p>two");
    const kova::Book book = kova::Book::fromBytes(bookWithText(text));
    const kova::PreviewText pages = kova::renderPreviewText(book, {second, 20, 12}, std::nullopt, {});
    ASSERT_EQ(pages.files.size(), 2u);
    EXPECT_EQ(pages.filesOf({second, 5, 20, 12, second}), (std::vector<size_t>{1, 1, 0, 0, 1}));
    EXPECT_EQ(pages.fileOf(second), 1u);
    EXPECT_EQ(pages.fileOf(20), 0u);
}

TEST(HtmlPreviewTool, UnsoundBooksGetAPreviewThatNamesTheFaultsAndUnwritableFoldersExitTwo) {
    qptest::TempDir dir;
    std::string book = bookWithText("<html><body><p>text</p></body></html>");
    book.resize(book.size() - 4);  // no end-of-file record
    qptest::writeFile(dir / "b.kova", book);
    auto run = qptest::run(QP_KOVADUMP_BIN, {(dir / "b.kova").string(), "--html", (dir / "preview").string()});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.out, (dir / "preview" / "index.html").string() + "\n");
    EXPECT_NE(run.err.find("kovadump: missing end-of-file record"), std::string::npos) << run.err;
    EXPECT_NE(qptest::readFile(dir / "preview" / "index.html").find("The book is unsound"), std::string::npos);

    qptest::writeFile(dir / "file", "");
    run = qptest::run(QP_KOVADUMP_BIN, {(dir / "b.kova").string(), "--html", (dir / "file" / "preview").string()});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("kovadump: cannot create " + (dir / "file" / "preview").string()), std::string::npos)
        << run.err;
}

}  // namespace
