// SPDX-License-Identifier: GPL-3.0-or-later
#include "markup/css_style_context.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "captured_sink.h"
#include "test_support.h"

namespace {

using qp::StyleContext;

StyleContext contextOf(std::string_view sheet) {
    StyleContext context;
    context.addSheetText(sheet);
    return context;
}

TEST(CssStyleContext, SelectorPriorities) {
    EXPECT_EQ(qp::selectorPriority({"p", "", "", ""}), 1);
    EXPECT_EQ(qp::selectorPriority({"", "note", "", ""}), 10);
    EXPECT_EQ(qp::selectorPriority({"", "", "top", ""}), 100);
    EXPECT_EQ(qp::selectorPriority({"p", "note", "top", "link"}), 111);
    EXPECT_EQ(qp::selectorPriority({"", "", "", ""}), 0);
}

TEST(CssStyleContext, MoreSpecificRulesWinWhateverTheirOrder) {
    StyleContext context = contextOf("#top { color: green }\n"
                                     "p.note { color: blue }\n"
                                     ".note { color: purple }\n"
                                     "p { color: red }\n"
                                     "* { color: black }");
    EXPECT_EQ(context.computeStyle("p", "", "", "").color, "red");
    EXPECT_EQ(context.computeStyle("div", "", "", "").color, "black");
    EXPECT_EQ(context.computeStyle("div", "note", "", "").color, "purple");
    EXPECT_EQ(context.computeStyle("p", "note", "", "").color, "blue");
    EXPECT_EQ(context.computeStyle("p", "note", "top", "").color, "green");
}

TEST(CssStyleContext, OfEqualPrioritiesTheLaterRuleWinsAcrossSheets) {
    StyleContext context = contextOf("p { color: red; font-weight: bold }\np { color: blue }");
    context.addSheetText("p { color: teal }");
    const qp::StyleRecord style = context.computeStyle("P", "", "", "");
    EXPECT_EQ(style.color, "teal");
    EXPECT_EQ(style.fontWeight, 1);
}

TEST(CssStyleContext, TheStyleAttributeWinsOverEveryRule) {
    StyleContext context = contextOf("#x.y { color: red; text-align: left }");
    const qp::StyleRecord style = context.computeStyle("p", "y", "x", "color: navy");
    EXPECT_EQ(style.color, "navy");
    EXPECT_EQ(style.textAlign, "left");
}

TEST(CssStyleContext, TheFirstMatchingSelectorOfARuleGivesItsPriority) {
    // "p" matches first (priority 1), so the class rule (10) overrides it although "p.c" would be 11.
    StyleContext firstIsElement = contextOf("p, p.c { color: red }\n.c { color: blue }");
    EXPECT_EQ(firstIsElement.computeStyle("p", "c", "", "").color, "blue");
    StyleContext firstIsClassed = contextOf("p.c, p { color: red }\n.c { color: blue }");
    EXPECT_EQ(firstIsClassed.computeStyle("p", "c", "", "").color, "red");
}

TEST(CssStyleContext, ClassIsComparedWholeAndNamesCaseBlind) {
    StyleContext context = contextOf("P.Intro { font-style: italic }\n#Top { font-weight: bold }");
    EXPECT_EQ(context.computeStyle("p", "intro", "", "").fontStyle, 1);
    EXPECT_FALSE(context.computeStyle("p", "intro first", "", "").fontStyle);
    EXPECT_EQ(context.computeStyle("h1", "", "TOP", "").fontWeight, 1);
    EXPECT_FALSE(context.computeStyle("div", "", "", "").fontStyle);
}

TEST(CssStyleContext, LinkPseudoClassNeedsAnAnchorWithHref) {
    StyleContext context = contextOf("a:link { text-decoration: underline }\n:link { color: blue }\n"
                                     "a:hover { color: red }");
    EXPECT_EQ(context.computeStyle("a", "", "", "", true).textDecoration, 1);
    EXPECT_EQ(context.computeStyle("a", "", "", "", true).color, "blue");
    EXPECT_FALSE(context.computeStyle("a", "", "", "", false).textDecoration);
    EXPECT_FALSE(context.computeStyle("span", "", "", "", true).color);
}

TEST(CssStyleContext, RewriteElementReadsClassIdStyleAndHrefFromTheAttributes) {
    StyleContext context = contextOf(".chapter { page-break-before: always }\na:link { font-weight: bold }");
    const qp::StyledMarkup heading =
        context.rewriteElement("h1", {{"class", "chapter"}, {"style", "text-align: center"}, {"align", "left"}});
    EXPECT_EQ(heading.before, "<tqp:pagebreak/>");
    EXPECT_TRUE(heading.attributes.empty());  // its own align stays
    EXPECT_EQ(context.rewriteElement("a", {{"HREF", "#c1"}}).afterStart, "<b>");
    EXPECT_TRUE(context.rewriteElement("a", {{"name", "c1"}}).empty());
}

TEST(CssStyleContext, WarningsOfStyleAttributesLandInTheContext) {
    CapturedSink messages;
    StyleContext context;
    context.messages = &messages;
    context.computeStyle("p", "", "", "color: red; {oops}");
    EXPECT_EQ(context.lastWarning, qp::WarningCode::CssInvalidCharacter);
    EXPECT_THAT(messages.warningCodes(), ::testing::ElementsAre(qp::WarningCode::CssInvalidCharacter));
}

TEST(CssStyleContext, AMissingSheetFileIsErrorCssFileNotFound) {
    CapturedSink messages;
    qptest::TempDir dir;
    const std::string missing = (dir / "absent.css").string();
    StyleContext context;
    qp::StyleSheetFiles files(&messages);
    EXPECT_FALSE(context.addSheetFile(qp::String::fromUtf8(missing), qp::kCodePageWestern, files));
    EXPECT_EQ(context.lastError, qp::ErrorCode::CssFileNotFound);
    ASSERT_EQ(messages.errors.size(), 1u);
    EXPECT_EQ(messages.errors[0].code, qp::ErrorCode::CssFileNotFound);
    EXPECT_EQ(messages.errors[0].text(0), std::u16string(missing.begin(), missing.end()));
}

TEST(CssStyleContext, SheetFilesAreDecodedByCharsetByteOrderMarkOrTheDefault) {
    qptest::TempDir dir;
    qptest::writeFile(dir / "latin.css", "@charset \"iso-8859-1\";\np { font-family: Caf\xE9 }");
    qptest::writeFile(dir / "plain.css", "p { font-family: Caf\xE9 }");
    qptest::writeFile(dir / "marked.css", "\xEF\xBB\xBFp { font-family: Caf\xC3\xA9 }");
    qptest::writeFile(dir / "declared.css", "@charset \"utf-8\";\np { font-family: Caf\xC3\xA9 }");
    qp::StyleSheetFiles files(nullptr);
    for (const char* name : {"latin.css", "plain.css", "marked.css", "declared.css"}) {
        StyleContext context;
        ASSERT_TRUE(context.addSheetFile(qp::String::fromUtf8((dir / name).string()), qp::kCodePageWestern, files))
            << name;
        EXPECT_EQ(context.computeStyle("p", "", "", "").fontFamily, "Caf\xC3\xA9") << name;
    }
    StyleContext utf8Default;
    utf8Default.addSheetFile(qp::String::fromUtf8((dir / "marked.css").string()), qp::kCodePageUtf8, files);
    EXPECT_EQ(utf8Default.computeStyle("p", "", "", "").fontFamily, "Caf\xC3\xA9");
}

TEST(CssStyleContext, NovelStyleSheetStylesItsElements) {
    CapturedSink messages;
    StyleContext context;
    qp::StyleSheetFiles files(&messages);
    ASSERT_TRUE(context.addSheetFile(qp::String::fromUtf8(std::string(QP_TEST_DATA_DIR) + "/css/novel.css"),
                                     qp::kCodePageWestern, files));
    EXPECT_GT(context.ruleCount(), 200u);
    EXPECT_EQ(context.lastError, qp::ErrorCode::None);
    EXPECT_EQ(messages.warnings.size(), 7u);  // @import, two @font-face, three @media, @page
    EXPECT_EQ(qp::rewriteStyle("h2", {}, context.computeStyle("h2", "chapter-title", "", "")).before,
              "<tqp:pagebreak/>");
    const qp::StyleRecord paragraph = context.computeStyle("p", "first", "", "");
    EXPECT_EQ(paragraph.textIndent, "0");
}

}  // namespace
