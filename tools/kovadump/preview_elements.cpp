// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview_elements.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "html_text.h"

namespace kova {

namespace {

bool oneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool isBlock(std::string_view name) {
    return oneOf(name, {"p", "div", "h1", "h2", "h3", "h4", "h5", "h6", "ul", "ol", "dl", "li", "dt", "dd", "table",
                        "blockquote", "pre", "hr", "address"});
}

// Elements kept under their own name.
bool keptAsIs(std::string_view name) {
    return isBlock(name) ||
           oneOf(name, {"span", "b",       "i",     "u",     "s",     "strike", "em",   "strong", "small", "big", "sub",
                        "sup",  "tt",      "code",  "kbd",   "samp",  "var",    "cite", "dfn",    "abbr",  "q",   "del",
                        "ins",  "caption", "thead", "tbody", "tfoot", "tr",     "td",   "th",     "br",    "img", "a"});
}

// Decimal digits only, at most `longest` of them (so that the value fits its type).
bool isDigits(std::string_view text, size_t longest = 9) {
    return !text.empty() && text.size() <= longest &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// A CSS length from the device's attribute text: a number with an optional unit; a bare number is pixels.
std::optional<std::string> cssLength(const std::string& value) {
    size_t i = value.starts_with('-') ? 1 : 0;
    const size_t digits = i;
    while (i < value.size() && ((value[i] >= '0' && value[i] <= '9') || value[i] == '.')) ++i;
    if (i == digits || i - digits > 9) return std::nullopt;
    const std::string unit = lower(value.substr(i));
    if (unit.empty()) return value + "px";
    if (oneOf(unit, {"em", "ex", "%", "px", "pt", "pc", "in", "cm", "mm"})) return value.substr(0, i) + unit;
    return std::nullopt;
}

std::optional<std::string> cssColour(const std::string& value) {
    const auto hex = [](std::string_view digits) {
        return (digits.size() == 3 || digits.size() == 6) && std::all_of(digits.begin(), digits.end(), [](char c) {
                   return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
               });
    };
    if (value.starts_with('#') && hex(std::string_view(value).substr(1))) return value;
    if (value.size() == 6 && hex(value)) return "#" + value;
    if (!value.empty() && value.size() <= 20 && std::all_of(value.begin(), value.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        }))
        return value;
    return std::nullopt;
}

std::optional<std::string> alignment(const std::string& value) {
    const std::string a = lower(value);
    return oneOf(a, {"left", "right", "center", "justify"}) ? std::optional<std::string>(a) : std::nullopt;
}

// The device's font sizes 1 to 7, absolute or relative to 3.
std::optional<int> fontSize(const std::string& value) {
    if (isDigits(value)) return std::clamp(std::stoi(value), 1, 7);
    if ((value.starts_with('+') || value.starts_with('-')) && isDigits(std::string_view(value).substr(1))) {
        const int step = std::stoi(value.substr(1));
        return std::clamp(value[0] == '+' ? 3 + step : 3 - step, 1, 7);
    }
    return std::nullopt;
}

bool safeFontFace(const std::string& face) {
    return face.size() <= 100 && std::all_of(face.begin(), face.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
                      c == ',' || c == '-';
           });
}

bool safeLanguage(const std::string& language) {
    return !language.empty() && language.size() <= 35 && std::all_of(language.begin(), language.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
    });
}

class ElementBuilder {
public:
    ElementBuilder(const MarkupTag& tag, const std::vector<PreviewImage>& images) : tag_(tag), images_(images) {}

    PreviewElement build() {
        const std::string& name = tag_.name;
        if (name == "tqp:pagebreak") {
            element_.role = ElementRole::pageBreak;
            return element_;
        }
        if (oneOf(name, {"script", "style", "head", "title", "guide", "noscript", "template", "textarea"})) {
            element_.role = ElementRole::droppedWhole;
            return element_;
        }
        if (name == "font") {
            element_.name = "span";
        } else if (name == "center") {
            element_.name = "div";
            styles_ += "text-align:center;";
        } else if (keptAsIs(name) || name == "hr") {
            element_.name = name;
        } else {
            return element_;
        }
        element_.role = oneOf(element_.name, {"br", "hr", "img"}) ? ElementRole::empty : ElementRole::container;
        common();
        if (name == "font") font();
        if (name == "a") link();
        if (name == "img") image();
        if (name == "ol" || name == "ul" || name == "li") list();
        if (oneOf(name, {"table", "td", "th", "tr"})) table();
        if (!classes_.empty()) element_.attributes += " class=\"" + htmlAttribute(classes_.substr(1)) + "\"";
        if (!styles_.empty()) element_.attributes += " style=\"" + htmlAttribute(styles_) + "\"";
        return element_;
    }

private:
    std::optional<std::string> attribute(std::string_view name) const { return tag_.attribute(name); }

