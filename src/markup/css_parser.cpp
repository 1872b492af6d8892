// SPDX-License-Identifier: GPL-3.0-or-later
#include "markup/css_parser.h"

#include <optional>

#include "markup/css_text.h"

namespace qp {
namespace {

bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

bool isIdentChar(char c) { return isNameChar(c) || static_cast<unsigned char>(c) >= 0x80; }

bool isQuote(char c) { return c == '"' || c == '\''; }

// Reads "element.class#id:pseudo" (suffixes in any order, "*" for any element). Anything more is a
// selector this model cannot match.
std::optional<CssSelector> parseSelector(std::string_view text) {
    if (text.empty()) return std::nullopt;
    CssSelector selector;
    size_t pos = 0;
    auto readIdent = [&]() {
        const size_t start = pos;
        while (pos < text.size() && isIdentChar(text[pos])) ++pos;
        return std::string(text.substr(start, pos - start));
    };
    if (text[0] == '*')
        ++pos;
    else
        selector.element = readIdent();
    while (pos < text.size()) {
        const char marker = text[pos];
        std::string* part = nullptr;
        if (marker == '.')
            part = &selector.className;
        else if (marker == '#')
            part = &selector.id;
        else if (marker == ':')
            part = &selector.pseudoClass;
        else
            return std::nullopt;
        ++pos;
        std::string ident = readIdent();
        if (ident.empty() || !part->empty()) return std::nullopt;
        if (marker == ':' && pos < text.size() && text[pos] == '(') return std::nullopt;
        *part = std::move(ident);
    }
    return selector;
}

std::vector<CssSelector> parseSelectorList(std::string_view text) {
    std::vector<CssSelector> selectors;
    size_t start = 0;
    int depth = 0;
    char quote = 0;
    for (size_t pos = 0; pos <= text.size(); ++pos) {
        const char c = pos < text.size() ? text[pos] : ',';
        if (quote) {
            if (c == '\\')
                ++pos;
            else if (c == quote)
                quote = 0;
            continue;
        }
        if (isQuote(c))
            quote = c;
        else if (c == '(' || c == '[')
            ++depth;
        else if ((c == ')' || c == ']') && depth > 0)
            --depth;
        else if (c == ',' && (depth == 0 || pos == text.size())) {
            if (std::optional<CssSelector> selector = parseSelector(trimmed(text.substr(start, pos - start)))) {
                selectors.push_back(std::move(*selector));
            }
            start = pos + 1;
        }
    }
    return selectors;
}

// Removes "!important" from the end of a value: this model has no cascade levels to give it meaning.
std::string withoutImportant(std::string value) {
    const size_t bang = value.rfind('!');
    if (bang != std::string::npos && equalsCaseBlind(trimmed(std::string_view(value).substr(bang + 1)), "important")) {
        value = std::string(trimmed(std::string_view(value).substr(0, bang)));
    }
    return value;
}

class CssScanner {
public:
    CssScanner(std::string_view text, FaultHeader& faults, MessageText file)
        : text_(text), faults_(faults), file_(std::move(file)) {}

    StyleSheet parseSheet() {
        StyleSheet sheet;
        skipSpace();
        if (startsWithCaseBlind(rest(), "@charset")) {
            sheet.charset = leadingCharset(text_);
            sheet.charsetCodePage = codePageOfCharset(sheet.charset);
            skipAtRule();
        }
        while (true) {
            skipSpaceAndComments(true);
            if (atEnd()) break;
            const char c = peek();
            if (c == '@') {
                warn(WarningCode::CssAtRuleIgnored);
                skipAtRule();
            } else if (c == '}' || c == ';') {
                ++pos_;
            } else {
                parseRule(sheet);
            }
        }
        return sheet;
    }

