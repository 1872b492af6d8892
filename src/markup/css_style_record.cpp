// SPDX-License-Identifier: GPL-3.0-or-later
#include "markup/css_style_record.h"

#include <initializer_list>
#include <vector>

#include "markup/css_length.h"
#include "markup/css_text.h"

namespace qp {
namespace {

using Keywords = std::initializer_list<std::string_view>;

const Keywords kFontStyles = {"normal", "italic", "oblique"};
const Keywords kFontWeights = {"normal", "lighter", "100", "200", "300", "400", "bold",
                               "bolder", "500",     "600", "700", "800", "900"};
const Keywords kBorderStyles = {"none", "dotted", "dashed", "solid", "double", "groove", "ridge", "inset", "outset"};

// The position of the value among the keywords, case-blind on A-Z.
std::optional<int> keywordNumber(std::string_view value, Keywords keywords) {
    value = trimmed(value);
    int number = 0;
    for (std::string_view keyword : keywords) {
        if (equalsCaseBlind(value, keyword)) return number;
        ++number;
    }
    return std::nullopt;
}

std::optional<std::string> keywordText(std::string_view value, Keywords keywords) {
    if (keywordNumber(value, keywords)) return lowerAscii(trimmed(value));
    return std::nullopt;
}

std::optional<int> fontStyleOf(std::string_view value) {
    const std::optional<int> number = keywordNumber(value, kFontStyles);
    if (!number) return std::nullopt;
    return *number == 0 ? 0 : 1;
}

// "smallcaps" as the device's tools have always written it, and the standard "small-caps".
std::optional<int> fontVariantOf(std::string_view value) {
    const std::optional<int> number = keywordNumber(value, {"normal", "smallcaps", "small-caps"});
    if (!number) return std::nullopt;
    return *number == 0 ? 0 : 1;
}

std::optional<int> fontWeightOf(std::string_view value) {
    const std::optional<int> number = keywordNumber(value, kFontWeights);
    if (!number) return std::nullopt;
    return *number < 6 ? 0 : 1;
}

std::optional<std::string> textOf(std::string_view value) {
    value = trimmed(value);
    if (value.empty()) return std::nullopt;
    return std::string(value);
}

// Removes the quotes around each name of a family list: "'Times New Roman', serif" gives
// "Times New Roman, serif".
std::string unquotedFamily(std::string_view value) {
    std::string family;
    size_t start = 0;
    while (start <= value.size()) {
        size_t end = value.find(',', start);
        if (end == std::string_view::npos) end = value.size();
        std::string_view name = trimmed(value.substr(start, end - start));
        if (name.size() >= 2 && (name.front() == '"' || name.front() == '\'') && name.back() == name.front()) {
            name = name.substr(1, name.size() - 2);
        }
        if (!family.empty()) family += ", ";
        family += name;
        start = end + 1;
    }
    return family;
}

template <typename T>
void setIf(std::optional<T>& field, std::optional<T> value) {
    if (value) field = std::move(value);
}

void applyFontSize(StyleRecord& style, std::string_view value) {
    std::optional<std::string> size = fontSizeOf(value);
    if (!size) return;
    if (size->empty())
        style.fontSize.reset();
    else
        style.fontSize = std::move(size);
}

// "font: [style] [variant] [weight] size[/line-height] family": the size is required before the family.
void applyFont(StyleRecord& style, std::string_view value) {
    for (std::string_view token : valueTokens(value)) {
        if (equalsCaseBlind(token, "normal")) continue;
        if (std::optional<int> italic = fontStyleOf(token)) {
            style.fontStyle = italic;
        } else if (std::optional<int> variant = fontVariantOf(token)) {
            style.fontVariant = variant;
        } else if (std::optional<int> weight = fontWeightOf(token)) {
            style.fontWeight = weight;
        } else {
            const size_t slash = token.find('/');
            const std::string_view size = token.substr(0, slash);
            if (!fontSizeOf(size)) return;
            applyFontSize(style, size);
            if (slash != std::string_view::npos) setIf(style.lineHeight, lineHeightOf(token.substr(slash + 1)));
            const std::string_view family = trimmed(value.substr(token.data() + token.size() - value.data()));
            if (!family.empty()) style.fontFamily = unquotedFamily(family);
            return;
        }
    }
}

// One to four values: top, right, bottom, left, the missing ones repeating their opposite side.
void applyMargin(StyleRecord& style, std::string_view value) {
    const std::vector<std::string_view> tokens = valueTokens(value);
    if (tokens.empty() || tokens.size() > 4) return;
    const size_t count = tokens.size();
    const size_t sources[4][4] = {{0, 0, 0, 0}, {0, 1, 0, 1}, {0, 1, 2, 1}, {0, 1, 2, 3}};
    for (int side = 0; side < 4; ++side) style.margin[side] = std::string(tokens[sources[count - 1][side]]);
}

void applyBorder(StyleRecord& style, std::string_view value) {
    for (std::string_view token : valueTokens(value)) {
        if (std::optional<std::string> borderStyle = keywordText(token, kBorderStyles)) {
            style.borderStyle = std::move(borderStyle);
        } else {
            setIf(style.borderWidth, borderWidthOf(token));
        }
    }
}

struct PropertyHandler {
    std::string_view name;
    void (*apply)(StyleRecord&, std::string_view);
};

constexpr PropertyHandler kProperties[] = {
    {"font-family", [](StyleRecord& s, std::string_view v) {
         if (!trimmed(v).empty()) s.fontFamily = unquotedFamily(v);
     }},
    {"font-style", [](StyleRecord& s, std::string_view v) { setIf(s.fontStyle, fontStyleOf(v)); }},
    {"font-variant", [](StyleRecord& s, std::string_view v) { setIf(s.fontVariant, fontVariantOf(v)); }},
    {"font-weight", [](StyleRecord& s, std::string_view v) { setIf(s.fontWeight, fontWeightOf(v)); }},
    {"font-size", applyFontSize},
    {"font", applyFont},
    {"color", [](StyleRecord& s, std::string_view v) { setIf(s.color, textOf(v)); }},
    {"background-color", [](StyleRecord& s, std::string_view v) { setIf(s.backgroundColor, textOf(v)); }},
    {"background-image", [](StyleRecord& s, std::string_view v) { setIf(s.backgroundImage, textOf(v)); }},
    {"background-position", [](StyleRecord& s, std::string_view v) { setIf(s.backgroundPosition, textOf(v)); }},
    {"list-style-image", [](StyleRecord& s, std::string_view v) { setIf(s.listStyleImage, textOf(v)); }},
    {"background-repeat",
     [](StyleRecord& s, std::string_view v) {
         setIf(s.backgroundRepeat, keywordNumber(v, {"repeat", "repeat-x", "repeat-y", "no-repeat"}));
     }},
    // The sheets written for the device spell it so; the standard spelling is read as well.
    {"background-attachement",
     [](StyleRecord& s, std::string_view v) { setIf(s.backgroundAttachment, keywordNumber(v, {"scroll", "fixed"})); }},
    {"background-attachment",
     [](StyleRecord& s, std::string_view v) { setIf(s.backgroundAttachment, keywordNumber(v, {"scroll", "fixed"})); }},
    {"word-spacing", [](StyleRecord& s, std::string_view v) { setIf(s.wordSpacing, textOf(v)); }},
    {"letter-spacing", [](StyleRecord& s, std::string_view v) { setIf(s.letterSpacing, textOf(v)); }},
    {"vertical-align", [](StyleRecord& s, std::string_view v) { setIf(s.verticalAlign, textOf(v)); }},
    {"text-align", [](StyleRecord& s, std::string_view v) { setIf(s.textAlign, textOf(v)); }},
    {"text-decoration",
     [](StyleRecord& s, std::string_view v) {
         for (std::string_view token : valueTokens(v)) {
             if (std::optional<int> decoration =
                     keywordNumber(token, {"none", "underline", "overline", "line-through", "blink"})) {
                 s.textDecoration = decoration;
                 return;
             }
         }
     }},
    {"text-transform",
     [](StyleRecord& s, std::string_view v) {
         setIf(s.textTransform, keywordNumber(v, {"capitalize", "uppercase", "lowercase", "none"}));
     }},
    {"text-indent", [](StyleRecord& s, std::string_view v) { setIf(s.textIndent, textIndentOf(v)); }},
    {"line-height", [](StyleRecord& s, std::string_view v) { setIf(s.lineHeight, lineHeightOf(v)); }},
    {"margin", applyMargin},
    {"margin-top", [](StyleRecord& s, std::string_view v) { setIf(s.margin[StyleRecord::Top], textOf(v)); }},
    {"margin-right", [](StyleRecord& s, std::string_view v) { setIf(s.margin[StyleRecord::Right], textOf(v)); }},
    {"margin-bottom", [](StyleRecord& s, std::string_view v) { setIf(s.margin[StyleRecord::Bottom], textOf(v)); }},
    {"margin-left", [](StyleRecord& s, std::string_view v) { setIf(s.margin[StyleRecord::Left], textOf(v)); }},
    {"border-style", [](StyleRecord& s, std::string_view v) { setIf(s.borderStyle, keywordText(v, kBorderStyles)); }},
    {"border-width", [](StyleRecord& s, std::string_view v) { setIf(s.borderWidth, borderWidthOf(v)); }},
    {"border", applyBorder},
    {"width", [](StyleRecord& s, std::string_view v) { setIf(s.width, textOf(v)); }},
    {"height", [](StyleRecord& s, std::string_view v) { setIf(s.height, textOf(v)); }},
    {"float", [](StyleRecord& s, std::string_view v) { setIf(s.floatSide, keywordText(v, {"left", "right", "none"})); }},
    {"clear",
     [](StyleRecord& s, std::string_view v) { setIf(s.clear, keywordText(v, {"left", "right", "both", "none"})); }},
    {"display",
     [](StyleRecord& s, std::string_view v) {
         setIf(s.display,
               keywordNumber(v, {"block", "inline", "list-item", "oeb-page-head", "oeb-page-foot", "none"}));
     }},
    {"white-space",
     [](StyleRecord& s, std::string_view v) { setIf(s.whiteSpace, keywordNumber(v, {"normal", "pre", "nowrap"})); }},
    {"list-style-type",
     [](StyleRecord& s, std::string_view v) {
         setIf(s.listStyleType, keywordNumber(v, {"disc", "circle", "square", "decimal", "lower-roman",
                                                  "upper-roman", "lower-alpha", "upper-alpha", "none"}));
     }},
    {"list-style-position",
     [](StyleRecord& s, std::string_view v) { setIf(s.listStylePosition, keywordNumber(v, {"inside", "outside"})); }},
    {"page-break-before",
     [](StyleRecord& s, std::string_view v) {
         setIf(s.pageBreakBefore, keywordNumber(v, {"auto", "always", "avoid", "left", "right", "inherit"}));
     }},
    {"page-break-after",
     [](StyleRecord& s, std::string_view v) {
         setIf(s.pageBreakAfter, keywordNumber(v, {"auto", "always", "avoid", "left", "right", "inherit"}));
     }},
};

}  // namespace

void StyleRecord::apply(std::string_view property, std::string_view value) {
    property = trimmed(property);
    for (const PropertyHandler& handler : kProperties) {
        if (equalsCaseBlind(property, handler.name)) return handler.apply(*this, value);
    }
}

BorderState StyleRecord::borderState() const {
    if (borderWidth) return *borderWidth == "0" ? BorderState::Hidden : BorderState::Shown;
    if (borderStyle) return *borderStyle == "none" ? BorderState::Hidden : BorderState::Shown;
    return BorderState::Unset;
}

}  // namespace qp
