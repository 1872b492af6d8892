// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The folded sort character of a character in a Unicode index: lower case, and a Latin letter without its
// accents. It is derived from ICU's character data: the canonical decomposition (NFD) of the character, whose
// base keeps it when everything after the base is a combining diacritical mark (U+0300 to U+036F), then the
// simple lower-case mapping. A combining mark alone and a control character fold to 0: they are ignored when
// keys are compared.
#include <cstdint>

namespace qp {

char16_t foldCharacter(char16_t character);

}  // namespace qp
