// SPDX-License-Identifier: GPL-3.0-or-later
#include "markup/css_style_context.h"

#include <algorithm>

#include "markup/css_parser.h"
#include "markup/css_text.h"

namespace qp {
namespace {

bool partMatches(const std::string& part, std::string_view value) {
    return part.empty() || equalsCaseBlind(part, value);
}

bool selectorMatches(const CssSelector& selector, std::string_view element, std::string_view classAttr,
                     std::string_view idAttr, std::string_view pseudoClass) {
    return partMatches(selector.element, element) && partMatches(selector.className, classAttr) &&
           partMatches(selector.id, idAttr) && partMatches(selector.pseudoClass, pseudoClass);
}

std::string_view attributeValue(const std::vector<MarkupAttribute>& attributes, std::string_view name) {
    for (const MarkupAttribute& attribute : attributes) {
        if (equalsCaseBlind(attribute.name, name)) return attribute.value;
    }
    return {};
}

bool hasAttribute(const std::vector<MarkupAttribute>& attributes, std::string_view name) {
    return std::any_of(attributes.begin(), attributes.end(),
                       [&](const MarkupAttribute& attribute) { return equalsCaseBlind(attribute.name, name); });
}

}  // namespace

int selectorPriority(const CssSelector& selector) {
    int priority = 0;
    if (!selector.element.empty()) priority += 1;
    if (!selector.className.empty()) priority += 10;
    if (!selector.id.empty()) priority += 100;
    return priority;
}

bool StyleContext::addSheetFile(const String& path, int32_t defaultCodePage, StyleSheetFiles& files) {
    const StyleSheetFiles::Sheet& sheet = files.load(path, defaultCodePage);
    absorbFaults(*this, sheet.faults);
    for (const CssRule& rule : sheet.rules) addRule(rule);
    return !sheet.faults.failed();
}

void StyleContext::addSheetText(std::string_view utf8, const MessageText& file) {
    StyleSheet sheet = parseStyleSheet(utf8, *this, file);
    for (CssRule& rule : sheet.rules) addRule(std::move(rule));
}

void StyleContext::addRule(CssRule rule) {
    const auto ruleNumber = static_cast<uint32_t>(rules_.size());
    for (uint32_t i = 0; i < rule.selectors.size(); ++i) {
        const CssSelector& selector = rule.selectors[i];
        const SelectorRef ref{ruleNumber, i};
        if (!selector.id.empty())
            byId_[lowerAscii(selector.id)].push_back(ref);
        else if (!selector.className.empty())
            byClass_[lowerAscii(selector.className)].push_back(ref);
        else if (!selector.element.empty())
            byElement_[lowerAscii(selector.element)].push_back(ref);
        else
            universal_.push_back(ref);
    }
    rules_.push_back(std::move(rule));
}

StyleRecord StyleContext::computeStyle(std::string_view element, std::string_view classAttr, std::string_view idAttr,
                                       std::string_view styleAttr, bool hasHref) {
    const std::string_view pseudoClass = hasHref && equalsCaseBlind(element, "a") ? "link" : "";

    // Candidate selectors from the index; per rule the first selector of its list that matches counts.
    std::vector<SelectorRef> matches;
    auto collect = [&](const std::vector<SelectorRef>& candidates) {
        for (const SelectorRef& ref : candidates) {
            if (selectorMatches(selectorOf(ref), element, classAttr, idAttr, pseudoClass)) matches.push_back(ref);
        }
    };
    auto collectFrom = [&](const SelectorIndex& index, std::string_view value) {
        if (value.empty()) return;
        const auto found = index.find(lowerAscii(value));
        if (found != index.end()) collect(found->second);
    };
    collectFrom(byId_, idAttr);
    collectFrom(byClass_, classAttr);
    collectFrom(byElement_, element);
    collect(universal_);
    std::sort(matches.begin(), matches.end(), [](const SelectorRef& a, const SelectorRef& b) {
        return a.rule != b.rule ? a.rule < b.rule : a.selector < b.selector;
    });
    matches.erase(std::unique(matches.begin(), matches.end(),
                              [](const SelectorRef& a, const SelectorRef& b) { return a.rule == b.rule; }),
                  matches.end());
    // Rules in ascending priority; a stable sort keeps later rules after earlier ones of equal priority.
    std::stable_sort(matches.begin(), matches.end(), [&](const SelectorRef& a, const SelectorRef& b) {
        return selectorPriority(selectorOf(a)) < selectorPriority(selectorOf(b));
    });

    StyleRecord style;
    for (const SelectorRef& ref : matches) {
        for (const CssDeclaration& declaration : rules_[ref.rule].declarations) {
            style.apply(declaration.name, declaration.value);
        }
    }
    // The `style` attribute comes last: its priority (1000) is above any selector's.
    if (!styleAttr.empty()) {
        for (const CssDeclaration& declaration : parseDeclarationList(styleAttr, *this)) {
            style.apply(declaration.name, declaration.value);
        }
    }
    return style;
}

StyledMarkup StyleContext::rewriteElement(std::string_view element, const std::vector<MarkupAttribute>& attributes,
                                          const RewriteOptions& options) {
    const StyleRecord style =
        computeStyle(element, attributeValue(attributes, "class"), attributeValue(attributes, "id"),
                     attributeValue(attributes, "style"), hasAttribute(attributes, "href"));
    return rewriteStyle(element, attributes, style, options);
}

}  // namespace qp
