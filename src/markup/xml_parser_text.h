// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text read-out and write-back of markup text.
// Work on bytes of any ASCII-compatible encoding (single-byte code pages, UTF-8, the East Asian code pages).
#include <string>
#include <string_view>

#include "core/ascii_text.h"

namespace qp {

// The entities &quot; &amp; &lt; &gt; become their characters; every other reference stays as written.
std::string decodeEntities(std::string_view raw);
// The reverse, for writing markup: the double quote, ampersand, less-than and greater-than become entities.
std::string encodeEntities(std::string_view text);

}  // namespace qp
