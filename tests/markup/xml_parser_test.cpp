// SPDX-License-Identifier: GPL-3.0-or-later
// Tree building of the markup parser: nesting, the unclosed-element repair, stray end tags, attributes,
// comments, declarations, CDATA and raw script text.
#include "markup/xml_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "xml_test_support.h"

namespace {

using qp::NodeKind;
using qp::ParseMode;
using qp::XmlParser;
using qptest::dumpDocument;

std::string parsed(const std::string& text, ParseMode mode) {
    XmlParser parser(qp::String(text, 1252), mode);
    EXPECT_TRUE(parser.parse());
    return dumpDocument(parser);
}

TEST(XmlParserTree, ParagraphWithoutEndTagHoldsTheNextOne) {
    EXPECT_EQ(parsed("<p>one<p>two</p>", ParseMode::Html), "p('one' p('two'))+");
}

TEST(XmlParserTree, EndTagClosesInnerElementsAndLaterTextIsASibling) {
    EXPECT_EQ(parsed("<b><i>x</b>y", ParseMode::Html), "b(i('x')) 'y'");
}

TEST(XmlParserTree, RepairMovesDeeperElementsUnderTheMatchedOne) {
    XmlParser parser(qp::String("<b><i><u>x</b>", 1252), ParseMode::Html);
    parser.parse();
    EXPECT_EQ(dumpDocument(parser), "b(i() u('x'))");
    // Node indexes follow document order: b=1, i=2, u=3, x=4. All three closed where </b> starts (offset 10).
    EXPECT_EQ(parser.parent(3), 1u);
    EXPECT_EQ(parser.parent(4), 3u);
    for (qp::NodeIndex element : {1u, 2u, 3u}) EXPECT_EQ(parser.closePosition(element), 10u);
    EXPECT_EQ(parser.currentParent(), 0u);
    EXPECT_EQ(parser.openCount(), 0u);
}

TEST(XmlParserTree, StrayEndTagIsKeptInHtmlAndDroppedInXml) {
    EXPECT_EQ(parsed("<p>a</span>b</p>", ParseMode::Html), "p('a' </span> 'b')");
    EXPECT_EQ(parsed("<p>a</span>b</p>", ParseMode::Xml), "p('a' 'b')");
}

TEST(XmlParserTree, WrittenEmptyElementClosesAtOnce) {
    XmlParser empty(qp::String("<p>a<br/>b</p>", 1252), ParseMode::Html);
    empty.parse();
    EXPECT_EQ(dumpDocument(empty), "p('a' br() 'b')");
    EXPECT_TRUE(empty.writtenEmpty(3));
    EXPECT_TRUE(empty.closed(3));

    XmlParser open(qp::String("<p>a<br>b</p>", 1252), ParseMode::Html);
    open.parse();
    EXPECT_EQ(dumpDocument(open), "p('a' br('b'))");
    EXPECT_FALSE(open.writtenEmpty(3));
    EXPECT_TRUE(open.closed(3));  // closed by </p>
}

TEST(XmlParserTree, ScriptTextIsOneTextNodeInHtml) {
    EXPECT_EQ(parsed("<script>if (a<b) x=\"</p>\";</script>", ParseMode::Html), "script('if (a<b) x=\"</p>\";')");
    EXPECT_EQ(parsed("<SCRIPT>a<b></SCRIPT>x", ParseMode::Html), "SCRIPT('a<b>') 'x'");
}

TEST(XmlParserTree, ScriptIsOrdinaryMarkupInXml) {
    EXPECT_EQ(parsed("<script>a<b/>c</script>", ParseMode::Xml), "script('a' b() 'c')");
}

TEST(XmlParserTree, AttributesQuotedUnquotedAndWithoutValue) {
    EXPECT_EQ(parsed("<a href=\"x y\" title='it''s' n=5 checked id = z>t</a>", ParseMode::Html),
              "a(@href=x y @title=it @s= @n=5 @checked= @id=z 't')");
}

TEST(XmlParserTree, AttributeNodesComeBeforeContentAndKeepPositions) {
    XmlParser parser(qp::String("<img src=\"a.gif\" alt=x>", 1252), ParseMode::Html);
    parser.parse();
    ASSERT_EQ(parser.kind(2), NodeKind::Attribute);
    EXPECT_EQ(parser.name(2), "src");
    EXPECT_EQ(parser.start(2), 5u);
    EXPECT_EQ(parser.contentStart(2), 10u);
    EXPECT_EQ(parser.attribute(1, "ALT").toUtf8(), "x");
    EXPECT_EQ(parser.findAttribute(1, "missing"), qp::kNoNode);
    EXPECT_EQ(parser.start(1), 0u);
    EXPECT_EQ(parser.contentStart(1), 23u);
    EXPECT_EQ(parser.closePosition(1), qp::kNoPosition);
}

TEST(XmlParserTree, CommentsDeclarationsAndInstructions) {
    XmlParser parser(qp::String("<?xml version=\"1.0\"?><!DOCTYPE html><!-- a <b> --><r/>", 1252), ParseMode::Xml);
    parser.parse();
    EXPECT_EQ(dumpDocument(parser), "<!?xml version=\"1.0\"?> <!DOCTYPE html> <! a <b> > r()");
    EXPECT_FALSE(parser.isComment(1));
    EXPECT_FALSE(parser.isComment(2));
    EXPECT_TRUE(parser.isComment(3));
}

TEST(XmlParserTree, CdataIsATextNodeWithItsDelimiters) {
    XmlParser parser(qp::String("<x><![cdata[a<b>&amp;]]></x>", 1252), ParseMode::Xml);
    parser.parse();
    EXPECT_EQ(dumpDocument(parser), "x('<![cdata[a<b>&amp;]]>')");
    EXPECT_TRUE(parser.isCdata(2));
}

TEST(XmlParserTree, LessThanThatStartsNoTagIsText) {
    EXPECT_EQ(parsed("a < b <3 c<", ParseMode::Html), "'a < b <3 c<'");
}

TEST(XmlParserTree, NamesMatchCaseBlind) { EXPECT_EQ(parsed("<DIV><P>x</p></div>", ParseMode::Xml), "DIV(P('x'))"); }

TEST(XmlParserTree, EndTagWithJunkBeforeItsBracket) {
    EXPECT_EQ(parsed("<a>x</a junk>y", ParseMode::Html), "a('x') 'y'");
}

TEST(XmlParserTree, ElementsOpenAtEndOfTextStayUnclosed) {
    XmlParser parser(qp::String("<a><b>x", 1252), ParseMode::Xml);
    parser.parse();
    EXPECT_EQ(dumpDocument(parser), "a(b('x')+)+");
    EXPECT_EQ(parser.closePosition(1), qp::kNoPosition);
    EXPECT_EQ(parser.openCount(), 0u);  // the XML parse empties the open stack
}

TEST(XmlParserTree, TruncatedTagsAreTolerated) {
    EXPECT_EQ(parsed("<a href=\"x", ParseMode::Html), "a(@href=x)+");
    EXPECT_EQ(parsed("<a b<c>", ParseMode::Html), "a(@b= c()+)+");
    EXPECT_EQ(parsed("<!-- never ends", ParseMode::Html), "<! never ends>");
    EXPECT_EQ(parsed("<![CDATA[ never", ParseMode::Html), "'<![CDATA[ never'");
}

TEST(XmlParserTree, DeepNestingNeedsNoRecursion) {
    std::string text;
    constexpr int kDepth = 100000;
    for (int i = 0; i < kDepth; ++i) text += "<div>";
    text += "x";
    for (int i = 0; i < kDepth; ++i) text += "</div>";
    XmlParser parser(qp::String(text, 1252), ParseMode::Html);
    ASSERT_TRUE(parser.parse());
    EXPECT_EQ(parser.nodeCount(), static_cast<size_t>(kDepth) + 2);
    EXPECT_EQ(parser.textContent(1).toUtf8(), "x");
    EXPECT_EQ(parser.parent(kDepth + 1), static_cast<qp::NodeIndex>(kDepth));
    EXPECT_TRUE(parser.closed(1));
}

TEST(XmlParserTree, OverlongNamesAreRefusedAsTagNames) {
    std::string longName(XmlParser::kMaxNameLength + 1, 'n');
    XmlParser parser(qp::String("<" + longName + ">x<ok " + longName + ">", 1252), ParseMode::Xml);
    parser.parse();
    EXPECT_EQ(dumpDocument(parser), "'<" + longName + ">x' ok()+");
    EXPECT_EQ(parser.lastError, qp::ErrorCode::BadTagName);
    EXPECT_EQ(parser.lastWarning, qp::WarningCode::BadAttributeName);
}

TEST(XmlParserTree, Utf16SourceIsParsedAsUtf8) {
    XmlParser parser(qp::String(u"<p a=\"\u00e9\">\u20ac</p>"), ParseMode::Html);
    parser.parse();
    EXPECT_EQ(parser.codePage(), qp::kCodePageUtf8);
    EXPECT_EQ(parser.text(3).toUtf8(), "\u20ac");
    EXPECT_EQ(parser.attribute(1, "a").toUtf8(), "\u00e9");
}

TEST(XmlParserTree, TextReadOutDecodesOnlyTheFourEntities) {
    XmlParser parser(qp::String("<p t=\"&quot;&nbsp;\">&lt;a&gt; &amp;amp; &#233; &copy;</p>", 1252), ParseMode::Html);
    parser.parse();
    EXPECT_EQ(parser.text(3).toUtf8(), "<a> &amp; &#233; &copy;");
    EXPECT_EQ(parser.attribute(1, "t").toUtf8(), "\"&nbsp;");
    EXPECT_EQ(parser.text(3).codePage(), 1252);
}

TEST(XmlParserTree, CdataReadsOutAsItStands) {
    XmlParser parser(qp::String("<x><![CDATA[a&amp;b]]></x>", 1252), ParseMode::Xml);
    parser.parse();
    EXPECT_EQ(parser.text(2).toUtf8(), "a&amp;b");
    EXPECT_EQ(parser.textContent(1).toUtf8(), "a&amp;b");
}

TEST(XmlParserTree, TextContentJoinsDescendantsInOrder) {
    XmlParser parser(qp::String("<t a=\"no\"> A <b>&lt;B</b><!-- no -->C</t>", 1252), ParseMode::Xml);
    parser.parse();
    EXPECT_EQ(parser.textContent(1).toUtf8(), " A <BC");
}

TEST(XmlParserTree, ReadingPastTheStoreGivesEmptyResults) {
    XmlParser parser(qp::String("<a/>", 1252), ParseMode::Xml);
    parser.parse();
    EXPECT_EQ(parser.name(99), "");
    EXPECT_EQ(parser.parent(99), qp::kNoNode);
    EXPECT_TRUE(parser.children(99).empty());
    EXPECT_EQ(parser.lastError, qp::ErrorCode::NodeMissing);
}

}  // namespace
