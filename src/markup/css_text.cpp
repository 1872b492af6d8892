// SPDX-License-Identifier: GPL-3.0-or-later
#include "markup/css_text.h"

namespace qp {
std::vector<std::string_view> valueTokens(std::string_view value) {
    std::vector<std::string_view> tokens;
    size_t pos = 0;
    while (pos < value.size()) {
        while (pos < value.size() && isBlank(value[pos])) ++pos;
        if (pos == value.size()) break;
        const size_t start = pos;
        int depth = 0;
        char quote = 0;
        while (pos < value.size() && (quote || depth > 0 || !isBlank(value[pos]))) {
            const char c = value[pos];
            if (quote) {
                if (c == '\\')
                    ++pos;
                else if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '(') {
                ++depth;
            } else if (c == ')' && depth > 0) {
                --depth;
            }
            ++pos;
        }
        if (pos > value.size()) pos = value.size();
        tokens.push_back(value.substr(start, pos - start));
    }
    return tokens;
}

std::string escapeAttribute(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '"': escaped += "&quot;"; break;
            case '<': escaped += "&lt;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

}  // namespace qp
