// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small text helpers of the style-sheet code: value tokens and attribute escaping.
#include <string>
#include <string_view>
#include <vector>

#include "core/ascii_text.h"

namespace qp {

// Splits at white space, keeping quoted strings and parenthesised groups ("rgb(1, 2, 3)") whole.
std::vector<std::string_view> valueTokens(std::string_view value);
// Escapes a text for use between double quotes in markup.
std::string escapeAttribute(std::string_view text);

}  // namespace qp
