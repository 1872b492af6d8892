// SPDX-License-Identifier: GPL-3.0-or-later
// Links between content files, record links and image placeholders, unresolved links, start location.
#include <filesystem>

#include "converter_fixture.h"

namespace {

std::string body(const std::string& inner) { return "<html><body>" + inner + "</body></html>"; }

TEST_F(ConverterTest, CrossFileLinkGetsTheTargetPosition) {
    writeContent("b.html", "");
    ASSERT_TRUE(convert("a.html", body("<a href=\"b.html#t\">go</a><a href=\"B.HTML\">b</a>")));
    ASSERT_TRUE(convert("b.html", body("<p>x</p><h2 id=\"t\">T</h2>"), false));
    EXPECT_EQ(links.resolveLinks(), 0u);
    ASSERT_TRUE(links.writeLinks(stream, media));
    // a.html: "<body>" 6, "<a filepos=... >go</a>" 29, "<a filepos=... >b</a>" 28, " " 1: b.html starts at 64.
    EXPECT_EQ(text(), "<body><a filepos=0000000072 >go</a><a filepos=0000000064 >b</a> <p>x</p><h2>T</h2> ");
    EXPECT_EQ(log.count(qp::InfoCode::ResolvingLinks), 1);
    EXPECT_EQ(log.count(qp::InfoCode::WritingLinks), 1);
}

// A later file's body tag is not written: its start, and the body's id, stand on the file's first tag when only
// white space comes before it, and on an anchor tag of their own before loose text.
TEST_F(ConverterTest, LaterFilesStartOnATag) {
    ASSERT_TRUE(convert("a.html", body("<p>a</p>")));
    ASSERT_TRUE(convert("b.html", "<html><body id=\"top\">\n    <h1>B</h1></body></html>", false));
    ASSERT_TRUE(convert("c.html", body("Loose text<h1>C</h1>"), false));
    const std::string written = text();
    EXPECT_EQ(written, "<body><p>a</p> \n    <h1>B</h1> <a/>Loose text<h1>C</h1> ");
    for (const auto& [href, tag] : {std::pair{"b.html", "<h1>B"}, {"b.html#top", "<h1>B"}, {"c.html", "<a/>Loose"}}) {
        const std::optional<uint64_t> start = links.resolve(path("a.html"), href);
        ASSERT_TRUE(start) << href;
        EXPECT_EQ(*start, written.find(tag)) << href;
    }
}

TEST_F(ConverterTest, OutsideLinksStayAsWritten) {
    ASSERT_TRUE(convert(
        "a.html", body("<a href=\"MAILTO:x@y.z\" global=\"yes\">m</a><a href=\"Http://e.org/p.png\">h</a>"), false));
    EXPECT_EQ(text(), "<a href=\"MAILTO:x@y.z\">m</a><a href=\"Http://e.org/p.png\">h</a> ");
    EXPECT_EQ(links.linkCount(), 0u);
}

TEST_F(ConverterTest, UpperCaseJpgLinkBecomesRecordLink) {
    qptest::writeFile(dir / "pic.JPG", "not really a picture");
    ASSERT_TRUE(convert("a.html", body("<a href=\"pic.JPG\">p</a>"), false));
    EXPECT_EQ(text(), "<a href=\"$XXXXX\">p</a> ");
    ASSERT_TRUE(links.writeLinks(stream, media));
    EXPECT_EQ(text(), "<a href=\"$00001\">p</a> ");
}

TEST_F(ConverterTest, MissingRecordTargetDropsTheHref) {
    ASSERT_TRUE(convert("a.html", body("<a href=\"gone.gif\">p</a>"), false));
    EXPECT_EQ(text(), "<a>p</a> ");
}

TEST_F(ConverterTest, UnresolvedLinkKeepsItsLettersAndWarnsTwice) {
    ASSERT_TRUE(convert("a.html", body("<a href=\"#nowhere\">n</a><a href=\"c.html\">c</a>"), false));
    EXPECT_EQ(links.resolveLinks(), 2u);
    ASSERT_TRUE(links.writeLinks(stream, media));
    EXPECT_EQ(text(), "<a filepos=XXXXXXXXXX >n</a><a filepos=XXXXXXXXXX >c</a> ");
    EXPECT_EQ(log.count(qp::WarningCode::LinkNotResolved), 2);
    EXPECT_EQ(log.count(qp::WarningCode::SomeLinksNotResolved), 1);
    EXPECT_EQ(faults.lastWarning, qp::WarningCode::SomeLinksNotResolved);
    const std::string named = "Warning(mkbook): Hyperlink not resolved:  " +
                              std::filesystem::path(path("a.html")).lexically_normal().string() + "#nowhere";
    EXPECT_NE(std::find(log.lines.begin(), log.lines.end(), named), log.lines.end());
}

TEST_F(ConverterTest, ImageSourcesSpelledLooselyAreOneRecord) {
    std::filesystem::create_directories(dir / "images");
    qptest::writeFile(dir / "images" / "a.png", "png bytes");
    qptest::writeFile(dir / "images" / "my pic.gif", "gif bytes");
    ASSERT_TRUE(convert(
        "a.html",
        body("<img src=\"images//a.png\" alt=\"a\"/><img src=\"./images/a.png\" losrc=\"sub/../images/%61.png\" "
             "hisrc=\"IMAGES/A.PNG\"/><img src=\"images/my%20pic.gif\"/><img src=\"none.png\"/>"),
        false));
    // The missing picture is the third entry: the built-in placeholder, so its reference does not dangle.
    ASSERT_EQ(media.entryCount(), 3u);
    EXPECT_TRUE(media.entry(2).placeholder);
    ASSERT_TRUE(links.writeLinks(stream, media));
    EXPECT_EQ(text(),
              "<img recindex=\"00001\" alt=\"a\"/><img recindex=\"00001\" lorecindex=\"00001\" hirecindex=\"00001\"/>"
              "<img recindex=\"00002\"/><img recindex=\"00003\"/> ");
}

TEST_F(ConverterTest, StartReadingLocationResolvesLikeALink) {
    ASSERT_TRUE(convert("text/a.html", body("<p id=\"start\">s</p>")));
    EXPECT_EQ(links.resolve(path("book.opf"), "text/a.html#start"), std::optional<uint64_t>(6));
    EXPECT_EQ(links.resolve(path("book.opf"), "text/a.html"), std::optional<uint64_t>(0));
    EXPECT_EQ(links.resolve(path("book.opf"), "text/a.html#missing"), std::nullopt);
}

TEST_F(ConverterTest, ExternalAnchorsAreUniqueAndServeGlobalLinks) {
    ASSERT_TRUE(convert("a.html",
                        body("<a name=\"#far\" external=\"yes\">x</a><tqp:section id=\"far\">y</tqp:section>"), false));
    EXPECT_EQ(log.count(qp::WarningCode::ExternalAnchorRedefined), 1);
    ASSERT_TRUE(convert("b.html", body("<a href=\"c.html#far\" global=\"yes\">g</a>"), false));
    EXPECT_EQ(links.resolveLinks(), 0u);
    // A section whose id its file already has still enters the external name, on a tag of its own.
    ASSERT_TRUE(convert("d.html", body("<p id=\"near\">p</p><tqp:section id=\"near\">s</tqp:section>"), false));
    ASSERT_TRUE(convert("e.html", body("<a href=\"c.html#near\" global=\"yes\">n</a>"), false));
    EXPECT_EQ(links.resolveLinks(), 0u);
    ASSERT_TRUE(links.writeLinks(stream, media));
    const std::string written = text();
    const size_t digits = written.rfind("filepos=") + 8;
    EXPECT_EQ(written.substr(std::stoull(written.substr(digits, 10)), 5), "<a/>s") << written;
}

}  // namespace
