// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding the text encoding of a markup source from the document itself.
#include <cstdint>
#include <string_view>

#include "core/string.h"

namespace qp {

// Decides the code page of a source whose encoding is not known and declares it on the source (the bytes are
// left as they are). In order: the encoding named by the first <!...> or <?...?> node; the charset of the first
// meta element with http-equiv and content; UTF-8 when an <?xml ...?> declaration is present; else the
// system's ANSI code page. A name that is empty or not in the charset table is reported (`NoEncodingFound` and
// `UnsupportedEncoding`, on the source) and the next step is tried. Script pages (text starting "<%@") take the number
// after "Codepage=" on their first line. A source already known to be UTF-8 or UTF-16 is returned untouched.
int32_t detectEncoding(String& source);

// The value that follows `keyword` and "=" among the tokens of a text (blanks, ';', ',' and '?' separate
// tokens; quotes are removed): "charset" in "text/html; charset=utf-8" gives "utf-8". Returns false when the
// keyword and "=" do not occur; the value may then still be empty.
bool findKeywordValue(std::string_view text, std::string_view keyword, std::string_view& value);

}  // namespace qp
