// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The style record: the computed style of one element. Every property is unset until a declaration with a
// valid value sets it; keyword properties hold the keyword's number, the others a text ready for markup.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace qp {

enum class BorderState { Unset, Hidden, Shown };

struct StyleRecord {
    enum Side { Top = 0, Right = 1, Bottom = 2, Left = 3 };

    std::optional<std::string> fontFamily;  // quotes around the family names removed
    std::optional<int> fontStyle;           // 1 italic or oblique, 0 normal
    std::optional<int> fontVariant;         // 1 small caps, 0 normal
    std::optional<int> fontWeight;          // 1 bold, 0 normal
    std::optional<std::string> fontSize;    // the `size` of a `font` element ("3", "+2", ...)
    std::optional<std::string> color;
    std::optional<std::string> backgroundColor;
    std::optional<std::string> backgroundImage;
    std::optional<std::string> backgroundPosition;
    std::optional<int> backgroundRepeat;      // repeat, repeat-x, repeat-y, no-repeat
    std::optional<int> backgroundAttachment;  // scroll, fixed
    std::optional<std::string> listStyleImage;
    std::optional<std::string> wordSpacing;
    std::optional<std::string> letterSpacing;
    std::optional<std::string> verticalAlign;
    std::optional<std::string> textAlign;
    std::optional<int> textDecoration;                 // none, underline, overline, line-through, blink
    std::optional<int> textTransform;                  // capitalize, uppercase, lowercase, none
    std::optional<std::string> textIndent;             // "2em", "50%", "12"
    std::optional<std::string> lineHeight;             // "120%", "18"
    std::array<std::optional<std::string>, 4> margin;  // top, right, bottom, left, as written
    std::optional<std::string> borderStyle;
    std::optional<std::string> borderWidth;  // "1" or "0"
    std::optional<std::string> width;
    std::optional<std::string> height;
    std::optional<std::string> floatSide;  // left, right, none
    std::optional<std::string> clear;      // left, right, both, none
    std::optional<int> display;            // block, inline, list-item, oeb-page-head, oeb-page-foot, none
    std::optional<int> whiteSpace;         // normal, pre, nowrap
    std::optional<int> listStyleType;      // disc, circle, square, decimal, lower/upper-roman, lower/upper-alpha, none
    std::optional<int> listStylePosition;  // inside, outside
    std::optional<int> pageBreakBefore;    // auto, always, avoid, left, right, inherit
    std::optional<int> pageBreakAfter;

    // Applies one declaration; unknown properties and values no keyword of the property matches are ignored.
    void apply(std::string_view property, std::string_view value);

    // Unset without border-style and border-width; hidden for style "none" or width "0" (width decides).
    BorderState borderState() const;
};

// Keyword numbers used by the rewriting.
constexpr int kFontWeightBold = 1;
constexpr int kFontStyleItalic = 1;
constexpr int kTextDecorationUnderline = 1;
constexpr int kTextDecorationLineThrough = 3;
constexpr int kPageBreakAlways = 1;
constexpr int kPageBreakLeft = 3;
constexpr int kPageBreakRight = 4;

}  // namespace qp
