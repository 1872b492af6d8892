// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the style-sheet parser as a sheet and as a `style` attribute, then computes and
// rewrites the styles of a few elements and dumps the sheet: none of it may crash or hang.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "markup/css_parser.h"
#include "markup/css_style_context.h"
#include "markup/style_sheet_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    qp::FaultHeader faults;
    faults.quiet = true;
    const qp::StyleSheet sheet = qp::parseStyleSheet(text, faults);
    qp::styleSheetDump(sheet, size % 2 == 0);

    qp::StyleContext context;
    context.quiet = true;
    context.addSheetText(text);
    // The first selector of the first rules tried on a few elements that the rewriting treats differently.
    constexpr size_t kRulesTried = 16;
    for (size_t i = 0; i < sheet.rules.size() && i < kRulesTried; ++i) {
        const qp::CssSelector& selector = sheet.rules[i].selectors.front();
        for (std::string_view element : {"p", "span", "font", "img", "table", "b"}) {
            context.rewriteElement(element, {{"class", selector.className},
                                             {"id", selector.id},
                                             {"href", "#x"},
                                             {"style", std::string(text.substr(0, 64))}});
        }
    }
    return 0;
}
