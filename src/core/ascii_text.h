// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Byte-level text helpers for names, keywords and markup: blanks and the case of A to Z. They work on any
// ASCII-compatible encoding (single-byte code pages, UTF-8, the East Asian code pages).
#include <string>
#include <string_view>

namespace qp {

// Blank: space, tab, line feed, carriage return, form feed.
inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
inline char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowerAscii(std::string_view text);
// The text without leading and trailing blanks.
std::string_view trimmed(std::string_view text);

// Names compare equal when they differ only in the case of A to Z.
bool equalsCaseBlind(std::string_view a, std::string_view b);
bool startsWithCaseBlind(std::string_view text, std::string_view prefix);
bool containsCaseBlind(std::string_view text, std::string_view part);

}  // namespace qp
