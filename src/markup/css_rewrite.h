// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Rewriting a computed style into the device's HTML vocabulary: `font` (size, face, color), the wrappers
// `b`, `i`, `u`, `strike`, `sub`, `sup`, `tt` and `blockquote`, the attributes `align`, `width`, `height`,
// `bgcolor` and `border`, empty `div`s holding vertical margins, and `tqp:pagebreak` elements.
//
// How the converter writes an element with its StyledMarkup:
//   before  <element ...attributes...>  afterStart  content  beforeEnd  </element>  after
// For an element written empty (<img/>, <br/>) only `before`, the attributes and `after` apply: its
// wrappers go around it. The converter keeps `beforeEnd` and `after` of every open element until its end
// tag arrives. Wrappers nest: each closing text mirrors its opening text in reverse order.
//
// Placement: page breaks, top and bottom margin spaces and the `blockquote` of a left margin stand outside
// the element; the font and emphasis wrappers stand inside it (so `<p>` keeps holding its text), except on
// empty elements and on table and list containers, where they cannot hold text and go outside.
#include <string>
#include <string_view>
#include <vector>

#include "markup/css_style_record.h"

namespace qp {

struct MarkupAttribute {
    std::string name;
    std::string value;
};

struct RewriteOptions {
    // Leaves out the `face` attribute and the monospace `tt` wrapper.
    bool suppressFontFaces = false;
};

struct StyledMarkup {
    std::string before;
    // Attributes to set on the element, replacing one of the same name; values are escaped for double quotes.
    std::vector<MarkupAttribute> attributes;
    std::string afterStart;
    std::string beforeEnd;
    std::string after;

    bool empty() const {
        return before.empty() && attributes.empty() && afterStart.empty() && beforeEnd.empty() && after.empty();
    }
};

// Rewrites the style of an element with the given name (case-blind) and attributes (for the "unless the
// element has its own" tests). Margins give `height` texts like indents do ("1em", "12", "5%"); a margin
// that comes to 0 or less gives nothing.
StyledMarkup rewriteStyle(std::string_view element, const std::vector<MarkupAttribute>& attributes,
                          const StyleRecord& style, const RewriteOptions& options = {});

}  // namespace qp
