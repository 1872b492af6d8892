// SPDX-License-Identifier: GPL-3.0-or-later
#include "markup/css_rewrite.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using qp::MarkupAttribute;
using qp::StyledMarkup;
using qp::StyleRecord;

StyleRecord styled(std::initializer_list<std::pair<std::string_view, std::string_view>> declarations) {
    StyleRecord style;
    for (const auto& [name, value] : declarations) style.apply(name, value);
    return style;
}

// The element written the way the converter writes it, with "..." as its content.
std::string written(std::string_view element, const std::vector<MarkupAttribute>& attributes,
                    const StyledMarkup& markup) {
    std::vector<MarkupAttribute> all = attributes;
    for (const MarkupAttribute& setting : markup.attributes) {
        bool replaced = false;
        for (MarkupAttribute& attribute : all) {
            if (attribute.name == setting.name) {
                attribute.value = setting.value;
                replaced = true;
            }
        }
        if (!replaced) all.push_back(setting);
    }
    std::string text = markup.before + "<" + std::string(element);
    for (const MarkupAttribute& attribute : all) text += " " + attribute.name + "=\"" + attribute.value + "\"";
    return text + ">" + markup.afterStart + "..." + markup.beforeEnd + "</" + std::string(element) + ">" + markup.after;
}

std::string rewritten(std::string_view element,
                      std::initializer_list<std::pair<std::string_view, std::string_view>> style,
                      const std::vector<MarkupAttribute>& attributes = {}, qp::RewriteOptions options = {}) {
    return written(element, attributes, qp::rewriteStyle(element, attributes, styled(style), options));
}

TEST(CssRewrite, FontSizes) {
    EXPECT_EQ(rewritten("span", {{"font-size", "12pt"}}), "<span><font size=\"3\">...</font></span>");
    EXPECT_EQ(rewritten("span", {{"font-size", "150%"}}), "<span><font size=\"+2\">...</font></span>");
    EXPECT_EQ(rewritten("span", {{"font-size", "1em"}}), "<span>...</span>");
}

TEST(CssRewrite, IndentBecomesWidthOnBlocks) {
    EXPECT_EQ(rewritten("p", {{"text-indent", "1.5em"}}), "<p width=\"2em\">...</p>");
    EXPECT_EQ(rewritten("H3", {{"text-indent", "-1em"}}), "<H3 width=\"-1em\">...</H3>");
    EXPECT_EQ(rewritten("span", {{"text-indent", "1em"}}), "<span>...</span>");
}

TEST(CssRewrite, OwnAlignAndBgcolorOfABlockAreKept) {
    EXPECT_EQ(rewritten("p", {{"text-align", "center"}}, {{"align", "right"}}), "<p align=\"right\">...</p>");
    EXPECT_EQ(rewritten("p", {{"text-align", "center"}}), "<p align=\"center\">...</p>");
    EXPECT_EQ(rewritten("div", {{"background-color", "#eee"}}, {{"bgcolor", "red"}}), "<div bgcolor=\"red\">...</div>");
    EXPECT_EQ(rewritten("td", {{"background-color", "#eee"}}, {{"bgcolor", "red"}}), "<td bgcolor=\"#eee\">...</td>");
}

TEST(CssRewrite, BoldItalicSpanIsWrappedOnceEach) {
    EXPECT_EQ(rewritten("span", {{"font-weight", "bold"}, {"font-style", "italic"}}), "<span><b><i>...</i></b></span>");
    EXPECT_EQ(rewritten("b", {{"font-weight", "bold"}}), "<b>...</b>");
    EXPECT_EQ(rewritten("i", {{"font-weight", "bold"}, {"font-style", "italic"}}), "<i><b>...</b></i>");
}

TEST(CssRewrite, PageBreaks) {
    EXPECT_EQ(rewritten("h1", {{"page-break-before", "always"}}), "<tqp:pagebreak/><h1>...</h1>");
    EXPECT_EQ(rewritten("h1", {{"page-break-before", "avoid"}}), "<h1>...</h1>");
    EXPECT_EQ(rewritten("div", {{"page-break-after", "right"}}), "<div>...</div><tqp:pagebreak/>");
    EXPECT_EQ(rewritten("div", {{"page-break-before", "left"}, {"page-break-after", "auto"}}),
              "<tqp:pagebreak/><div>...</div>");
}

TEST(CssRewrite, DecorationsAndVerticalAlignment) {
    EXPECT_EQ(rewritten("span", {{"text-decoration", "underline"}}), "<span><u>...</u></span>");
    EXPECT_EQ(rewritten("u", {{"text-decoration", "underline"}}), "<u>...</u>");
    EXPECT_EQ(rewritten("span", {{"text-decoration", "line-through"}}), "<span><strike>...</strike></span>");
    EXPECT_EQ(rewritten("span", {{"text-decoration", "overline"}}), "<span>...</span>");
    EXPECT_EQ(rewritten("span", {{"vertical-align", "super"}}), "<span><sup>...</sup></span>");
    EXPECT_EQ(rewritten("sub", {{"vertical-align", "sub"}}), "<sub>...</sub>");
}

