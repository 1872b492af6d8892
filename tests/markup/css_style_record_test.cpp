// SPDX-License-Identifier: GPL-3.0-or-later
#include "markup/css_style_record.h"

#include <gtest/gtest.h>

#include "markup/css_length.h"

namespace {

using qp::LengthKind;
using qp::StyleRecord;

void expectLength(std::string_view text, double value, LengthKind kind) {
    const std::optional<qp::CssLength> length = qp::readLength(text);
    ASSERT_TRUE(length) << text;
    EXPECT_NEAR(length->value, value, 1e-9) << text;
    EXPECT_EQ(length->kind, kind) << text;
}

TEST(CssLength, AbsoluteUnitsBecomePixelsAt96PerInch) {
    expectLength("12px", 12, LengthKind::Absolute);
    expectLength("12pt", 16, LengthKind::Absolute);
    expectLength("2pc", 32, LengthKind::Absolute);
    expectLength("0.5in", 48, LengthKind::Absolute);
    expectLength("2.54cm", 96, LengthKind::Absolute);
    expectLength("25.4MM", 96, LengthKind::Absolute);
    expectLength("-3PX", -3, LengthKind::Absolute);
}

TEST(CssLength, RelativePercentAndPlainNumbers) {
    expectLength("1.5em", 1.5, LengthKind::Relative);
    expectLength("2m", 2, LengthKind::Relative);
    expectLength("3ex", 1.5, LengthKind::Relative);
    expectLength("1x", 0.5, LengthKind::Relative);
    expectLength(".5em", 0.5, LengthKind::Relative);
    expectLength("150%", 150, LengthKind::Percent);
    expectLength(" 1.2 ", 1.2, LengthKind::Number);
    expectLength("+4", 4, LengthKind::Number);
}

TEST(CssLength, UnknownUnitsAndMissingNumbersAreInvalid) {
    for (std::string_view text : {"12rem", "12qq", "em", "", "auto", "-", ".", "1.2.3em", "1 2"}) {
        EXPECT_FALSE(qp::readLength(text)) << text;
    }
}

TEST(CssFontSize, KeywordsMapToDeviceSizes) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"xx-large", "7"}, {"X-Large", "6"},  {"large", "5"},   {"medium", "4"},   {"small", "3"},
        {"x-small", "2"},  {"xx-small", "1"}, {"larger", "+1"}, {"smaller", "-1"},
    };
    for (const auto& [value, size] : cases) EXPECT_EQ(qp::fontSizeOf(value), std::string(size)) << value;
}

TEST(CssFontSize, PixelThresholds) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"11.4px", "1"}, {"11.5px", "2"}, {"14.4px", "2"}, {"14.5px", "3"}, {"12pt", "3"},
        {"16.9px", "3"}, {"17px", "4"},   {"20.9px", "4"}, {"21px", "5"},   {"27.9px", "5"},
        {"28px", "6"},   {"39.9px", "6"}, {"40px", "7"},   {"1in", "7"},    {"13", "2"},
    };
    for (const auto& [value, size] : cases) EXPECT_EQ(qp::fontSizeOf(value), std::string(size)) << value;
}

TEST(CssFontSize, RelativeThresholdsAndTheBandWithoutSize) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"0.51em", "-3"}, {"0.52em", "-2"}, {"0.66em", "-2"}, {"0.67em", "-1"}, {"0.87em", "-1"}, {"0.88em", ""},
        {"1em", ""},      {"100%", ""},     {"1.14em", ""},   {"1.15em", "+1"}, {"1.48em", "+1"}, {"1.49em", "+2"},
        {"150%", "+2"},   {"1.93em", "+2"}, {"1.94em", "+3"}, {"2ex", ""},      {"4ex", "+3"},
    };
    for (const auto& [value, size] : cases) EXPECT_EQ(qp::fontSizeOf(value), std::string(size)) << value;
    EXPECT_FALSE(qp::fontSizeOf("huge"));
    EXPECT_FALSE(qp::fontSizeOf("12rem"));
}

