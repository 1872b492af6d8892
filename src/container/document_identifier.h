// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The document identifier: the database name of the book, made of Latin letters, digits, "-", "." and "_",
// at most 27 characters.
#include <string>
#include <string_view>

namespace qp {

constexpr size_t kDocumentIdentifierLimit = 27;

// Rewrites a name (UTF-16) into an identifier (Windows-1252 bytes): a space becomes "_", a character above
// 256 becomes "A" plus its code modulo 26, letters and digits become their base letters, "-", "." and "_"
// stay, everything else goes. Longer results keep their first 12 and last 14 characters around a "-".
std::string documentIdentifier(std::u16string_view name);

}  // namespace qp
