#pragma once
// Escaping for the HTML preview: every text and attribute value that comes from a book goes through these.
#include <string>
#include <string_view>

namespace kova {

// Text content: '<', '>' and '&' as references; a character reference already in the book's text
// ("&amp;", "&#233;", "&mdash;") is kept as it stands.
void appendHtmlText(std::string& out, std::string_view utf8);

// An attribute value for double quotes: '&', '<', '>', '"' and '\'' as references.
std::string htmlAttribute(std::string_view utf8);

// Book text (tags removed) with its basic character references decoded, for plain-text excerpts: "&amp;",
// "&lt;", "&gt;", "&quot;", "&apos;", "&nbsp;" and numeric references; others stay as written.
std::string decodeBasicReferences(std::string_view utf8);

}  // namespace kova
