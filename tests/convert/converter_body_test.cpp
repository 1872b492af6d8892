// SPDX-License-Identifier: GPL-3.0-or-later
// The book text written for content files: exact bytes for each accept rule and rewriting.
#include "converter_fixture.h"

namespace {

std::string body(const std::string& inner) {
    return "<html><head><title>t</title></head><body>" + inner + "</body></html>";
}

TEST_F(ConverterTest, PreBecomesAlignedTeletypeWithBreaksAndAlternatingSpaces) {
    ASSERT_TRUE(convert("a.html", body("<pre>one\n\ttwo</pre><pre>a   b\r\n  c</pre>"), false));
    EXPECT_EQ(text(), "<div align=\"left\"><tt>one<br/>&nbsp; &nbsp; two</tt></div>"
                      "<div align=\"left\"><tt>a &nbsp; b<br/>&nbsp; c</tt></div> ");
}

TEST_F(ConverterTest, BareParagraphKeepsItsAnchorAndLinkKeepsItsId) {
    ASSERT_TRUE(convert("a.html", body("<a id=\"n1\" href=\"#intro\">x</a><p class=\"c\" id=\"intro\">y</p>")));
    EXPECT_EQ(text(), "<body><a id=\"n1\" filepos=XXXXXXXXXX >x</a><p>y</p> ");
    EXPECT_EQ(links.resolveLinks(), 0u);
    ASSERT_TRUE(links.writeLinks(stream, media));
    // "<body>" 6 + "<a id=\"n1\"" 10 + placeholder 20 + ">" 1 + "x" 1 + "</a>" 4 = 42
    EXPECT_EQ(text(), "<body><a id=\"n1\" filepos=0000000042 >x</a><p>y</p> ");
    EXPECT_EQ(links.resolve(path("a.html"), "#n1"), std::optional<uint64_t>(6));
}

TEST_F(ConverterTest, CourierFontOpensOneTeletypeWrapper) {
    ASSERT_TRUE(convert("a.html",
                        body("<font face=\"courier\">a<font face=\"Courier New\">b</font></font>"
                             "<font face=\"MONOSPACE\"/><font face=\"serif\">c</font>"),
                        false));
    EXPECT_EQ(text(), "<tt><font face=\"courier\">a<font face=\"Courier New\">b</font></font></tt>"
                      "<tt><font face=\"MONOSPACE\"/></tt><font face=\"serif\">c</font> ");
}

TEST_F(ConverterTest, EmptyBodyGivesBodyTagOnlyForTheFirstFile) {
    ASSERT_TRUE(convert("a.html", body("")));
    ASSERT_TRUE(convert("b.html", body(""), false));
    // The later file's start stands on an anchor tag of its own.
    EXPECT_EQ(text(), "<body> <a/> ");
    EXPECT_EQ(links.resolve(path("a.html"), "b.html"), std::optional<uint64_t>(7));
}

TEST_F(ConverterTest, MissingBodyIsAnErrorAndWritesNothing) {
    EXPECT_FALSE(convert("a.html", "<html><head><title>t</title></head></html>"));
    EXPECT_EQ(faults.lastError, qp::ErrorCode::NoBodyInContent);
    EXPECT_EQ(text(), "");
}

TEST_F(ConverterTest, OrderedListsNumberTheirItems) {
    ASSERT_TRUE(convert("a.html",
                        body("<ol start=\"3\"><li>a</li><li value=\"7\">b</li><li>c<ul><li>d</li></ul></li>"
                             "<li>e</li></ol><ol><li>f</li></ol>"),
                        false));
    EXPECT_EQ(text(),
              "<ol start=\"3\"><li value=\"3\">a</li><li value=\"7\">b</li><li value=\"8\">c<ul><li>d</li></ul></li>"
              "<li value=\"9\">e</li></ol><ol><li value=\"1\">f</li></ol> ");
}

// Empty elements never get an end tag, and a start tag that implies the end of an open element closes it
// there, not at the end of the enclosing list or block.
TEST_F(ConverterTest, EmptyElementsAndImpliedEnds) {
    ASSERT_TRUE(convert("a.html",
                        body("<div><p>a<br>b<br/>c</p></div><div>cap<hr>rule<wbr></div><ol><li>one<li>two</ol>"
                             "<p>x<p><b>y</b><div>z</div><dl><dt>t<dd>d<dt>u</dl><p>q</br>r</p>"),
                        false));
    EXPECT_EQ(text(), "<div><p>a<br>b<br/>c</p></div><div>cap<hr>rule<wbr></div>"
                      "<ol><li value=\"1\">one</li><li value=\"2\">two</li></ol><p>x</p><p><b>y</b><div>z</div>"
                      "<dl><dt>t</dt><dd>d</dd><dt>u</dt></dl></p><p>qr</p> ");
}

TEST_F(ConverterTest, ScriptsEventsFormsAndFramesLeaveOnlyText) {
    ASSERT_TRUE(convert(
        "a.html",
        body("<p onclick=\"f()\" onMouseOver=\"g()\" one=\"1\" onion=\"2\">a</p><script>if (a<b) x=\"</p>\";</script>"
             "<form action=\"s\"><input type=\"text\" name=\"q\"/>b<select name=\"s\"><option>o</option>"
             "</select><textarea>t</textarea><button>u</button></form>"
             "<tqp:frameset><tqp:section id=\"s1\">v</tqp:section></tqp:frameset>"),
        false));
    // The section writes no tag, so its anchor gets one.
    EXPECT_EQ(text(), "<p one=\"1\" onion=\"2\">a</p>botu<a/>v ");
    EXPECT_EQ(links.resolve(path("a.html"), "#s1"), std::optional<uint64_t>(30));
    EXPECT_EQ(faults.lastWarning, qp::WarningCode::None);
}

TEST_F(ConverterTest, AttributesFollowTheirRules) {
    ASSERT_TRUE(convert("a.html",
                        body("<p lang=\"fr\" title=\"t\" id=\"k\" align='a\"b'>x</p><span name=\"n\">y</span>"
                             "<tqp:pagebreak crossable=\"no\"/><tqp:pagebreak crossable=\"yes\"/>"),
                        false));
    EXPECT_EQ(text(), "<p lang=\"fr\" title=\"t\" id=\"k\" align=\"a&quot;b\">x</p><span>y</span>"
                      "<tqp:pagebreak/><tqp:pagebreak/> ");
    EXPECT_TRUE(converter.languageSeen());
    // "<p lang=\"fr\" title=\"t\" id=\"k\" align=\"a&quot;b\">x</p>" is 52 bytes, "<span>y</span>" 14
    EXPECT_EQ(converter.nonCrossableBreaks(), std::vector<uint64_t>{66});
}

TEST_F(ConverterTest, EndTagsCloseWhatIsOpenInsideThem) {
    ASSERT_TRUE(convert("a.html", body("<div><p>a<b>b</div>c</i><br>d"), false));
    EXPECT_EQ(text(), "<div><p>a<b>b</b></p></div>c</i><br>d ");
}

TEST_F(ConverterTest, IndexMarkupIsCapturedAndItsTagsDropped) {
    ASSERT_TRUE(convert("a.html",
                        body("<p>z</p><idx:entry name=\"dict\"><idx:orth><b>w&#246;rd</b></idx:orth> means"
                             "<idx:compound-keys>hidden</idx:compound-keys></idx:entry><tei-ms:x>y</tei-ms:x>"
                             "<idx:entry name=\"other\">loose</idx:entry>"),
                        false));
    // The index names are no anchors: the entry that opens with loose text gets no anchor tag.
    EXPECT_EQ(text(), "<p>z</p><b>w&#246;rd</b> meansyloose ");
    EXPECT_EQ(links.resolve(path("a.html"), "#other"), std::nullopt);
    const qp::DictionaryMarkup gathered = index.handOver();
    ASSERT_EQ(gathered.entries.size(), 2u);
    EXPECT_TRUE(index.empty());
    const qp::DictionaryEntry& entry = gathered.entries[0];
    EXPECT_EQ(gathered.indexNames[entry.index], "dict");
    EXPECT_EQ(entry.headword, "w\xC3\xB6rd");
    EXPECT_EQ(entry.text.start, 8u);  // after "<p>z</p>"
    EXPECT_EQ(entry.text.end, 30u);   // 16 bytes of headword and " means": the entry ends before "y"
    EXPECT_EQ(entry.details().compoundKeys, std::vector<std::string>{"hidden"});
}

TEST_F(ConverterTest, CharactersOutsideWesternBecomeReferencesOncePerFile) {
    ASSERT_TRUE(convert("a.html", body("\xC3\xA9\xE2\x82\xAC\xD0\x96 \xE4\xB8\xAD"), false));
    EXPECT_EQ(text(), "<a/>\xE9\x80&#1046; &#20013; ");
    EXPECT_EQ(log.count(qp::WarningCode::NotWestern), 1);
    EXPECT_EQ(log.count(qp::InfoCode::EntitiesIntroduced), 1);
    ASSERT_TRUE(convert("b.html", body("plain"), false));
    EXPECT_EQ(log.count(qp::WarningCode::NotWestern), 1);
}

TEST_F(ConverterTest, WesternSourceIntoUtf8Book) {
    qp::HtmlConverter unicode{faults, stream, links, media, index, {.textCodePage = qp::kCodePageUtf8}};
    const std::string html = body("caf\xE9 \x80");
    writeContent("w.html", html);
    ASSERT_TRUE(
        unicode.convertFile(qp::String(html, qp::kCodePageWestern), qp::String::fromUtf8(path("w.html")), false));
    EXPECT_EQ(text(), "<a/>caf\xC3\xA9 \xE2\x82\xAC ");
    EXPECT_TRUE(log.warnings.empty());
}

}  // namespace
