// SPDX-License-Identifier: GPL-3.0-or-later
#include "markup/encoding_detection.h"

#include <vector>

#include "core/fault.h"
#include "markup/xml_parser.h"
#include "markup/xml_parser_text.h"

namespace qp {

namespace {

enum class TokenType { Word, Equals, Semicolon };

struct Token {
    TokenType type;
    std::string_view text;
};

std::vector<Token> tokenize(std::string_view text) {
    std::vector<Token> tokens;
    size_t p = 0;
    while (p < text.size()) {
        char c = text[p];
        if (isBlank(c) || c == ',' || c == '?') {
            ++p;
        } else if (c == '=') {
            tokens.push_back({TokenType::Equals, text.substr(p, 1)});
            ++p;
        } else if (c == ';') {
            tokens.push_back({TokenType::Semicolon, text.substr(p, 1)});
            ++p;
        } else if (c == '"' || c == '\'') {
            size_t close = text.find(c, p + 1);
            size_t end = close == std::string_view::npos ? text.size() : close;
            tokens.push_back({TokenType::Word, text.substr(p + 1, end - p - 1)});
            p = close == std::string_view::npos ? text.size() : close + 1;
        } else {
            size_t begin = p;
            while (p < text.size() && !isBlank(text[p]) && text[p] != '=' && text[p] != ';' && text[p] != ',' &&
                   text[p] != '?' && text[p] != '"' && text[p] != '\'') {
                ++p;
            }
            tokens.push_back({TokenType::Word, text.substr(begin, p - begin)});
        }
    }
    return tokens;
}

// Looks a found name up; reports an empty or unknown one on the source.
int32_t lookUpCharset(String& source, std::string_view name) {
    if (name.empty()) {
        report(source, WarningCode::NoEncodingFound, source.context);
        return kCodePageUnset;
    }
    int32_t codePage = codePageOfCharset(name);
    if (codePage == kCodePageUnset) report(source, WarningCode::UnsupportedEncoding, source.context);
    return codePage;
}

// "<%@ Language=JavaScript Codepage=1252 %>": the number after "Codepage=" on the first line, or -1.
int32_t scriptCodePage(std::string_view text) {
    std::string_view line = text.substr(0, text.find_first_of("\r\n"));
    constexpr std::string_view kKey = "codepage=";
    for (size_t p = 0; p + kKey.size() <= line.size(); ++p) {
        if (!startsWithCaseBlind(line.substr(p), kKey)) continue;
        int64_t number = 0;
        size_t digits = p + kKey.size();
        while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9' && number < 1000000) {
            number = number * 10 + (line[digits++] - '0');
        }
        return number > 0 && number < 1000000 ? static_cast<int32_t>(number) : kCodePageUnset;
    }
    return kCodePageUnset;
}

// Kind-2 nodes (comments, declarations, instructions) begin with "<!" or "<?": a text without either has none,
// and the XML-rules scans below can be left out.
bool mayHoldKind2Nodes(std::string_view text) {
    return text.find("<!") != std::string_view::npos || text.find("<?") != std::string_view::npos;
}

// The encoding the first kind-2 node names, read with the XML rules; the scan stops at that node.
bool scanFirstDeclaration(const String& source, std::string_view& name) {
    XmlParser parser(source, ParseMode::DeclarationScan);
    for (;;) {
        MarkupItem item = parser.next();
        if (item.type == MarkupItem::Type::Comment)
            return findKeywordValue(parser.rawText(item.node), "encoding", name);
        parser.discard();
        if (item.endOfText) return false;
    }
}

// Whether any kind-2 node, read with the XML rules, is an XML declaration.
bool scanXmlDeclaration(const String& source) {
    XmlParser parser(source, ParseMode::DeclarationScan);
    for (;;) {
        MarkupItem item = parser.next();
        if (item.type == MarkupItem::Type::Comment && startsWithCaseBlind(parser.rawText(item.node), "?xml"))
            return true;
        parser.discard();
        if (item.endOfText) return false;
    }
}

// The charset a meta element declares: the HTML5 form `<meta charset="utf-8">` or the older
// `<meta http-equiv="Content-Type" content="text/html; charset=utf-8">`. Metas that declare something else
// (a Content-Style-Type, say) are passed over.
bool scanMeta(const String& source, std::string_view& name) {
    XmlParser parser(source, ParseMode::MetaScan);
    for (;;) {
        MarkupItem item = parser.next();
        if (item.type == MarkupItem::Type::StartTag && parser.hasName(item.node, "meta")) {
            const NodeIndex charset = parser.findAttribute(item.node, "charset");
            const NodeIndex content = parser.findAttribute(item.node, "content");
            if (charset != kNoNode) {
                name = trimmed(parser.rawText(charset));
                return true;
            }
            if (content != kNoNode && parser.findAttribute(item.node, "http-equiv") != kNoNode &&
                findKeywordValue(parser.rawText(content), "charset", name)) {
                return true;
            }
        }
        parser.discard();
        if (item.endOfText) return false;
    }
}

}  // namespace

bool findKeywordValue(std::string_view text, std::string_view keyword, std::string_view& value) {
    std::vector<Token> tokens = tokenize(text);
    for (size_t i = 0; i + 1 < tokens.size(); ++i) {
        if (tokens[i].type != TokenType::Word || !equalsCaseBlind(tokens[i].text, keyword) ||
            tokens[i + 1].type != TokenType::Equals) {
            continue;
        }
        bool hasValue = i + 2 < tokens.size() && tokens[i + 2].type == TokenType::Word;
        value = hasValue ? tokens[i + 2].text : std::string_view{};
        return true;
    }
    return false;
}

int32_t detectEncoding(String& source) {
    if (source.codePage() == kCodePageUtf8 || source.codePage() == kCodePageUtf16 || source.kind() == TextKind::Utf16) {
        return source.codePage();
    }
    std::string_view text = source.bytes();
    int32_t codePage = kCodePageUnset;
    if (text.starts_with("<%@")) codePage = scriptCodePage(text);
    const bool kind2Nodes = mayHoldKind2Nodes(text);
    std::string_view name;
    if (codePage == kCodePageUnset && kind2Nodes && scanFirstDeclaration(source, name))
        codePage = lookUpCharset(source, name);
    if (codePage == kCodePageUnset && scanMeta(source, name)) codePage = lookUpCharset(source, name);
    if (codePage == kCodePageUnset && kind2Nodes && scanXmlDeclaration(source)) codePage = kCodePageUtf8;
    // ASCII names no real encoding for 8-bit text: its bytes above 127 would lose their high bit. Such a
    // source is read as the ANSI code page, which agrees with ASCII on every 7-bit byte.
    if (codePage == kCodePageUnset || codePage == kCodePageAscii) codePage = kCodePageSystemDefault;
    source.declareCodePage(codePage);
    return codePage;
}

}  // namespace qp