TEST(CssRounding, IndentsAndLineHeights) {
    EXPECT_EQ(qp::textIndentOf("1.5em"), "2em");
    EXPECT_EQ(qp::textIndentOf("-1.5em"), "-2em");
    EXPECT_EQ(qp::textIndentOf("0.4em"), "0em");
    EXPECT_EQ(qp::textIndentOf("-0.4em"), "0em");
    EXPECT_EQ(qp::textIndentOf("12pt"), "16");
    EXPECT_EQ(qp::textIndentOf("7"), "7");
    EXPECT_EQ(qp::textIndentOf("12.5%"), "13%");
    EXPECT_FALSE(qp::textIndentOf("auto"));

    EXPECT_EQ(qp::lineHeightOf("1.2"), "120%");
    EXPECT_EQ(qp::lineHeightOf("1.5em"), "150%");
    EXPECT_EQ(qp::lineHeightOf("0.125"), "13%");
    EXPECT_EQ(qp::lineHeightOf("110%"), "110%");
    EXPECT_EQ(qp::lineHeightOf("18.4px"), "18");
    EXPECT_FALSE(qp::lineHeightOf("normal"));
}

TEST(CssBorderWidth, KeywordsAndLengths) {
    for (std::string_view value : {"thin", "MEDIUM", "thick", "2px", "0.1em", "1pt", "3"}) {
        EXPECT_EQ(qp::borderWidthOf(value), "1") << value;
    }
    for (std::string_view value : {"0", "0px", "0em", "-1px"}) EXPECT_EQ(qp::borderWidthOf(value), "0") << value;
    EXPECT_FALSE(qp::borderWidthOf("10%"));
    EXPECT_FALSE(qp::borderWidthOf("wide"));
}

StyleRecord styled(std::initializer_list<std::pair<std::string_view, std::string_view>> declarations) {
    StyleRecord style;
    for (const auto& [name, value] : declarations) style.apply(name, value);
    return style;
}

TEST(CssStyleRecord, FontKeywords) {
    EXPECT_EQ(styled({{"font-weight", "BOLD"}}).fontWeight, 1);
    EXPECT_EQ(styled({{"font-weight", "600"}}).fontWeight, 1);
    EXPECT_EQ(styled({{"font-weight", "bolder"}}).fontWeight, 1);
    EXPECT_EQ(styled({{"font-weight", "400"}}).fontWeight, 0);
    EXPECT_EQ(styled({{"font-weight", "lighter"}}).fontWeight, 0);
    EXPECT_EQ(styled({{"font-style", "oblique"}}).fontStyle, 1);
    EXPECT_EQ(styled({{"font-style", "normal"}}).fontStyle, 0);
    EXPECT_EQ(styled({{"font-variant", "smallcaps"}}).fontVariant, 1);
    EXPECT_EQ(styled({{"Font-Variant", "normal"}}).fontVariant, 0);
}

TEST(CssStyleRecord, InvalidValuesAndUnknownPropertiesChangeNothing) {
    const StyleRecord style = styled({{"font-weight", "bold"},
                                      {"font-weight", "heavy"},
                                      {"font-style", "slanted"},
                                      {"text-indent", "auto"},
                                      {"display", "flex"},
                                      {"colour", "red"},
                                      {"font-size", "huge"}});
    EXPECT_EQ(style.fontWeight, 1);
    EXPECT_FALSE(style.fontStyle);
    EXPECT_FALSE(style.textIndent);
    EXPECT_FALSE(style.display);
    EXPECT_FALSE(style.color);
    EXPECT_FALSE(style.fontSize);
}

TEST(CssStyleRecord, ASizeCloseToOneClearsAnEarlierSize) {
    EXPECT_FALSE(styled({{"font-size", "large"}, {"font-size", "1em"}}).fontSize);
    EXPECT_EQ(styled({{"font-size", "large"}, {"font-size", "2em"}}).fontSize, "+3");
}

TEST(CssStyleRecord, FontFamilyLosesItsQuotes) {
    EXPECT_EQ(styled({{"font-family", "\"Palatino Linotype\""}}).fontFamily, "Palatino Linotype");
    EXPECT_EQ(styled({{"font-family", "'Book Antiqua', Georgia,serif"}}).fontFamily, "Book Antiqua, Georgia, serif");
}

TEST(CssStyleRecord, FontShorthandSplitsIntoItsParts) {
    const StyleRecord style = styled({{"font", "italic bold 12pt/1.5 'Times New Roman', serif"}});
    EXPECT_EQ(style.fontStyle, 1);
    EXPECT_EQ(style.fontWeight, 1);
    EXPECT_EQ(style.fontSize, "3");
    EXPECT_EQ(style.lineHeight, "150%");
    EXPECT_EQ(style.fontFamily, "Times New Roman, serif");

    const StyleRecord systemFont = styled({{"font", "caption"}});
    EXPECT_FALSE(systemFont.fontFamily);
    EXPECT_FALSE(systemFont.fontSize);
}