    // Reads declarations up to the end of the text, or up to and past the "}" that closes the block.
    std::vector<CssDeclaration> parseDeclarations(bool inBlock) {
        std::vector<CssDeclaration> declarations;
        while (true) {
            skipSpaceAndComments(false);
            if (atEnd()) break;
            const char c = peek();
            if (c == '}') {
                ++pos_;
                if (inBlock) break;
                warn(WarningCode::CssInvalidCharacter);
                continue;
            }
            if (c == ';') {
                ++pos_;
                continue;
            }
            if (c == '@') {
                warn(WarningCode::CssAtRuleIgnored);
                skipAtRule();
                continue;
            }
            if (!isNameChar(c)) {
                warn(WarningCode::CssInvalidCharacter);
                skipToDeclarationEnd();
                continue;
            }
            const size_t nameStart = pos_;
            while (!atEnd() && isNameChar(peek())) ++pos_;
            std::string name(text_.substr(nameStart, pos_ - nameStart));
            skipSpaceAndComments(false);
            if (atEnd() || peek() != ':') {
                warn(WarningCode::CssInvalidCharacter);
                skipToDeclarationEnd();
                continue;
            }
            ++pos_;
            std::optional<std::string> value = readValue();
            if (!value) {
                warn(WarningCode::CssInvalidCharacter);
                skipToDeclarationEnd();
                continue;
            }
            if (!value->empty()) declarations.push_back({std::move(name), std::move(*value)});
        }
        return declarations;
    }

private:
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek(size_t ahead = 0) const { return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0'; }
    std::string_view rest() const { return text_.substr(pos_); }
    char consume() { return text_[pos_++]; }
    bool atComment() const { return peek() == '/' && peek(1) == '*'; }

    void skipSpace() {
        while (!atEnd() && isBlank(peek())) ++pos_;
    }

    // Between rules the markers of an HTML comment around a `style` element's text count as space too.
    void skipSpaceAndComments(bool htmlMarkers) {
        while (!atEnd()) {
            if (isBlank(peek()))
                ++pos_;
            else if (atComment())
                skipComment();
            else if (htmlMarkers && rest().starts_with("<!--"))
                pos_ += 4;
            else if (htmlMarkers && rest().starts_with("-->"))
                pos_ += 3;
            else
                break;
        }
    }

    void skipComment() {
        const size_t end = text_.find("*/", pos_ + 2);
        pos_ = end == std::string_view::npos ? text_.size() : end + 2;
    }

    // A string ends at its closing quote, or unterminated before a line end.
    void skipString() {
        const char quote = text_[pos_++];
        while (!atEnd()) {
            const char c = peek();
            if (c == '\n') return;
            ++pos_;
            if (c == '\\' && !atEnd())
                ++pos_;
            else if (c == quote)
                return;
        }
    }

    // Skips a "{" block with every block nested in it.
    void skipBlock() {
        int depth = 0;
        while (!atEnd()) {
            const char c = peek();
            if (atComment()) {
                skipComment();
                continue;
            }
            if (isQuote(c)) {
                skipString();
                continue;
            }
            ++pos_;
            if (c == '{')
                ++depth;
            else if (c == '}' && --depth <= 0)
                return;
        }
    }

    // Skips an at-rule: up to and past its ";", or its whole block. A "}" closing an enclosing block stays.
    void skipAtRule() {
        ++pos_;
        while (!atEnd()) {
            const char c = peek();
            if (atComment())
                skipComment();
            else if (isQuote(c))
                skipString();
            else if (c == '{')
                return skipBlock();
            else if (c == '}')
                return;
            else if (consume() == ';')
                return;
        }
    }

    // Recovery after a bad character: resumes after the next ";" or before the "}" closing the block.
    void skipToDeclarationEnd() {
        while (!atEnd()) {
            const char c = peek();
            if (atComment())
                skipComment();
            else if (isQuote(c))
                skipString();
            else if (c == '{')
                skipBlock();
            else if (c == '}')
                return;
            else if (consume() == ';')
                return;
        }
    }

    void parseRule(StyleSheet& sheet) {
        std::string selectorText;
        while (!atEnd() && peek() != '{') {
            const char c = peek();
            if (c == '}') return;
            if (c == ';') {  // a stray statement without a block
                ++pos_;
                return;
            }
            if (atComment()) {
                skipComment();
                selectorText += ' ';
            } else if (isQuote(c)) {
                const size_t start = pos_;
                skipString();
                selectorText += text_.substr(start, pos_ - start);
            } else {
                selectorText += c;
                ++pos_;
            }
        }
        if (atEnd()) return;
        ++pos_;
        std::vector<CssDeclaration> declarations = parseDeclarations(true);
        std::vector<CssSelector> selectors = parseSelectorList(selectorText);
        if (!selectors.empty()) sheet.rules.push_back({std::move(selectors), std::move(declarations)});
    }

    // The value up to ";" or "}", white space folded; nothing when a "{" shows up in it.
    std::optional<std::string> readValue() {
        std::string value;
        bool pendingSpace = false;
        int depth = 0;
        while (!atEnd()) {
            const char c = peek();
            if (atComment()) {
                skipComment();
                pendingSpace = true;
                continue;
            }
            if (c == '}' || (c == ';' && depth == 0)) break;
            if (c == '{') return std::nullopt;
            if (isBlank(c)) {
                pendingSpace = true;
                ++pos_;
                continue;
            }
            if (pendingSpace && !value.empty()) value += ' ';
            pendingSpace = false;
            if (isQuote(c)) {
                const size_t start = pos_;
                skipString();
                value += text_.substr(start, pos_ - start);
                continue;
            }
            if (c == '(')
                ++depth;
            else if (c == ')' && depth > 0)
                --depth;
            value += c;
            ++pos_;
        }
        return withoutImportant(std::move(value));
    }

    int lineAt(size_t pos) {
        if (pos < linePos_) {
            linePos_ = 0;
            line_ = 1;
        }
        for (; linePos_ < pos && linePos_ < text_.size(); ++linePos_) {
            if (text_[linePos_] == '\n') ++line_;
        }
        return line_;
    }

    void warn(Message<MessageNumber, MessageText> message) { report(faults_, message, lineAt(pos_), file_); }

    std::string_view text_;
    size_t pos_ = 0;
    FaultHeader& faults_;
    MessageText file_;
    size_t linePos_ = 0;
    int line_ = 1;
};

}  // namespace

StyleSheet parseStyleSheet(std::string_view text, FaultHeader& faults, const MessageText& file) {
    return CssScanner(text, faults, file).parseSheet();
}

std::vector<CssDeclaration> parseDeclarationList(std::string_view text, FaultHeader& faults) {
    return CssScanner(text, faults, std::nullopt).parseDeclarations(false);
}

std::string leadingCharset(std::string_view text) {
    text = trimmed(text);
    if (!startsWithCaseBlind(text, "@charset")) return {};
    text = trimmed(text.substr(8));
    const size_t end = text.find_first_of(";\n");
    std::string_view name = trimmed(text.substr(0, end));
    if (!name.empty() && isQuote(name.front())) {
        const size_t close = name.find(name.front(), 1);
        name = name.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
    }
    return std::string(name);
}

}  // namespace qp
