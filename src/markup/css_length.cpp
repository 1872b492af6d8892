// SPDX-License-Identifier: GPL-3.0-or-later
#include "markup/css_length.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "markup/css_text.h"

namespace qp {
namespace {

// Each unit as its kind and a multiplier and divisor to pixels (absolute) or em (relative); applying the
// divisor last keeps exact results exact (12pt is 16px).
struct UnitConversion {
    std::string_view unit;
    LengthKind kind;
    double multiplier;
    double divisor;
};

constexpr UnitConversion kUnits[] = {
    {"px", LengthKind::Absolute, 1, 1},  {"pt", LengthKind::Absolute, 4, 3},     {"pc", LengthKind::Absolute, 16, 1},
    {"in", LengthKind::Absolute, 96, 1}, {"cm", LengthKind::Absolute, 96, 2.54}, {"mm", LengthKind::Absolute, 96, 25.4},
    {"em", LengthKind::Relative, 1, 1},  {"m", LengthKind::Relative, 1, 1},      {"ex", LengthKind::Relative, 1, 2},
    {"x", LengthKind::Relative, 1, 2},   {"%", LengthKind::Percent, 1, 1},       {"", LengthKind::Number, 1, 1},
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<CssLength> readLength(std::string_view text) {
    text = trimmed(text);
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    const size_t numberStart = pos;
    size_t digits = 0;
    auto skipDigits = [&]() {
        for (; pos < text.size() && isDigit(text[pos]); ++pos) ++digits;
    };
    skipDigits();
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        skipDigits();
    }
    if (digits == 0) return std::nullopt;
    double number = 0;
    std::from_chars(text.data() + numberStart, text.data() + pos, number, std::chars_format::fixed);
    const std::string unit = lowerAscii(trimmed(text.substr(pos)));
    for (const UnitConversion& conversion : kUnits) {
        if (unit == conversion.unit) {
            const double value = (negative ? -number : number) * conversion.multiplier / conversion.divisor;
            return CssLength{value, conversion.kind};
        }
    }
    return std::nullopt;
}

std::optional<std::string> fontSizeOf(std::string_view value) {
    static constexpr std::string_view kKeywords[][2] = {
        {"xx-large", "7"}, {"x-large", "6"},  {"large", "5"},   {"medium", "4"},   {"small", "3"},
        {"x-small", "2"},  {"xx-small", "1"}, {"larger", "+1"}, {"smaller", "-1"},
    };
    for (const auto& keyword : kKeywords) {
        if (equalsCaseBlind(trimmed(value), keyword[0])) return std::string(keyword[1]);
    }
    const std::optional<CssLength> length = readLength(value);
    if (!length) return std::nullopt;
    if (length->kind == LengthKind::Absolute || length->kind == LengthKind::Number) {
        const double pixels = length->value;
        if (pixels < 11.5) return "1";
        if (pixels < 14.5) return "2";
        if (pixels < 17) return "3";
        if (pixels < 21) return "4";
        if (pixels < 28) return "5";
        if (pixels < 40) return "6";
        return "7";
    }
    const double ratio = length->kind == LengthKind::Percent ? length->value / 100 : length->value;
    if (ratio < 0.52) return "-3";
    if (ratio < 0.67) return "-2";
    if (ratio < 0.88) return "-1";
    if (ratio > 1.93) return "+3";
    if (ratio > 1.48) return "+2";
    if (ratio > 1.14) return "+1";
    return std::string();
}

std::string roundedNumber(double value) {
    constexpr double kLimit = 1e15;  // beyond this the text is meaningless anyway; keeps the cast defined
    if (!(value > -kLimit)) value = -kLimit;
    if (!(value < kLimit)) value = kLimit;
    return std::to_string(static_cast<int64_t>(std::round(value)));
}

std::optional<std::string> textIndentOf(std::string_view value) {
    const std::optional<CssLength> length = readLength(value);
    if (!length) return std::nullopt;
    switch (length->kind) {
        case LengthKind::Relative: return roundedNumber(length->value) + "em";
        case LengthKind::Percent: return roundedNumber(length->value) + "%";
        case LengthKind::Absolute:
        case LengthKind::Number: break;
    }
    return roundedNumber(length->value);
}

std::optional<std::string> lineHeightOf(std::string_view value) {
    const std::optional<CssLength> length = readLength(value);
    if (!length) return std::nullopt;
    switch (length->kind) {
        case LengthKind::Relative:
        case LengthKind::Number: return roundedNumber(length->value * 100) + "%";
        case LengthKind::Percent: return roundedNumber(length->value) + "%";
        case LengthKind::Absolute: break;
    }
    return roundedNumber(length->value);
}

std::optional<std::string> borderWidthOf(std::string_view value) {
    for (std::string_view keyword : {"thin", "medium", "thick"}) {
        if (equalsCaseBlind(trimmed(value), keyword)) return "1";
    }
    const std::optional<CssLength> length = readLength(value);
    if (!length || length->kind == LengthKind::Percent) return std::nullopt;
    return length->value > 0 ? "1" : "0";
}

}  // namespace qp
