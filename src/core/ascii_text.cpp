// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ascii_text.h"

namespace qp {

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = lowerAscii(c);
    return lower;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool equalsCaseBlind(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    }
    return true;
}

bool startsWithCaseBlind(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsCaseBlind(text.substr(0, prefix.size()), prefix);
}

bool containsCaseBlind(std::string_view text, std::string_view part) {
    for (size_t start = 0; start + part.size() <= text.size(); ++start) {
        if (equalsCaseBlind(text.substr(start, part.size()), part)) return true;
    }
    return false;
}

}  // namespace qp
