// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/html_converter_accept.h"

#include <array>

#include "core/ascii_text.h"
#include "index/index_markup.h"
#include "markup/xml_parser_text.h"

namespace qp {

namespace {

// Forms and frames keep only their text.
constexpr auto kTagsDropped =
    std::to_array<std::string_view>({"form", "input", "select", "option", "optgroup", "textarea", "button",
                                     "tqp:frameset", "tqp:section", "tqp:slave-frame"});

// The event handler attributes of HTML: scripts that a book does not carry. Other attributes that happen to
// start with "on" ("one", "onion") are ordinary attributes.
// clang-format off
constexpr auto kEventAttributes = std::to_array<std::string_view>({
    "onabort", "onafterprint", "onafterscriptexecute", "onanimationcancel", "onanimationend", "onanimationiteration",
    "onanimationstart", "onauxclick", "onbeforecopy", "onbeforecut", "onbeforeinput", "onbeforematch",
    "onbeforepaste", "onbeforeprint", "onbeforescriptexecute", "onbeforetoggle", "onbeforeunload", "onblur",
    "oncancel", "oncanplay", "oncanplaythrough", "onchange", "onclick", "onclose", "oncommand", "oncontextlost",
    "oncontextmenu", "oncontextrestored", "oncopy", "oncuechange", "oncut", "ondblclick", "ondrag", "ondragend",
    "ondragenter", "ondragexit", "ondragleave", "ondragover", "ondragstart", "ondrop", "ondurationchange",
    "onemptied", "onended", "onerror", "onfocus", "onfocusin", "onfocusout", "onformdata", "onfullscreenchange",
    "onfullscreenerror", "ongotpointercapture", "onhashchange", "oninput", "oninvalid", "onkeydown", "onkeypress",
    "onkeyup", "onlanguagechange", "onload", "onloadeddata", "onloadedmetadata", "onloadend", "onloadstart",
    "onlostpointercapture", "onmessage", "onmessageerror", "onmousedown", "onmouseenter", "onmouseleave",
    "onmousemove", "onmouseout", "onmouseover", "onmouseup", "onmousewheel", "onoffline", "ononline", "onpagehide",
    "onpagereveal", "onpageshow", "onpageswap", "onpaste", "onpause", "onplay", "onplaying", "onpointercancel",
    "onpointerdown", "onpointerenter", "onpointerleave", "onpointermove", "onpointerout", "onpointerover",
    "onpointerrawupdate", "onpointerup", "onpopstate", "onprogress", "onratechange", "onreadystatechange",
    "onrejectionhandled", "onreset", "onresize", "onscroll", "onscrollend", "onsearch", "onsecuritypolicyviolation",
    "onseeked", "onseeking", "onselect", "onselectionchange", "onselectstart", "onshow", "onslotchange", "onstalled",
    "onstorage", "onsubmit", "onsuspend", "ontimeupdate", "ontoggle", "ontouchcancel", "ontouchend", "ontouchmove",
    "ontouchstart", "ontransitioncancel", "ontransitionend", "ontransitionrun", "ontransitionstart",
    "onunhandledrejection", "onunload", "onvisibilitychange", "onvolumechange", "onwaiting", "onwheel"});
// clang-format on

// Names compare by length first: most names differ there, before a character is read.
template <size_t N>
bool isOneOf(std::string_view name, const std::array<std::string_view, N>& names) {
    for (std::string_view candidate : names) {
        if (name.size() == candidate.size() && equalsCaseBlind(name, candidate)) return true;
    }
    return false;
}

constexpr auto kVoidElements = std::to_array<std::string_view>(
    {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "param", "source", "track", "wbr"});

// Elements a paragraph may hold that do not stop the search for the paragraph a block start ends.
constexpr auto kPhrasingElements = std::to_array<std::string_view>(
    {"a", "abbr", "b",     "big",  "cite",   "code",   "em",  "font", "i",  "kbd", "q",
     "s", "samp", "small", "span", "strike", "strong", "sub", "sup",  "tt", "u",   "var"});

bool isLinkElement(std::string_view element) {
    return isOneOf(element, std::to_array<std::string_view>({"a", "reference", "metadata"}));
}

}  // namespace

ElementRule elementRule(std::string_view element) {
    if (equalsCaseBlind(element, "script")) return ElementRule::DropWhole;
    if (equalsCaseBlind(element, "style")) return ElementRule::StyleSheet;
    if (equalsCaseBlind(element, "pre")) return ElementRule::Preformatted;
    if (isOneOf(element, kTagsDropped) || IndexMarkup::isIndexMarkup(element)) return ElementRule::DropTags;
    return ElementRule::Write;
}

AttributeRule attributeRule(std::string_view element, std::string_view attribute) {
    // In index markup "name" names an index, a key index or a property, not a place in the text.
    if (equalsCaseBlind(attribute, "name") && IndexMarkup::isIndexMarkup(element)) return AttributeRule::Drop;
    if (equalsCaseBlind(attribute, "id") || equalsCaseBlind(attribute, "name")) return AttributeRule::Anchor;
    if (equalsCaseBlind(attribute, "class")) return AttributeRule::Drop;
    if (equalsCaseBlind(attribute, "lang")) return AttributeRule::Language;
    if (startsWithCaseBlind(attribute, "on") && isOneOf(attribute, kEventAttributes)) return AttributeRule::Event;
    if (isLinkElement(element)) {
        if (equalsCaseBlind(attribute, "href")) return AttributeRule::Link;
        if (equalsCaseBlind(attribute, "global") || equalsCaseBlind(attribute, "external")) return AttributeRule::Drop;
    }
    if (equalsCaseBlind(element, "img") &&
        isOneOf(attribute, std::to_array<std::string_view>({"src", "losrc", "hisrc"}))) {
        return AttributeRule::ImageSource;
    }
    if (equalsCaseBlind(element, "tqp:pagebreak") && equalsCaseBlind(attribute, "crossable")) {
        return AttributeRule::Drop;
    }
    return AttributeRule::Write;
}

bool isVoidElement(std::string_view element) { return isOneOf(element, kVoidElements); }

const ImpliedEnd* impliedEndOf(std::string_view element) {
    static const ImpliedEnd listItem{
        [](std::string_view open) { return equalsCaseBlind(open, "li"); },
        [](std::string_view open) {
            return isOneOf(open, std::to_array<std::string_view>({"ol", "ul", "dir", "menu"}));
        }};
    static const ImpliedEnd definitionPart{[](std::string_view open) {
                                               return isOneOf(open, std::to_array<std::string_view>({"dt", "dd"}));
                                           },
                                           [](std::string_view open) { return equalsCaseBlind(open, "dl"); }};
    static const ImpliedEnd paragraph{[](std::string_view open) { return equalsCaseBlind(open, "p"); },
                                      [](std::string_view open) { return !isOneOf(open, kPhrasingElements); }};
    if (equalsCaseBlind(element, "li")) return &listItem;
    if (equalsCaseBlind(element, "dt") || equalsCaseBlind(element, "dd")) return &definitionPart;
    // Only a new paragraph ends an open one: a block inside a paragraph (`<p>a<table>…</table></p>`) stays
    // there, so that the paragraph's own end tag still has an element to close.
    if (equalsCaseBlind(element, "p")) return &paragraph;
    return nullptr;
}

bool isFormAnchorElement(std::string_view element) {
    return isOneOf(element, std::to_array<std::string_view>({"form", "input", "select"}));
}

bool isExternalAnchorElement(std::string_view element) {
    return isOneOf(element, std::to_array<std::string_view>({"tqp:frameset", "tqp:section"}));
}

bool isMonospaceFace(std::string_view face) {
    return containsCaseBlind(face, "courier") || containsCaseBlind(face, "monospace");
}

std::string_view imageSourcePrefix(std::string_view attribute) {
    if (equalsCaseBlind(attribute, "losrc")) return "lo";
    if (equalsCaseBlind(attribute, "hisrc")) return "hi";
    return "";
}

}  // namespace qp
