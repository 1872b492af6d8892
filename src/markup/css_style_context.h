// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The style sheets of one content file and the computation of an element's style from them.
//
// Build one StyleContext per content file: add each linked sheet with addSheetFile() (a `link` with
// rel="stylesheet" and type="text/css") and the text of each `style` element with addSheetText(), in
// document order. Then, for each element the converter accepts, call rewriteElement() and write what it
// returns at the serializer's hooks (see css_rewrite.h). All texts given and returned are UTF-8.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/fault.h"
#include "core/string.h"
#include "markup/css_rewrite.h"
#include "markup/css_sheet.h"
#include "markup/css_sheet_files.h"
#include "markup/css_style_record.h"

namespace qp {

class StyleContext : public FaultHeader {
public:
    // Adds a sheet file, read and parsed at its first use in `files` (see StyleSheetFiles::load). False, with
    // `CssFileNotFound`, when the file cannot be read.
    bool addSheetFile(const String& path, int32_t defaultCodePage, StyleSheetFiles& files);
    // Adds a sheet given as UTF-8 text; `file` names its file in warnings.
    void addSheetText(std::string_view utf8, const MessageText& file = std::nullopt);

    // The computed style of an element from its name and its `class`, `id` and `style` attribute values.
    // `hasHref` gives an `a` element the pseudo-class "link". Declarations apply in the order of their
    // priority; of equal priorities the later rule wins, and the `style` attribute wins over all rules.
    StyleRecord computeStyle(std::string_view element, std::string_view classAttr, std::string_view idAttr,
                             std::string_view styleAttr, bool hasHref = false);

    // computeStyle() from the element's attributes, then rewriteStyle().
    StyledMarkup rewriteElement(std::string_view element, const std::vector<MarkupAttribute>& attributes,
                                const RewriteOptions& options = {});

    size_t ruleCount() const { return rules_.size(); }

private:
    // Where a selector sits: its rule (in the order rules were added) and its place in the rule's list.
    struct SelectorRef {
        uint32_t rule;
        uint32_t selector;
    };
    using SelectorIndex = std::unordered_map<std::string, std::vector<SelectorRef>>;

    void addRule(CssRule rule);
    const CssSelector& selectorOf(SelectorRef ref) const { return rules_[ref.rule].selectors[ref.selector]; }

    std::vector<CssRule> rules_;
    // Each selector is filed once, under its most specific part: id, else class, else element name.
    SelectorIndex byId_;
    SelectorIndex byClass_;
    SelectorIndex byElement_;
    std::vector<SelectorRef> universal_;
};

// The priority a matching selector gives its rule's declarations: 1 for an element name alone, 10 for a
// class alone, 100 for an id alone, 111 for all three.
int selectorPriority(const CssSelector& selector);

}  // namespace qp
