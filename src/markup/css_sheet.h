// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A parsed style sheet: an ordered list of rules, each a list of selectors and an ordered list of
// declarations. Names and values keep the bytes of the source (ASCII syntax, any 8-bit or UTF-8 text).
#include <cstdint>
#include <string>
#include <vector>

#include "core/string.h"

namespace qp {

// A simple selector: element name, class, id and pseudo-class, each possibly empty ("p.note", "#top",
// "a:link"). Selectors this model cannot match (combinators, attribute tests, several classes) are not kept.
struct CssSelector {
    std::string element;
    std::string className;
    std::string id;
    std::string pseudoClass;
};

struct CssDeclaration {
    std::string name;
    std::string value;  // trimmed, white space runs folded to one blank, comments and "!important" removed
};

struct CssRule {
    std::vector<CssSelector> selectors;
    std::vector<CssDeclaration> declarations;
};

struct StyleSheet {
    std::vector<CssRule> rules;
    std::string charset;                       // the name given by a leading "@charset", if any
    int32_t charsetCodePage = kCodePageUnset;  // its code page from the charset table
};

}  // namespace qp
