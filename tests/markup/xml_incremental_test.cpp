// SPDX-License-Identifier: GPL-3.0-or-later
// Streaming use of the markup parser: one item per call, the hold list, discarding between calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "markup/xml_parser.h"
#include "xml_test_support.h"

namespace {

using qp::MarkupItem;
using qp::ParseMode;
using qp::XmlParser;
using Type = MarkupItem::Type;

// Each item as "<type>:<subtree>", reading with discard after every item as the converter does.
std::vector<std::string> stream(const std::string& text, std::vector<std::string> holdList = {}) {
    XmlParser parser(qp::String(text, 1252), ParseMode::Html);
    parser.setHoldList(std::move(holdList));
    std::vector<std::string> items;
    for (;;) {
        MarkupItem item = parser.next();
        static const char* const kTypes[] = {"none", "start", "end", "text", "comment", "subtree"};
        std::string entry = kTypes[static_cast<int>(item.type)];
        if (item.node != qp::kNoNode) entry += ":" + qptest::dumpTree(parser, item.node);
        items.push_back(entry);
        parser.discard();
        if (item.endOfText) break;
    }
    return items;
}

TEST(XmlIncremental, OneItemPerCall) {
    std::vector<std::string> expected{"start:p(@class=c)+", "text:'one'", "comment:<! c >", "start:br()", "end:</p>"};
    EXPECT_EQ(stream("<p class=c>one<!-- c --><br/></p>"), expected);
}

TEST(XmlIncremental, EndFlagComesWithTheLastItem) {
    XmlParser parser(qp::String("<a>x", 1252), ParseMode::Html);
    MarkupItem first = parser.next();
    EXPECT_EQ(first.type, Type::StartTag);
    EXPECT_FALSE(first.endOfText);
    MarkupItem second = parser.next();
    EXPECT_EQ(second.type, Type::Text);
    EXPECT_TRUE(second.endOfText);
    MarkupItem after = parser.next();
    EXPECT_EQ(after.type, Type::None);
    EXPECT_TRUE(after.endOfText);
}

TEST(XmlIncremental, EmptyTextGivesOneEmptyItem) { EXPECT_EQ(stream(""), std::vector<std::string>{"none"}); }

TEST(XmlIncremental, WithoutDiscardTheEndTagClosesTheOpenElement) {
    XmlParser parser(qp::String("<b>x</b>", 1252), ParseMode::Html);
    parser.next();
    parser.next();
    MarkupItem end = parser.next();
    EXPECT_EQ(end.type, Type::EndTag);
    EXPECT_EQ(end.node, 1u);
    EXPECT_TRUE(parser.closed(1));
}

TEST(XmlIncremental, HeldElementArrivesAsOneSubtree) {
    std::vector<std::string> expected{"start:div()+", "subtree:select(@name=s option('a') option('b'))", "text:'t'",
                                      "end:</div>"};
    EXPECT_EQ(stream("<div><select name=s><option>a</option><option>b</option></select>t</div>", {"select"}), expected);
}

TEST(XmlIncremental, HoldTracksOneElementAtATime) {
    // The inner pre is part of the outer one; the outer's end tag ends the hold.
    std::vector<std::string> expected{"subtree:pre(pre('x') 'y')", "text:'z'"};
    EXPECT_EQ(stream("<pre><pre>x</pre>y</pre>z", {"PRE"}), expected);
}

TEST(XmlIncremental, HeldElementClosedByAnOuterEndTag) {
    XmlParser parser(qp::String("<div><select><option>a</div>b", 1252), ParseMode::Html);
    parser.setHoldList({"select"});
    EXPECT_EQ(parser.next().type, Type::StartTag);
    MarkupItem held = parser.next();
    EXPECT_EQ(held.type, Type::Subtree);
    // The repair moves the option out of the select to the div that the end tag named.
    EXPECT_EQ(qptest::dumpTree(parser, held.node), "select()");
    EXPECT_EQ(qptest::dumpTree(parser, 1), "div(select() option('a'))");
    EXPECT_EQ(parser.next().type, Type::Text);
}

TEST(XmlIncremental, HeldElementRunningToEndOfText) {
    std::vector<std::string> expected{"subtree:select('a')+"};
    EXPECT_EQ(stream("<select>a", {"select"}), expected);
}

TEST(XmlIncremental, WrittenEmptyHeldElementIsAStartTag) {
    std::vector<std::string> expected{"start:select()", "text:'x'"};
    EXPECT_EQ(stream("<select/>x", {"select"}), expected);
}

TEST(XmlIncremental, HeldScriptKeepsItsRawText) {
    std::vector<std::string> expected{"subtree:script(@type=a 'x<y></p>')", "text:'z'"};
    EXPECT_EQ(stream("<script type=a>x<y></p></script>z", {"script"}), expected);
}

TEST(XmlIncremental, UnheldScriptTextIsItsOwnItem) {
    std::vector<std::string> expected{"start:script()+", "text:'a<b'", "end:</script>"};
    EXPECT_EQ(stream("<script>a<b</script>"), expected);
}

TEST(XmlIncremental, DiscardStartsAFreshDocument) {
    XmlParser parser(qp::String("<a><b>", 1252), ParseMode::Html);
    parser.next();
    parser.next();
    EXPECT_EQ(parser.nodeCount(), 3u);
    EXPECT_EQ(parser.openCount(), 2u);
    parser.discard();
    EXPECT_EQ(parser.nodeCount(), 1u);
    EXPECT_EQ(parser.openCount(), 0u);
    EXPECT_EQ(parser.currentParent(), 0u);
    EXPECT_EQ(parser.kind(0), qp::NodeKind::Element);
}

TEST(XmlIncremental, StoreStaysBoundedWhileStreamingALongFile) {
    std::string text = "<html><body>";
    for (int i = 0; i < 20000; ++i) text += "<p class=\"x\">paragraph <b>" + std::to_string(i) + "</b></p>\n";
    text += "</body></html>";
    XmlParser parser(qp::String(text, 1252), ParseMode::Html);
    size_t largest = 0;
    size_t items = 0;
    for (;;) {
        MarkupItem item = parser.next();
        largest = std::max(largest, parser.nodeCount());
        ++items;
        parser.discard();
        if (item.endOfText) break;
    }
    EXPECT_LE(largest, 3u);  // document node, element, one attribute
    EXPECT_EQ(items, 4u + 20000u * 7u);
}

TEST(XmlIncremental, CancelFlagAbortsTheParse) {
    std::atomic<bool> cancel{false};
    XmlParser parser(qp::String("<a>x</a><b>y</b>", 1252), ParseMode::Xml);
    parser.setCancelFlag(&cancel);
    parser.next();
    cancel = true;
    MarkupItem item = parser.next();
    EXPECT_TRUE(item.endOfText);
    EXPECT_TRUE(parser.aborted());
    EXPECT_EQ(parser.lastError, qp::ErrorCode::UserCanceled);
    EXPECT_FALSE(parser.parse());
}

TEST(XmlIncremental, FaultySourceIsNotParsed) {
    qp::String source("<a/>", 1252);
    source.lastError = qp::ErrorCode::IncoherentEncodings;
    XmlParser parser(source, ParseMode::Xml);
    EXPECT_FALSE(parser.parse());
    EXPECT_EQ(parser.lastError, qp::ErrorCode::SourceFaulty);
    EXPECT_EQ(parser.nodeCount(), 1u);
}

}  // namespace
