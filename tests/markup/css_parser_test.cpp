// SPDX-License-Identifier: GPL-3.0-or-later
#include "markup/css_parser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "captured_sink.h"
#include "test_support.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Parsed {
    qp::StyleSheet sheet;
    std::vector<qp::WarningCode> warnings;
    std::vector<Raised<qp::WarningCode>> details;
};

Parsed parse(std::string_view text) {
    CapturedSink messages;
    qp::FaultHeader faults{&messages};
    Parsed parsed{qp::parseStyleSheet(text, faults, "sheet.css"), {}, {}};
    parsed.warnings = messages.warningCodes();
    parsed.details = messages.warnings;
    return parsed;
}

std::string selectorParts(const qp::CssSelector& s) {
    return s.element + "|" + s.className + "|" + s.id + "|" + s.pseudoClass;
}

std::vector<std::string> selectorsOf(const qp::StyleSheet& sheet) {
    std::vector<std::string> all;
    for (const qp::CssRule& rule : sheet.rules) {
        for (const qp::CssSelector& selector : rule.selectors) all.push_back(selectorParts(selector));
    }
    return all;
}

std::vector<std::string> declarationsOf(const qp::CssRule& rule) {
    std::vector<std::string> all;
    for (const qp::CssDeclaration& d : rule.declarations) all.push_back(d.name + "=" + d.value);
    return all;
}

TEST(CssParser, SelectorsSplitIntoElementClassIdAndPseudoClass) {
    const Parsed parsed = parse("h1, P.Note, #top, a:link, div#main.wide, *.x, * {}");
    EXPECT_THAT(selectorsOf(parsed.sheet),
                ElementsAre("h1|||", "P|Note||", "||top|", "a|||link", "div|wide|main|", "|x||", "|||"));
    EXPECT_THAT(parsed.warnings, IsEmpty());
}

TEST(CssParser, SelectorsThisModelCannotMatchAreDroppedWithoutWarning) {
    const Parsed parsed = parse("div > p, p + p, div p, p.a.b, a::before, li:nth-child(2), input[type=text], p ~ p"
                                " { color: red }\n"
                                "h2, div > p { color: blue }");
    ASSERT_EQ(parsed.sheet.rules.size(), 1u);
    EXPECT_THAT(selectorsOf(parsed.sheet), ElementsAre("h2|||"));
    EXPECT_THAT(parsed.warnings, IsEmpty());
}

TEST(CssParser, DeclarationValuesAreTrimmedFoldedAndFreedOfCommentsAndImportant) {
    const Parsed parsed = parse("p {\n  margin :  1em\n   2em /* top-bottom, sides */ ;"
                                "color: red !important; font-weight:bold;;; }");
    ASSERT_EQ(parsed.sheet.rules.size(), 1u);
    EXPECT_THAT(declarationsOf(parsed.sheet.rules[0]), ElementsAre("margin=1em 2em", "color=red", "font-weight=bold"));
}

TEST(CssParser, StringsKeepEscapedQuotesBracesAndSemicolons) {
    const Parsed parsed = parse("q { quotes: \"a \\\"}\\\" ;b\" 'c'; background-image: url(data:x;base64,AAA=) }"
                                " em { font-style: italic }");
    ASSERT_EQ(parsed.sheet.rules.size(), 2u);
    EXPECT_THAT(declarationsOf(parsed.sheet.rules[0]),
                ElementsAre("quotes=\"a \\\"}\\\" ;b\" 'c'", "background-image=url(data:x;base64,AAA=)"));
    EXPECT_THAT(parsed.warnings, IsEmpty());
}

TEST(CssParser, LeadingCharsetGivesTheCodePageWithoutWarning) {
    const Parsed western = parse("@charset \"iso-8859-1\";\np { color: red }");
    EXPECT_EQ(western.sheet.charset, "iso-8859-1");
    EXPECT_EQ(western.sheet.charsetCodePage, 1252);
    EXPECT_EQ(western.sheet.rules.size(), 1u);
    EXPECT_THAT(western.warnings, IsEmpty());

    EXPECT_EQ(parse("@CHARSET 'UTF-8';").sheet.charsetCodePage, 65001);
    EXPECT_EQ(parse("@charset \"no-such-set\";").sheet.charsetCodePage, -1);
    EXPECT_EQ(qp::leadingCharset("  @charset \"koi8-r\"; p{}"), "koi8-r");
    EXPECT_EQ(qp::leadingCharset("p{} @charset \"koi8-r\";"), "");
}

TEST(CssParser, CharsetAfterTheStartIsAnIgnoredAtRule) {
    const Parsed parsed = parse("p { color: red }\n@charset \"utf-8\";");
    EXPECT_EQ(parsed.sheet.charsetCodePage, -1);
    EXPECT_THAT(parsed.warnings, ElementsAre(qp::WarningCode::CssAtRuleIgnored));
}

