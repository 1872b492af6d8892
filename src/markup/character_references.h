// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Character references in markup text: "&#233;", "&#xE9;" and the named entities of HTML 4 ("&eacute;").
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qp {

// The code point a named entity stands for ("eacute" -> U+00E9); nothing for a name HTML 4 does not define.
std::optional<uint32_t> namedEntity(std::string_view name);

struct DecodedReferences {
    std::string text;          // UTF-8
    bool unsupported = false;  // a reference that names no character was kept as written
};

// Replaces every character reference in UTF-8 text by its character.
DecodedReferences decodeCharacterReferences(std::string_view utf8);

}  // namespace qp
