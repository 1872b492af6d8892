// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which elements and attributes of content reach the book text, and in what form.
#include <string_view>

namespace qp {

enum class ElementRule {
    Write,         // written with its accepted attributes
    DropTags,      // its tags left out, its content kept (forms, frames, index markup)
    DropWhole,     // left out with its content (scripts)
    StyleSheet,    // a `style` element: its text goes to the style sheets
    Preformatted,  // a `pre`: rewritten as an aligned `div` holding a `tt`
};

enum class AttributeRule {
    Write,        // written as it stands
    Drop,         // left out (`class`, the consumed `crossable`, `global` and `external`)
    Anchor,       // `id` or `name`: written only where the element needs it
    Link,         // the `href` of `a`, `reference` and `metadata`
    ImageSource,  // `src`, `losrc`, `hisrc` of `img`
    Language,     // `lang`: written, and noted as a book property
    Event,        // `onclick` and the other event handlers: left out with the scripts
};

ElementRule elementRule(std::string_view element);
AttributeRule attributeRule(std::string_view element, std::string_view attribute);

// Elements HTML defines as empty (`br`, `img`, ...): they never hold content nor get an end tag.
bool isVoidElement(std::string_view element);

// Where an element's start implies the end of an open one: it ends the innermost open element that `ends`
// accepts when no element that `stops` accepts lies above it ("<li>" after "<li>" within one list).
struct ImpliedEnd {
    bool (*ends)(std::string_view element);
    bool (*stops)(std::string_view element);
};
// The end a start tag implies, if any.
const ImpliedEnd* impliedEndOf(std::string_view element);

// Elements whose `id` and `name` are not anchors of the text.
bool isFormAnchorElement(std::string_view element);
// Frame elements: their anchors are named for use from outside the publication.
bool isExternalAnchorElement(std::string_view element);
// A `font` face that names a monospace font (case-blind).
bool isMonospaceFace(std::string_view face);
// The prefix of the placeholder of an image source attribute: "", "lo" or "hi".
std::string_view imageSourcePrefix(std::string_view attribute);

}  // namespace qp
