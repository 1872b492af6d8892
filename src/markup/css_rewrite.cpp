// SPDX-License-Identifier: GPL-3.0-or-later
#include "markup/css_rewrite.h"

#include <cmath>
#include <initializer_list>
#include <optional>

#include "markup/css_length.h"
#include "markup/css_text.h"

namespace qp {
namespace {

constexpr std::string_view kPageBreak = "<tqp:pagebreak/>";

// An opening text and the closing text that mirrors it.
struct Layer {
    std::string open;
    std::string close;

    void wrap(std::string_view opening, std::string_view closing) {
        open += opening;
        close.insert(0, closing);
    }
};

bool isOneOf(std::string_view element, std::initializer_list<std::string_view> names) {
    for (std::string_view name : names) {
        if (equalsCaseBlind(element, name)) return true;
    }
    return false;
}

bool isHeading(std::string_view element) {
    return element.size() == 2 && (element[0] == 'h' || element[0] == 'H') && element[1] >= '1' && element[1] <= '6';
}

bool isBlockWithAttributes(std::string_view element) {
    return isHeading(element) || isOneOf(element, {"p", "div", "blockquote"});
}

// Elements that hold no text of their own: wrappers meant for their text go around them.
bool holdsNoText(std::string_view element) {
    return isOneOf(element, {"img",   "br",    "hr",     "input", "meta",          "link",  "col",   "area",  "base",
                             "param", "embed", "source", "wbr",   "tqp:pagebreak", "table", "thead", "tbody", "tfoot",
                             "tr",    "ul",    "ol",     "dl"});
}

bool hasAttribute(const std::vector<MarkupAttribute>& attributes, std::string_view name) {
    for (const MarkupAttribute& attribute : attributes) {
        if (equalsCaseBlind(attribute.name, name)) return true;
    }
    return false;
}

bool isPageBreak(const std::optional<int>& value) {
    return value && (*value == kPageBreakAlways || *value == kPageBreakLeft || *value == kPageBreakRight);
}

bool isPositiveLength(const std::optional<std::string>& value) {
    if (!value) return false;
    const std::optional<CssLength> length = readLength(*value);
    return length && length->value > 0;
}

// The `height` text of a vertical margin, converted like an indent; nothing for a margin of 0 or less.
std::optional<std::string> marginHeight(const std::optional<std::string>& margin) {
    if (!margin) return std::nullopt;
    const std::optional<CssLength> length = readLength(*margin);
    if (!length || !(std::round(length->value) >= 1)) return std::nullopt;
    return textIndentOf(*margin);
}

std::string attributeText(std::string_view name, std::string_view value) {
    std::string text(1, ' ');
    text.append(name).append("=\"").append(escapeAttribute(value)).append(1, '"');
    return text;
}

std::string emptyDiv(std::string_view height) { return "<div" + attributeText("height", height) + "></div>"; }

void setAttribute(StyledMarkup& markup, std::string_view name, std::string_view value) {
    markup.attributes.push_back({std::string(name), escapeAttribute(value)});
}

bool isMonospace(std::string_view family) {
    return containsCaseBlind(family, "courier") || containsCaseBlind(family, "monospace");
}

void rewriteBlockAttributes(std::string_view element, const std::vector<MarkupAttribute>& attributes,
                            const StyleRecord& style, StyledMarkup& markup) {
    if (isBlockWithAttributes(element)) {
        if (style.textIndent) setAttribute(markup, "width", *style.textIndent);
        if (style.textAlign && !hasAttribute(attributes, "align")) setAttribute(markup, "align", *style.textAlign);
        if (style.backgroundColor && !hasAttribute(attributes, "bgcolor")) {
            setAttribute(markup, "bgcolor", *style.backgroundColor);
        }
        if (style.borderState() == BorderState::Shown) setAttribute(markup, "border", "1");
    } else if (isOneOf(element, {"span", "table", "tr", "td"})) {
        if (style.backgroundColor) setAttribute(markup, "bgcolor", *style.backgroundColor);
        if (equalsCaseBlind(element, "table") && style.borderState() != BorderState::Unset) {
            setAttribute(markup, "border", style.borderState() == BorderState::Shown ? "1" : "0");
        }
    }
}

void rewriteFont(std::string_view element, const StyleRecord& style, const RewriteOptions& options, Layer& wrappers,
                 StyledMarkup& markup) {
    const bool withFace = style.fontFamily && !options.suppressFontFaces;
    if (!style.fontSize && !withFace && !style.color) return;
    if (equalsCaseBlind(element, "font")) {
        if (style.fontSize) setAttribute(markup, "size", *style.fontSize);
        if (withFace) setAttribute(markup, "face", *style.fontFamily);
        if (style.color) setAttribute(markup, "color", *style.color);
        return;
    }
    if (withFace && isMonospace(*style.fontFamily)) wrappers.wrap("<tt>", "</tt>");
    std::string open = "<font";
    if (style.fontSize) open += attributeText("size", *style.fontSize);
    if (withFace) open += attributeText("face", *style.fontFamily);
    if (style.color) open += attributeText("color", *style.color);
    wrappers.wrap(open + ">", "</font>");
}

// A wrapper named after its tag, unless the element is that tag already.
void wrapUnlessSame(std::string_view element, std::string_view tag, Layer& wrappers) {
    if (equalsCaseBlind(element, tag)) return;
    std::string open(1, '<');
    open.append(tag).append(1, '>');
    std::string close("</");
    close.append(tag).append(1, '>');
    wrappers.wrap(open, close);
}

}  // namespace

StyledMarkup rewriteStyle(std::string_view element, const std::vector<MarkupAttribute>& attributes,
                          const StyleRecord& style, const RewriteOptions& options) {
    StyledMarkup markup;
    Layer outside;
    Layer inside;
    Layer& wrappers = holdsNoText(element) ? outside : inside;

    if (isPageBreak(style.pageBreakBefore)) outside.open += kPageBreak;

    if (const std::optional<std::string> height = marginHeight(style.margin[StyleRecord::Top])) {
        if (isHeading(element) || isOneOf(element, {"p", "div", "span"})) {
            if (!hasAttribute(attributes, "height")) setAttribute(markup, "height", *height);
        } else {
            outside.open += emptyDiv(*height);
        }
    }

    if (isPositiveLength(style.margin[StyleRecord::Left])) {
        std::string open = "<blockquote";
        if (style.textIndent && !style.textIndent->starts_with('-')) open += attributeText("width", *style.textIndent);
        outside.wrap(open + ">", "</blockquote>");
    }

    rewriteBlockAttributes(element, attributes, style, markup);
    rewriteFont(element, style, options, wrappers, markup);

    if (style.fontWeight == kFontWeightBold) wrapUnlessSame(element, "b", wrappers);
    if (style.fontStyle == kFontStyleItalic) wrapUnlessSame(element, "i", wrappers);
    if (style.textDecoration == kTextDecorationUnderline) wrapUnlessSame(element, "u", wrappers);
    if (style.textDecoration == kTextDecorationLineThrough) wrapUnlessSame(element, "strike", wrappers);
    if (style.verticalAlign && equalsCaseBlind(*style.verticalAlign, "sub")) {
        wrapUnlessSame(element, "sub", wrappers);
    }
    if (style.verticalAlign && equalsCaseBlind(*style.verticalAlign, "super")) {
        wrapUnlessSame(element, "sup", wrappers);
    }

    // The bottom margin and the page break after stand outermost, mirroring those before the element.
    if (const std::optional<std::string> height = marginHeight(style.margin[StyleRecord::Bottom])) {
        outside.close += emptyDiv(*height);
    }
    if (isPageBreak(style.pageBreakAfter)) outside.close += kPageBreak;

    markup.before = std::move(outside.open);
    markup.afterStart = std::move(inside.open);
    markup.beforeEnd = std::move(inside.close);
    markup.after = std::move(outside.close);
    return markup;
}

}  // namespace qp
