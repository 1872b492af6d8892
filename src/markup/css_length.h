// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Lengths of style-sheet values: a number and a unit, absolute units brought to pixels at 96 per inch,
// and the conversions of font sizes, indents and line heights into the device's attribute texts.
#include <optional>
#include <string>
#include <string_view>

namespace qp {

enum class LengthKind { Absolute, Relative, Percent, Number };

struct CssLength {
    double value = 0;  // pixels for Absolute, em for Relative (ex counts half), percent, or the plain number
    LengthKind kind = LengthKind::Number;
};

// Reads "<number><unit>"; the unit is compared after lower-casing. Nothing for an unknown unit or no number.
std::optional<CssLength> readLength(std::string_view text);

// The `size` attribute of a `font` element for a font-size value: nothing when the value is invalid,
// an empty text when the value is valid but asks for no size (a relative size close to 1).
std::optional<std::string> fontSizeOf(std::string_view value);

// Rounds to the nearest integer (halves away from zero) and writes it as decimal digits.
std::string roundedNumber(double value);

// text-indent: "<n>em" for relative lengths, "<n>%" for percentages, "<n>" pixels otherwise.
std::optional<std::string> textIndentOf(std::string_view value);
// line-height: a relative length or a plain number becomes a percentage ("1.2" gives "120%").
std::optional<std::string> lineHeightOf(std::string_view value);
// border-width: "1" for the width keywords and for a positive length in pixels or em, "0" for a zero one.
std::optional<std::string> borderWidthOf(std::string_view value);

}  // namespace qp
