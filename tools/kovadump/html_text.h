// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Escaping for the HTML preview: every text and attribute value that comes from a book goes through these.
#include <cstdint>
#include <string>
#include <string_view>

namespace kova {

// Text content: '<', '>' and '&' as references; a character reference already in the book's text
// ("&amp;", "&#233;", "&mdash;") is kept as it stands.
void appendHtmlText(std::string& out, std::string_view utf8);

// The same for text in a book's encoding (Windows-1252 or UTF-8), converted to UTF-8 on the way.
void appendHtmlText(std::string& out, std::string_view text, uint32_t textEncoding);

// An attribute value for double quotes: '&', '<', '>', '"' and '\'' as references.
std::string htmlAttribute(std::string_view utf8);

// Book text (tags removed) with its basic character references decoded, for plain-text excerpts: "&amp;",
// "&lt;", "&gt;", "&quot;", "&apos;", "&nbsp;" and numeric references; others stay as written.
std::string decodeBasicReferences(std::string_view utf8);

}  // namespace kova