    void addClass(const std::string& name) { classes_ += " " + name; }

    void common() {
        const std::string& name = element_.name;
        if (const auto language = attribute("lang"); language && safeLanguage(*language))
            element_.attributes += " lang=\"" + *language + "\"";
        if (const auto direction = attribute("dir"); direction && oneOf(lower(*direction), {"ltr", "rtl"}))
            element_.attributes += " dir=\"" + lower(*direction) + "\"";
        if (const auto title = attribute("title")) element_.attributes += " title=\"" + htmlAttribute(*title) + "\"";
        const bool block = oneOf(name, {"p", "div", "h1", "h2", "h3", "h4", "h5", "h6", "blockquote"});
        if (const auto align = attribute("align")) {
            if (const auto a = alignment(*align)) {
                if (name == "img" || name == "table") {
                    if (*a == "left" || *a == "right") styles_ += "float:" + *a + ";";
                    if (*a == "center") styles_ += "margin-left:auto;margin-right:auto;";
                } else if (name != "hr") {
                    styles_ += "text-align:" + *a + ";";
                }
            }
        }
        if (block) {
            if (const auto width = attribute("width"))
                if (const auto indent = cssLength(*width)) styles_ += "text-indent:" + *indent + ";";
            if (const auto border = attribute("border"); border && *border != "0") styles_ += "border:1px solid;";
        }
        if (block || name == "span")
            if (const auto height = attribute("height"))
                if (const auto space = cssLength(*height)) styles_ += "margin-top:" + *space + ";";
        if (const auto colour = attribute("bgcolor"))
            if (const auto c = cssColour(*colour)) styles_ += "background-color:" + *c + ";";
    }

    void font() {
        if (const auto size = attribute("size"))
            if (const auto s = fontSize(*size)) addClass("size-" + std::to_string(*s));
        if (const auto colour = attribute("color"))
            if (const auto c = cssColour(*colour)) styles_ += "color:" + *c + ";";
        if (const auto face = attribute("face")) {
            const std::string f = lower(*face);
            if (f.find("courier") != std::string::npos || f.find("monospace") != std::string::npos)
                styles_ += "font-family:monospace;";
            else if (safeFontFace(*face))
                styles_ += "font-family:" + *face + ";";
        }
    }

    void link() {
        if (const auto filepos = attribute("filepos")) {
            element_.target = fileposTarget(*filepos);
            if (!element_.target) unresolved("a link whose target was never resolved");
            return;
        }
        const auto href = attribute("href");
        if (!href) return;
        if (href->starts_with('$')) {
            if (const PreviewImage* record = imageRecord(href->substr(1), images_))
                element_.attributes += " href=\"" + htmlAttribute(kPagesToRoot + record->file) + "\"";
            else
                unresolved("a link to an image record that the book does not have");
            return;
        }
        const std::string scheme = lower(href->substr(0, href->find(':') + 1));
        if (oneOf(scheme, {"http:", "https:", "mailto:", "ftp:"}))
            element_.attributes += " href=\"" + htmlAttribute(*href) + "\" rel=\"noopener noreferrer\"";
        else
            unresolved("a link that leads outside the book");
    }

    void unresolved(const std::string& why) {
        addClass("unresolved");
        if (!attribute("title")) element_.attributes += " title=\"" + htmlAttribute(why) + "\"";
    }

