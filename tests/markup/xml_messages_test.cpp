// SPDX-License-Identifier: GPL-3.0-or-later
// What the markup parser reports: the texts of malformed constructs in XML mode, and nothing in HTML mode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "markup/xml_parser.h"
#include "xml_test_support.h"

namespace {

using qp::ParseMode;
using qp::XmlParser;
using Texts = std::vector<std::string>;

Texts reported(const std::string& text, ParseMode mode) {
    qptest::MessageRecorder recorder;
    XmlParser parser(qp::String(text, 1252), mode);
    parser.messages = &recorder;
    parser.parse();
    return recorder.texts();
}

TEST(XmlMessages, UnknownEndTagInXml) {
    Texts expected{"Warning(parsing): Unclosed XML node(s) above.", "Warning(parsing): Closing an unknown node."};
    EXPECT_EQ(reported("</span>", ParseMode::Xml), expected);
}

TEST(XmlMessages, EndTagClosingInnerElementsInXml) {
    Texts expected{"Warning(parsing): Unclosed XML node(s) above."};
    EXPECT_EQ(reported("<b><i>x</b>", ParseMode::Xml), expected);
}

TEST(XmlMessages, MalformedConstructsInXml) {
    EXPECT_EQ(reported("<a b>", ParseMode::Xml), Texts{"Warning(parsing): Attribute has no value."});
    EXPECT_EQ(reported("<a / >", ParseMode::Xml), Texts{"Warning(parsing): Invalid attribute name."});
    EXPECT_EQ(reported("<a></a x>", ParseMode::Xml),
              Texts{"Warning(parsing): Expected > after </name but did not get it."});
    EXPECT_EQ(reported("1 < 2", ParseMode::Xml), Texts{"Error(parsing): Invalid or missing XML tag name."});
    EXPECT_EQ(reported("<!-- x", ParseMode::Xml), Texts{"Error(parsing): End of HTML-style comment not found."});
    EXPECT_EQ(reported("<![CDATA[ x", ParseMode::Xml), Texts{"Error(parsing): End of <![CDATA[ tag not found."});
}

TEST(XmlMessages, WellFormedXmlIsSilent) {
    EXPECT_TRUE(reported("<?xml version='1.0'?><a x=\"1\"><!-- c --><b/>t<![CDATA[<]]></a>", ParseMode::Xml).empty());
}

TEST(XmlMessages, HtmlModeIsQuiet) {
    qptest::MessageRecorder recorder;
    XmlParser parser(qp::String("</span><a b / ></a x>1 < 2<!-- x", 1252), ParseMode::Html);
    parser.messages = &recorder;
    parser.parse();
    EXPECT_TRUE(recorder.lines.empty());
    EXPECT_EQ(parser.lastError, qp::ErrorCode::None);  // a quiet object records no errors
    EXPECT_NE(parser.lastWarning, qp::WarningCode::None);
}

TEST(XmlMessages, MessagesCarryTheLineNumber) {
    qptest::MessageRecorder recorder;
    XmlParser parser(qp::String("<a>\n\n</b></a>", 1252), ParseMode::Xml);
    parser.messages = &recorder;
    parser.parse();
    ASSERT_EQ(recorder.lines.size(), 2u);
    EXPECT_NE(recorder.lines[1].find("line: 0000003"), std::string::npos) << recorder.lines[1];
}

}  // namespace
