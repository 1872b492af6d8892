// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The style-sheet parser. Tolerant: it never fails; at-rules other than a leading "@charset" are skipped
// with `CssAtRuleIgnored` (their blocks whole, nested blocks included), characters that cannot stand in a
// declaration give `CssInvalidCharacter` and the parse resumes at the next declaration.
#include <string_view>
#include <vector>

#include "core/fault.h"
#include "markup/css_sheet.h"

namespace qp {

// Parses a whole sheet. Warnings go to `faults`, with the line number and, when given, the file.
StyleSheet parseStyleSheet(std::string_view text, FaultHeader& faults, const MessageText& file = std::nullopt);

// Parses a bare declaration list, as found in a `style` attribute.
std::vector<CssDeclaration> parseDeclarationList(std::string_view text, FaultHeader& faults);

// The charset name of a sheet that begins with "@charset" (leading white space allowed), else empty.
std::string leadingCharset(std::string_view text);

}  // namespace qp