TEST(CssStyleRecord, MarginShorthandFillsTopRightBottomLeft) {
    using Sides = std::array<std::optional<std::string>, 4>;
    EXPECT_EQ(styled({{"margin", "1em"}}).margin, (Sides{"1em", "1em", "1em", "1em"}));
    EXPECT_EQ(styled({{"margin", "1em 2em"}}).margin, (Sides{"1em", "2em", "1em", "2em"}));
    EXPECT_EQ(styled({{"margin", "1em 2em 3em"}}).margin, (Sides{"1em", "2em", "3em", "2em"}));
    EXPECT_EQ(styled({{"margin", "1em 2em 3em 4em"}}).margin, (Sides{"1em", "2em", "3em", "4em"}));
    EXPECT_EQ(styled({{"margin", "0"}, {"margin-left", "5%"}}).margin, (Sides{"0", "0", "0", "5%"}));
    EXPECT_EQ(styled({{"margin", "1 2 3 4 5"}}).margin, Sides{});
}

TEST(CssStyleRecord, BorderStateFollowsWidthThenStyle) {
    EXPECT_EQ(styled({}).borderState(), qp::BorderState::Unset);
    EXPECT_EQ(styled({{"border-style", "none"}}).borderState(), qp::BorderState::Hidden);
    EXPECT_EQ(styled({{"border-style", "Dotted"}}).borderState(), qp::BorderState::Shown);
    EXPECT_EQ(styled({{"border-width", "0"}}).borderState(), qp::BorderState::Hidden);
    EXPECT_EQ(styled({{"border-style", "none"}, {"border-width", "thin"}}).borderState(), qp::BorderState::Shown);
    EXPECT_EQ(styled({{"border-style", "solid"}, {"border-width", "0px"}}).borderState(), qp::BorderState::Hidden);
    EXPECT_EQ(styled({{"border", "1px solid #ccc"}}).borderState(), qp::BorderState::Shown);
    EXPECT_EQ(styled({{"border", "none"}}).borderState(), qp::BorderState::Hidden);
    EXPECT_EQ(styled({{"border", "0"}}).borderState(), qp::BorderState::Hidden);
    EXPECT_EQ(styled({{"border-style", "wavy"}}).borderState(), qp::BorderState::Unset);
}

TEST(CssStyleRecord, KeywordPropertiesKeepTheirNumbers) {
    const StyleRecord style = styled({{"display", "oeb-page-head"},
                                      {"white-space", "nowrap"},
                                      {"list-style-type", "upper-alpha"},
                                      {"list-style-position", "outside"},
                                      {"page-break-before", "always"},
                                      {"page-break-after", "inherit"},
                                      {"background-repeat", "repeat-y"},
                                      {"background-attachement", "fixed"},
                                      {"text-transform", "lowercase"},
                                      {"text-decoration", "line-through"},
                                      {"float", "Right"},
                                      {"clear", "both"}});
    EXPECT_EQ(style.display, 3);
    EXPECT_EQ(style.whiteSpace, 2);
    EXPECT_EQ(style.listStyleType, 7);
    EXPECT_EQ(style.listStylePosition, 1);
    EXPECT_EQ(style.pageBreakBefore, 1);
    EXPECT_EQ(style.pageBreakAfter, 5);
    EXPECT_EQ(style.backgroundRepeat, 2);
    EXPECT_EQ(style.backgroundAttachment, 1);
    EXPECT_EQ(style.textTransform, 2);
    EXPECT_EQ(style.textDecoration, 3);
    EXPECT_EQ(style.floatSide, "right");
    EXPECT_EQ(style.clear, "both");
    EXPECT_FALSE(styled({{"float", "both"}}).floatSide);
}

TEST(CssStyleRecord, TextPropertiesAreKeptAsWritten) {
    const StyleRecord style = styled({{"color", " #8B0000 "},
                                      {"text-align", "justify"},
                                      {"vertical-align", "super"},
                                      {"width", "80%"},
                                      {"letter-spacing", "0.1em"},
                                      {"background-image", "url(paper.png)"}});
    EXPECT_EQ(style.color, "#8B0000");
    EXPECT_EQ(style.textAlign, "justify");
    EXPECT_EQ(style.verticalAlign, "super");
    EXPECT_EQ(style.width, "80%");
    EXPECT_EQ(style.letterSpacing, "0.1em");
    EXPECT_EQ(style.backgroundImage, "url(paper.png)");
}

}  // namespace
