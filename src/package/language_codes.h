// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Language codes of the package metadata ("en", "en-US", "fr_CA", ...) turned into the 16-bit locale codes
// that the book header stores: the primary language in the low 10 bits, the sublanguage (region) above.
#include <cstdint>
#include <optional>
#include <string_view>

namespace qp {

// The locale code of a language code (two letters, or the ISO 639-2 three-letter forms of the same
// languages), case-blind, "-" or "_" before the region. A known language with an
// unknown or absent region gives the language alone (sublanguage 0). Nothing for an unknown language.
std::optional<uint16_t> localeOfLanguage(std::string_view code);

}  // namespace qp