TEST(CssParser, ImportMediaAndOtherAtRulesAreSkippedWholeWithTheAtRuleWarning) {
    const Parsed parsed = parse("@import url(\"base.css\") screen;\n"
                                "@media screen and (min-width: 600px) {\n"
                                "  p { color: red }\n"
                                "  @supports (display: grid) { div { display: grid } }\n"
                                "  h1 { color: blue }\n"
                                "}\n"
                                "@font-face { font-family: \"Body\"; src: url(body.otf); }\n"
                                "@page :first { margin: 1in }\n"
                                "h2 { font-weight: bold }");
    EXPECT_THAT(parsed.warnings, ElementsAre(qp::WarningCode::CssAtRuleIgnored, qp::WarningCode::CssAtRuleIgnored,
                                             qp::WarningCode::CssAtRuleIgnored, qp::WarningCode::CssAtRuleIgnored));
    EXPECT_THAT(selectorsOf(parsed.sheet), ElementsAre("h2|||"));
    ASSERT_EQ(parsed.details.size(), 4u);
    EXPECT_EQ(parsed.details[0].number(0), 1);  // line numbers, and the file as given
    EXPECT_EQ(parsed.details[1].number(0), 2);
    EXPECT_EQ(parsed.details[2].number(0), 7);
    EXPECT_EQ(parsed.details[3].number(0), 8);
    EXPECT_EQ(parsed.details[3].text(1), u"sheet.css");
}

TEST(CssParser, InvalidCharactersInDeclarationsWarnAndTheParseGoesOn) {
    const Parsed parsed = parse("p {\n *zoom: 1;\n color red;\n font-style: italic;\n"
                                "  width: 10px { nested } ; text-align: center }\n"
                                "h1 { color: blue }");
    EXPECT_THAT(parsed.warnings, ElementsAre(qp::WarningCode::CssInvalidCharacter, qp::WarningCode::CssInvalidCharacter,
                                             qp::WarningCode::CssInvalidCharacter));
    EXPECT_EQ(parsed.details[0].number(0), 2);
    EXPECT_EQ(parsed.details[1].number(0), 3);
    ASSERT_EQ(parsed.sheet.rules.size(), 2u);
    EXPECT_THAT(declarationsOf(parsed.sheet.rules[0]), ElementsAre("font-style=italic", "text-align=center"));
    EXPECT_THAT(declarationsOf(parsed.sheet.rules[1]), ElementsAre("color=blue"));
}

TEST(CssParser, HtmlCommentMarkersAroundStyleTextAreIgnored) {
    const Parsed parsed = parse("<!--\np { color: red }\n-->");
    EXPECT_THAT(selectorsOf(parsed.sheet), ElementsAre("p|||"));
    EXPECT_THAT(parsed.warnings, IsEmpty());
}

TEST(CssParser, TruncatedSheetsEndTheParseQuietly) {
    EXPECT_THAT(declarationsOf(parse("p { color: red; font-weight: bo").sheet.rules.at(0)),
                ElementsAre("color=red", "font-weight=bo"));
    EXPECT_TRUE(parse("p { color: red } h1 /* never closed").sheet.rules.size() == 1);
    EXPECT_TRUE(parse("p { content: \"never closed").sheet.rules.size() == 1);
    EXPECT_TRUE(parse("@media print { p { color: red }").sheet.rules.empty());
    EXPECT_TRUE(parse("").sheet.rules.empty());
    EXPECT_TRUE(parse("}}}{{{").sheet.rules.empty());
}

TEST(CssParser, StrayStatementsAreDropped) {
    const Parsed parsed = parse("garbage; p { color: red } ; } h1 { color: blue }");
    EXPECT_THAT(selectorsOf(parsed.sheet), ElementsAre("p|||", "h1|||"));
}

TEST(CssParser, DeclarationListOfAStyleAttribute) {
    CapturedSink messages;
    qp::FaultHeader faults{&messages};
    const std::vector<qp::CssDeclaration> list =
        qp::parseDeclarationList("font-weight: bold; color:#333;  } text-align : right", faults);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].name + "=" + list[0].value, "font-weight=bold");
    EXPECT_EQ(list[1].name + "=" + list[1].value, "color=#333");
    EXPECT_EQ(list[2].name + "=" + list[2].value, "text-align=right");
    EXPECT_THAT(messages.warningCodes(), ElementsAre(qp::WarningCode::CssInvalidCharacter));
    EXPECT_EQ(faults.lastWarning, qp::WarningCode::CssInvalidCharacter);
}

TEST(CssParser, NovelStyleSheetParsesWithoutDeclarationWarnings) {
    const std::string text = qptest::readFile(std::string(QP_TEST_DATA_DIR) + "/css/novel.css");
    ASSERT_FALSE(text.empty());
    const Parsed parsed = parse(text);
    for (qp::WarningCode code : parsed.warnings) EXPECT_EQ(code, qp::WarningCode::CssAtRuleIgnored);
    EXPECT_GT(parsed.sheet.rules.size(), 200u);
}

}  // namespace
