#pragma once
// Text read-out and write-back of markup text, and the name comparison used throughout the markup code.
// Work on bytes of any ASCII-compatible encoding (single-byte code pages, UTF-8, the East Asian code pages).
#include <string>
#include <string_view>

namespace qp {

// The entities &quot; &amp; &lt; &gt; become their characters; every other reference stays as written.
std::string decodeEntities(std::string_view raw);
// The reverse, for writing markup: the double quote, ampersand, less-than and greater-than become entities.
std::string encodeEntities(std::string_view text);

// Names compare equal when they differ only in the case of A to Z.
bool equalsCaseBlind(std::string_view a, std::string_view b);
bool startsWithCaseBlind(std::string_view text, std::string_view prefix);

// Blank: space, tab, line feed, carriage return, form feed.
inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

}  // namespace qp
