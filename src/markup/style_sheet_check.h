// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The style-sheet check of the command line: a `.css` source is parsed and written back out as
// "dump.css" beside it, so that its author sees what the compiler understood.
#include <string>

#include "core/string.h"
#include "markup/css_sheet.h"

namespace qp {

// Reads the file as 8-bit text (code page 1252), parses it and writes "dump.css" in its directory.
// False when the file cannot be read or the dump cannot be written. Messages go to `messages` (none: nowhere).
bool checkStyleSheet(const String& path, MessageSink* messages);

// The dump layout: per rule the selectors joined by ", ", then "{", one tab-indented "name:value;" line per
// declaration and "}", every line ended by CR LF. `dropFontInformation` leaves out `font-family`
// declarations and `color` declarations of "#000000".
std::string styleSheetDump(const StyleSheet& sheet, bool dropFontInformation = false);

}  // namespace qp
