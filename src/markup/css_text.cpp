#include "markup/css_text.h"

namespace qp {
namespace {

char lowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool isCssSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isCssSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isCssSpace(text.back())) text.remove_suffix(1);
    return text;
}

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = lowerChar(c);
    return lower;
}

bool equalsAsciiCaseBlind(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lowerChar(a[i]) != lowerChar(b[i])) return false;
    }
    return true;
}

bool containsAsciiCaseBlind(std::string_view text, std::string_view part) {
    if (part.size() > text.size()) return false;
    for (size_t start = 0; start + part.size() <= text.size(); ++start) {
        if (equalsAsciiCaseBlind(text.substr(start, part.size()), part)) return true;
    }
    return false;
}

std::vector<std::string_view> valueTokens(std::string_view value) {
    std::vector<std::string_view> tokens;
    size_t pos = 0;
    while (pos < value.size()) {
        while (pos < value.size() && isCssSpace(value[pos])) ++pos;
        if (pos == value.size()) break;
        const size_t start = pos;
        int depth = 0;
        char quote = 0;
        while (pos < value.size() && (quote || depth > 0 || !isCssSpace(value[pos]))) {
            const char c = value[pos];
            if (quote) {
                if (c == '\\') ++pos;
                else if (c == quote) quote = 0;
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
