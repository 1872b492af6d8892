// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tags of a book's text as a reading device reads them: a start tag with its name and attributes
// (quoted, single-quoted or bare values such as filepos=0000001234), an end tag, or a comment, declaration or
// processing instruction, which the device skips. Names are folded to lower case; values are kept as bytes.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kova {

struct MarkupTag {
    enum class Kind { start, end, skipped };
    Kind kind = Kind::start;
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    bool selfClosing = false;  // written as <name ... />
    size_t end = 0;            // position just after the closing '>'

    // The value of an attribute, or nothing when the tag does not carry it.
    std::optional<std::string> attribute(std::string_view attributeName) const;
};

// The tag that begins at text[at] (a '<'); nothing when the '<' starts no tag (a lone "<" in the text, or a
// tag that never ends).
std::optional<MarkupTag> readMarkupTag(std::string_view text, size_t at);

}  // namespace kova