    void image() {
        std::optional<std::string> record;
        for (const char* name : {"recindex", "hirecindex", "lorecindex"})
            if (!record) record = attribute(name);
        const PreviewImage* picture = record ? imageRecord(*record, images_) : nullptr;
        if (picture && picture->picture) {
            element_.attributes += " src=\"" + htmlAttribute(kPagesToRoot + picture->file) + "\"";
            element_.attributes += " alt=\"" + htmlAttribute(attribute("alt").value_or("")) + "\"";
            for (const char* name : {"width", "height"})
                if (const auto size = attribute(name); size && isDigits(*size))
                    element_.attributes += std::string(" ") + name + "=\"" + *size + "\"";
            return;
        }
        // No picture to show: a marked box that says so instead of a broken image.
        element_.name = "span";
        element_.attributes.clear();
        styles_.clear();
        addClass("missing-image");
        element_.attributes += " title=\"" +
                               htmlAttribute(record ? "image record " + *record + " is not a picture of the book"
                                                    : "an image without a record") +
                               "\"";
    }

    void list() {
        if (const auto start = attribute("start"); start && element_.name == "ol" && isDigits(*start))
            element_.attributes += " start=\"" + *start + "\"";
        if (const auto value = attribute("value"); value && element_.name == "li" && isDigits(*value))
            element_.attributes += " value=\"" + *value + "\"";
        if (const auto type = attribute("type")) {
            if (element_.name == "ol" && oneOf(*type, {"1", "a", "A", "i", "I"}))
                element_.attributes += " type=\"" + *type + "\"";
            if (element_.name == "ul" && oneOf(lower(*type), {"disc", "circle", "square"}))
                styles_ += "list-style-type:" + lower(*type) + ";";
        }
    }

    void table() {
        const std::string& name = element_.name;
        if (name == "table" && attribute("border").value_or("0") != "0") addClass("bordered");
        if (name == "table" || name == "td" || name == "th")
            if (const auto width = attribute("width"))
                if (const auto w = cssLength(*width); w && !w->starts_with('-')) styles_ += "width:" + *w + ";";
        for (const char* span : {"colspan", "rowspan"})
            if (const auto value = attribute(span); value && isDigits(*value) && value->size() <= 4)
                element_.attributes += std::string(" ") + span + "=\"" + *value + "\"";
        if (const auto valign = attribute("valign");
            valign && oneOf(lower(*valign), {"top", "middle", "bottom", "baseline"}))
            styles_ += "vertical-align:" + lower(*valign) + ";";
    }

    const MarkupTag& tag_;
    const std::vector<PreviewImage>& images_;
    PreviewElement element_;
    std::string classes_;
    std::string styles_;
};

}  // namespace

std::optional<uint64_t> fileposTarget(std::string_view value) {
    return isDigits(value, 10) ? std::optional<uint64_t>(std::stoull(std::string(value))) : std::nullopt;
}

const PreviewImage* imageRecord(std::string_view number, const std::vector<PreviewImage>& images) {
    const size_t index = isDigits(number) ? std::stoul(std::string(number)) : 0;
    return index >= 1 && index <= images.size() ? &images[index - 1] : nullptr;
}

PreviewElement previewElement(const MarkupTag& tag, const std::vector<PreviewImage>& images) {
    return ElementBuilder(tag, images).build();
}

bool endsAt(const std::string& open, const std::string& opening) {
    if (open == "p") return isBlock(opening);
    if (open == "li") return opening == "li";
    if (open == "dt" || open == "dd") return opening == "dt" || opening == "dd";
    if (open == "td" || open == "th") return oneOf(opening, {"td", "th", "tr", "thead", "tbody", "tfoot"});
    if (open == "tr") return oneOf(opening, {"tr", "thead", "tbody", "tfoot"});
    if (oneOf(open, {"thead", "tbody", "tfoot"})) return oneOf(opening, {"thead", "tbody", "tfoot"});
    return false;
}

bool scopesImpliedEnds(const std::string& open, const std::string& opening) {
    if (oneOf(open, {"table", "caption"})) return true;
    if (oneOf(open, {"td", "th"})) return !oneOf(opening, {"td", "th", "tr", "thead", "tbody", "tfoot"});
    if (opening == "li") return open == "ol" || open == "ul";
    if (opening == "dt" || opening == "dd") return open == "dl";
    return false;
}

}  // namespace kova