TEST(CssRewrite, TopMarginIsHeightOnBlocksAndASpacerElsewhere) {
    EXPECT_EQ(rewritten("p", {{"margin-top", "1.5em"}}), "<p height=\"2em\">...</p>");
    EXPECT_EQ(rewritten("p", {{"margin-top", "2em"}}, {{"height", "5"}}), "<p height=\"5\">...</p>");
    EXPECT_EQ(rewritten("li", {{"margin-top", "12pt"}}), "<div height=\"16\"></div><li>...</li>");
    EXPECT_EQ(rewritten("p", {{"margin-top", "0"}}), "<p>...</p>");
    EXPECT_EQ(rewritten("p", {{"margin-top", "-1em"}}), "<p>...</p>");
    EXPECT_EQ(rewritten("p", {{"margin", "0 0 1em 0"}}), "<p>...</p><div height=\"1em\"></div>");
}

TEST(CssRewrite, LeftMarginIsABlockquoteCarryingTheIndent) {
    EXPECT_EQ(rewritten("p", {{"margin-left", "2em"}}), "<blockquote><p>...</p></blockquote>");
    EXPECT_EQ(rewritten("p", {{"margin-left", "2em"}, {"text-indent", "0"}}),
              "<blockquote width=\"0\"><p width=\"0\">...</p></blockquote>");
    EXPECT_EQ(rewritten("p", {{"margin-left", "2em"}, {"text-indent", "-1em"}}),
              "<blockquote><p width=\"-1em\">...</p></blockquote>");
    EXPECT_EQ(rewritten("p", {{"margin-left", "0"}}), "<p>...</p>");
    EXPECT_EQ(rewritten("p", {{"margin-left", "auto"}}), "<p>...</p>");
}

TEST(CssRewrite, FontWrapperAndMonospace) {
    EXPECT_EQ(rewritten("p", {{"font-family", "'Courier New', monospace"}, {"color", "#333"}, {"font-size", "small"}}),
              "<p><tt><font size=\"3\" face=\"Courier New, monospace\" color=\"#333\">...</font></tt></p>");
    EXPECT_EQ(rewritten("p", {{"font-family", "Courier"}, {"color", "red"}}, {}, {.suppressFontFaces = true}),
              "<p><font color=\"red\">...</font></p>");
    EXPECT_EQ(rewritten("p", {{"font-family", "Georgia"}}, {}, {.suppressFontFaces = true}), "<p>...</p>");
    EXPECT_EQ(rewritten("font", {{"font-family", "Georgia"}, {"font-size", "x-large"}}, {{"size", "2"}}),
              "<font size=\"6\" face=\"Georgia\">...</font>");
}

TEST(CssRewrite, AttributeValuesAreEscaped) {
    EXPECT_EQ(rewritten("span", {{"font-family", "A&B \"C\"<"}}),
              "<span><font face=\"A&amp;B &quot;C&quot;&lt;\">...</font></span>");
}

TEST(CssRewrite, BordersOnBlocksAndTables) {
    EXPECT_EQ(rewritten("div", {{"border", "1px solid black"}}), "<div border=\"1\">...</div>");
    EXPECT_EQ(rewritten("div", {{"border", "none"}}), "<div>...</div>");
    EXPECT_EQ(rewritten("table", {{"border-width", "0"}}), "<table border=\"0\">...</table>");
    EXPECT_EQ(rewritten("table", {{"border-style", "solid"}, {"background-color", "#fff"}}),
              "<table bgcolor=\"#fff\" border=\"1\">...</table>");
    EXPECT_EQ(rewritten("td", {{"border-style", "solid"}}), "<td>...</td>");
}

TEST(CssRewrite, EverythingNestsAndClosesInReverseOrder) {
    EXPECT_EQ(rewritten("p", {{"page-break-before", "always"},
                              {"margin", "1em 0 2em 3em"},
                              {"text-align", "justify"},
                              {"font-size", "x-small"},
                              {"font-weight", "bold"},
                              {"font-style", "italic"},
                              {"text-decoration", "underline"},
                              {"vertical-align", "sub"},
                              {"page-break-after", "always"}}),
              "<tqp:pagebreak/><blockquote><p height=\"1em\" align=\"justify\"><font size=\"2\"><b><i><u><sub>"
              "...</sub></u></i></b></font></p></blockquote><div height=\"2em\"></div><tqp:pagebreak/>");
}

TEST(CssRewrite, ElementsWithoutTextOfTheirOwnAreWrappedFromOutside) {
    const StyledMarkup image =
        qp::rewriteStyle("img", {}, styled({{"font-weight", "bold"}, {"margin-top", "1em"}, {"color", "red"}}));
    EXPECT_EQ(image.before, "<div height=\"1em\"></div><font color=\"red\"><b>");
    EXPECT_EQ(image.after, "</b></font>");
    EXPECT_TRUE(image.afterStart.empty());
    EXPECT_TRUE(image.beforeEnd.empty());
    EXPECT_EQ(rewritten("table", {{"font-style", "italic"}}), "<i><table>...</table></i>");
}

TEST(CssRewrite, NoStyleGivesNothing) {
    EXPECT_TRUE(qp::rewriteStyle("p", {}, StyleRecord{}).empty());
    EXPECT_TRUE(qp::rewriteStyle("p", {}, styled({{"display", "none"}, {"font-weight", "normal"}})).empty());
}

}  // namespace
