// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The language of a locale number of record 0 (a Windows language identifier: the primary language in the low
// ten bits, the region above them), as an ISO 639-1 code.
#include <cstdint>
#include <string>

namespace kova {

// "en" for 1033, "fr" for 1036 and 3084; "" for a language the format does not know.
std::string languageOfLocale(uint32_t locale);

}  // namespace kova
