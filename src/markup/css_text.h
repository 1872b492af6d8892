#pragma once
// Small text helpers of the style-sheet code: CSS white space, case-blind comparison on A-Z, tokens.
#include <string>
#include <string_view>
#include <vector>

namespace qp {

bool isCssSpace(char c);
std::string_view trimmed(std::string_view text);
std::string lowerAscii(std::string_view text);
bool equalsAsciiCaseBlind(std::string_view a, std::string_view b);
bool containsAsciiCaseBlind(std::string_view text, std::string_view part);
// Splits at white space, keeping quoted strings and parenthesised groups ("rgb(1, 2, 3)") whole.
std::vector<std::string_view> valueTokens(std::string_view value);
// Escapes a text for use between double quotes in markup.
std::string escapeAttribute(std::string_view text);

}  // namespace qp
