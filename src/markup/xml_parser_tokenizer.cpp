// SPDX-License-Identifier: GPL-3.0-or-later
// The tokenizer of XmlParser: a forward scan that reads one markup item per call.
#include <cstring>

#include "markup/xml_parser.h"
#include "markup/xml_parser_text.h"

namespace qp {

namespace {

constexpr std::string_view kRawTextElement = "script";

bool isNameStart(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || u >= 0x80;
}

// Names run to the first blank or markup delimiter.
bool isNameChar(char c) { return !isBlank(c) && c != '>' && c != '/' && c != '=' && c != '<' && c != '"' && c != '\''; }

uint32_t pos32(size_t p) { return static_cast<uint32_t>(p); }

}  // namespace

size_t XmlParser::nameEnd(size_t from) const {
    size_t p = from;
    while (p < text_.size() && isNameChar(text_[p])) ++p;
    return p;
}

bool XmlParser::startsMarkup(size_t p) const {
    if (p + 1 >= text_.size()) return false;
    char next = text_[p + 1];
    if (next == '!' || next == '?') return true;
    size_t nameStart = next == '/' ? p + 2 : p + 1;
    if (nameStart >= text_.size() || !isNameStart(text_[nameStart])) return false;
    return nameEnd(nameStart) - nameStart <= kMaxNameLength;
}

MarkupItem XmlParser::readItem() {
    if (inRawText_) {
        inRawText_ = false;
        MarkupItem raw = readRawText();
        if (raw.type != MarkupItem::Type::None || atEnd() || aborted_) return raw;
    }
    if (text_[pos_] != '<') return readText(pos_);
    if (!startsMarkup(pos_)) {
        fault(ErrorCode::BadTagName, pos_);
        return readText(pos_ + 1);
    }
    char next = text_[pos_ + 1];
    if (next == '!') return readBang();
    if (next == '?') return readInstruction();
    if (next == '/') return readEndTag(nameEnd(pos_ + 2));
    return readStartTag(nameEnd(pos_ + 1));
}

// The position of the next "<" at or after `from`, or the end of the text.
size_t XmlParser::nextOpenBracket(size_t from) const {
    if (from >= text_.size()) return text_.size();
    const void* found = std::memchr(text_.data() + from, '<', text_.size() - from);
    return found ? static_cast<size_t>(static_cast<const char*>(found) - text_.data()) : text_.size();
}

// A run of characters from pos_; scanning starts at `from` (past a '<' already taken as text).
MarkupItem XmlParser::readText(size_t from) {
    size_t p = from;
    while ((p = nextOpenBracket(p)) < text_.size()) {
        if (startsMarkup(p)) break;
        fault(ErrorCode::BadTagName, p);
        ++p;
    }
    return addText(p);
}

// A text node holding the characters from the current position up to `end`, which becomes the position.
MarkupItem XmlParser::addText(size_t end) {
    NodeIndex node = addNode(NodeKind::Text, currentParent_, pos32(pos_));
    if (node == kNoNode) return {};
    nodes_[node].textBegin = pos32(pos_);
    nodes_[node].textLength = pos32(end - pos_);
    pos_ = end;
    return {MarkupItem::Type::Text, node};
}

// The content of a raw-text element (script in HTML), markup included, up to its end tag.
MarkupItem XmlParser::readRawText() {
    size_t p = pos_;
    while ((p = nextOpenBracket(p)) < text_.size()) {
        if (p + 1 < text_.size() && text_[p + 1] == '/' && startsWithCaseBlind(text_.substr(p + 2), kRawTextElement)) {
            break;
        }
        ++p;
    }
    if (p == pos_) return {};
    return addText(p);
}

// <!-- comment -->, <![CDATA[ section ]]> or <!declaration>.
MarkupItem XmlParser::readBang() {
    size_t tagPos = pos_;
    std::string_view rest = text_.substr(tagPos);
    if (rest.starts_with("<!--")) {
        size_t end = text_.find("-->", tagPos + 4);
        if (end == std::string_view::npos) fault(ErrorCode::CommentUnterminated, tagPos);
        size_t innerEnd = end == std::string_view::npos ? text_.size() : end;
        NodeIndex node = addNode(NodeKind::Comment, currentParent_, pos32(tagPos));
        if (node == kNoNode) return {};
        Node& n = nodes_[node];
        n.flags |= node_flag::kComment;
        n.textBegin = n.contentStart = pos32(tagPos + 4);
        n.textLength = pos32(innerEnd - (tagPos + 4));
        pos_ = end == std::string_view::npos ? text_.size() : end + 3;
        return {MarkupItem::Type::Comment, node};
    }
    if (startsWithCaseBlind(rest, "<![CDATA[")) {
        size_t end = text_.find("]]>", tagPos + 9);
        if (end == std::string_view::npos) fault(ErrorCode::CdataUnterminated, tagPos);
        size_t sectionEnd = end == std::string_view::npos ? text_.size() : end + 3;
        NodeIndex node = addNode(NodeKind::Text, currentParent_, pos32(tagPos));
        if (node == kNoNode) return {};
        Node& n = nodes_[node];
        n.flags |= node_flag::kCdata;
        n.textBegin = pos32(tagPos);
        n.textLength = pos32(sectionEnd - tagPos);
        pos_ = sectionEnd;
        return {MarkupItem::Type::Text, node};
    }
    return readUpToBracket(tagPos, 2);
}

// <?...?>: a kind-2 node whose text keeps the question marks ("?xml version=...?").
MarkupItem XmlParser::readInstruction() { return readUpToBracket(pos_, 1); }

// A declaration or an instruction: a kind-2 node whose text starts `skip` bytes into the tag and runs up to
// the next ">" (or the end of the text).
MarkupItem XmlParser::readUpToBracket(size_t tagPos, size_t skip) {
    size_t end = text_.find('>', tagPos + 2);
    size_t innerEnd = end == std::string_view::npos ? text_.size() : end;
    NodeIndex node = addNode(NodeKind::Comment, currentParent_, pos32(tagPos));
    if (node == kNoNode) return {};
    Node& n = nodes_[node];
    n.textBegin = n.contentStart = pos32(tagPos + skip);
    n.textLength = pos32(innerEnd - (tagPos + skip));
    pos_ = end == std::string_view::npos ? text_.size() : end + 1;
    return {MarkupItem::Type::Comment, node};
}

MarkupItem XmlParser::readStartTag(size_t nameStop) {
    size_t tagPos = pos_;
    NodeIndex element = addNode(NodeKind::Element, currentParent_, pos32(tagPos));
    if (element == kNoNode) return {};
    nodes_[element].textBegin = pos32(tagPos + 1);
    nodes_[element].textLength = pos32(nameStop - (tagPos + 1));
    if (!pushOpen(element)) return {};
    pos_ = nameStop;
    readAttributes(element);
    if (aborted_) return {};
    Node& n = nodes_[element];
    n.contentStart = pos32(pos_);
    std::string_view elementName = text_.substr(n.textBegin, n.textLength);
    if (n.flags & node_flag::kWrittenEmpty) {
        n.flags |= node_flag::kClosed;
        n.closePosition = pos32(pos_);
        popOpen();
        currentParent_ = n.parent;
        return {MarkupItem::Type::StartTag, element};
    }
    if (htmlRules() && equalsCaseBlind(elementName, kRawTextElement)) inRawText_ = true;
    if (heldNode_ == kNoNode) {
        for (const std::string& held : holdList_) {
            if (equalsCaseBlind(elementName, held)) {
                heldNode_ = element;
                break;
            }
        }
    }
    return {MarkupItem::Type::StartTag, element};
}

// Attributes: name, name=value, name="value", name='value'; ends after '>' or '/>'.
void XmlParser::readAttributes(NodeIndex element) {
    size_t p = pos_;
    const size_t size = text_.size();
    while (p < size) {
        char c = text_[p];
        if (isBlank(c)) {
            ++p;
            continue;
        }
        if (c == '>') {
            ++p;
            break;
        }
        if (c == '<') break;  // a tag cut short: the next markup starts here
        if (c == '/') {
            if (p + 1 < size && text_[p + 1] == '>') {
                nodes_[element].flags |= node_flag::kWrittenEmpty;
                p += 2;
                break;
            }
            fault(WarningCode::BadAttributeName, p);
            ++p;
            continue;
        }
        size_t nameStop = nameEnd(p);
        if (nameStop == p || nameStop - p > kMaxNameLength) {
            fault(WarningCode::BadAttributeName, p);
            p = nameStop == p ? p + 1 : nameStop;
            continue;
        }
        NodeIndex attribute = addNode(NodeKind::Attribute, element, pos32(p));
        if (attribute == kNoNode) return;
        nodes_[attribute].textBegin = pos32(p);
        nodes_[attribute].textLength = pos32(nameStop - p);
        p = nameStop;
        size_t afterName = p;
        while (p < size && isBlank(text_[p])) ++p;
        if (p >= size || text_[p] != '=') {
            fault(WarningCode::AttributeWithoutValue, afterName);
            nodes_[attribute].valueBegin = nodes_[attribute].contentStart = pos32(afterName);
            p = afterName;
            continue;
        }
        ++p;
        while (p < size && isBlank(text_[p])) ++p;
        size_t valueBegin = p;
        size_t valueEnd = p;
        if (p < size && (text_[p] == '"' || text_[p] == '\'')) {
            size_t close = text_.find(text_[p], p + 1);
            valueBegin = p + 1;
            valueEnd = close == std::string_view::npos ? size : close;
            p = close == std::string_view::npos ? size : close + 1;
        } else {
            while (p < size && !isBlank(text_[p]) && text_[p] != '>') ++p;
            valueEnd = p;
        }
        nodes_[attribute].valueBegin = nodes_[attribute].contentStart = pos32(valueBegin);
        nodes_[attribute].valueLength = pos32(valueEnd - valueBegin);
    }
    pos_ = p;
}

MarkupItem XmlParser::readEndTag(size_t nameStop) {
    size_t tagPos = pos_;
    std::string_view tagName = text_.substr(tagPos + 2, nameStop - (tagPos + 2));
    size_t p = nameStop;
    while (p < text_.size() && isBlank(text_[p])) ++p;
    if (p < text_.size() && text_[p] == '>') {
        ++p;
    } else {
        fault(WarningCode::EndTagUnterminated, p);
        size_t close = text_.find('>', p);
        p = close == std::string_view::npos ? text_.size() : close + 1;
    }
    pos_ = p;
    return closeByName(tagName, pos32(tagPos), pos32(p));
}

MarkupItem XmlParser::closeByName(std::string_view tagName, uint32_t tagPos, uint32_t tagEnd) {
    if (!openStack_.empty()) {
        NodeIndex top = openStack_.back();
        const Node& n = nodes_[top];
        if (equalsCaseBlind(text_.substr(n.textBegin, n.textLength), tagName)) {
            closeTop(tagPos);
            return {MarkupItem::Type::EndTag, top};
        }
    }
    // In HTML, an end tag with nothing open (the usual case after discard() while streaming) has nothing above
    // it to close: it becomes a stray end tag without a word.
    if (!openStack_.empty() || !htmlRules()) fault(WarningCode::UnclosedNodesAbove, tagPos);
    if (openNames_.contains(nameKey(tagName))) {
        for (size_t k = openStack_.size(); k-- > 0;) {
            const Node& n = nodes_[openStack_[k]];
            if (equalsCaseBlind(text_.substr(n.textBegin, n.textLength), tagName)) {
                NodeIndex matched = openStack_[k];
                closeDownTo(k, tagPos);
                return {MarkupItem::Type::EndTag, matched};
            }
        }
    }
    if (!htmlRules()) {
        fault(WarningCode::UnknownNodeClosed, tagPos);
        return {MarkupItem::Type::EndTag, kNoNode};
    }
    NodeIndex stray = addNode(NodeKind::StrayEndTag, currentParent_, tagPos);
    if (stray == kNoNode) return {};
    nodes_[stray].textBegin = tagPos + 2;
    nodes_[stray].textLength = pos32(tagName.size());
    nodes_[stray].contentStart = tagEnd;
    return {MarkupItem::Type::EndTag, stray};
}

void XmlParser::closeTop(uint32_t position) {
    NodeIndex top = openStack_.back();
    Node& n = nodes_[top];
    n.flags |= node_flag::kClosed;
    n.closePosition = position;
    popOpen();
    currentParent_ = n.parent;
    if (top == heldNode_) heldNode_ = kNoNode;
}

// Closes the open element at stackIndex and every element above it. Those whose parent is not the matched
// element move under it, in order: <b><i><u>x</b> leaves b holding i (now empty) and u (holding x).
void XmlParser::closeDownTo(size_t stackIndex, uint32_t position) {
    NodeIndex matched = openStack_[stackIndex];
    for (size_t k = stackIndex + 1; k < openStack_.size(); ++k) {
        NodeIndex inner = openStack_[k];
        if (nodes_[inner].parent != matched) {
            unlink(inner);
            appendChild(matched, inner);
        }
    }
    while (openStack_.size() > stackIndex) closeTop(position);
}

}  // namespace qp
