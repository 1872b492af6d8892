// SPDX-License-Identifier: GPL-3.0-or-later
#include "markup/xml_parser.h"

#include <algorithm>
#include <utility>

#include "markup/xml_parser_text.h"

namespace qp {

namespace {}  // namespace

XmlParser::XmlParser(const String& source, ParseMode mode) {
    if (source.kind() == TextKind::Utf16) {
        owned_ = String::fromUtf8(source.toUtf8());
        text_ = owned_.bytes();
        codePage_ = kCodePageUtf8;
    } else {
        text_ = source.bytes();
        codePage_ = source.codePage();
    }
    context_ = source.context;
    messages = source.messages;
    sourceFailed_ = source.failed();
    init(mode);
}

XmlParser::XmlParser(String&& source, ParseMode mode) {
    context_ = source.context;
    messages = source.messages;
    sourceFailed_ = source.failed();
    if (source.kind() == TextKind::Utf16) {
        owned_ = String::fromUtf8(source.toUtf8());
        codePage_ = kCodePageUtf8;
    } else {
        owned_ = std::move(source);
        codePage_ = owned_.codePage();
    }
    text_ = owned_.bytes();
    init(mode);
}

void XmlParser::init(ParseMode mode) {
    mode_ = mode;
    quiet = htmlRules();
    // Positions are 32-bit; a text that cannot be addressed is refused before anything is read.
    if (text_.size() >= kNoPosition) sourceFailed_ = true;
    discard();
}

void XmlParser::setHoldList(std::vector<std::string> names) { holdList_ = std::move(names); }

void XmlParser::discard() {
    nodes_.clear();
    openStack_.clear();
    openNames_.clear();
    heldNode_ = kNoNode;
    currentParent_ = 0;
    Node document;
    document.kind = NodeKind::Element;
    if (!nodes_.push(document)) abort(ErrorCode::NodeCreationFailed);
}

bool XmlParser::parse() {
    while (!atEnd() && !aborted_) next();
    if (!htmlRules()) {
        while (!openStack_.empty()) popOpen();
        currentParent_ = 0;
    }
    return !aborted_;
}

MarkupItem XmlParser::next() {
    MarkupItem item;
    if (sourceFailed_ && !aborted_) abort(ErrorCode::SourceFaulty);
    if (canceled()) abort(ErrorCode::UserCanceled);
    if (aborted_ || atEnd()) {
        item.endOfText = true;
        return item;
    }
    item = readItem();
    if (heldNode_ != kNoNode) {
        // A held element: read on until its end tag (or the end of the text) so that it arrives whole.
        NodeIndex held = heldNode_;
        while (heldNode_ != kNoNode && !atEnd() && !aborted_) {
            if (canceled()) {
                abort(ErrorCode::UserCanceled);
            } else {
                readItem();
            }
        }
        heldNode_ = kNoNode;
        item.type = MarkupItem::Type::Subtree;
        item.node = held;
    }
    item.endOfText = atEnd() || aborted_;
    return item;
}

void XmlParser::abort(Message<> message) {
    aborted_ = true;
    report(*this, message);
}

void XmlParser::fault(Message<MessageNumber, MessageText> message, size_t position) {
    // A quiet parser only records the fault: its line number is not worth counting.
    report(*this, message, quiet ? kNoNumber : lineAt(position), context_);
}

// The offsets where lines start are found once, on the first question.
int XmlParser::lineAt(size_t position) {
    if (lineStarts_.empty()) {
        lineStarts_.push_back(0);
        for (size_t p = text_.find('\n'); p != std::string_view::npos; p = text_.find('\n', p + 1))
            lineStarts_.push_back(p + 1);
    }
    const auto after = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), std::min(position, text_.size()));
    return static_cast<int>(after - lineStarts_.begin());
}

// --- Store ---

NodeIndex XmlParser::addNode(NodeKind kind, NodeIndex parent, uint32_t start) {
    if (nodes_.size() >= kNoNode - 1) {
        abort(ErrorCode::NodeCreationFailed);
        return kNoNode;
    }
    Node node;
    node.kind = kind;
    node.start = start;
    node.contentStart = start;
    if (!nodes_.push(node)) {
        abort(ErrorCode::NodeCreationFailed);
        return kNoNode;
    }
    NodeIndex index = static_cast<NodeIndex>(nodes_.size() - 1);
    appendChild(parent, index);
    return index;
}

void XmlParser::appendChild(NodeIndex parent, NodeIndex child) {
    Node& p = nodes_[parent];
    Node& c = nodes_[child];
    c.parent = parent;
    c.nextSibling = kNoNode;
    c.previousSibling = p.lastChild;
    if (p.lastChild == kNoNode) {
        p.firstChild = child;
    } else {
        nodes_[p.lastChild].nextSibling = child;
    }
    p.lastChild = child;
}

void XmlParser::unlink(NodeIndex child) {
    Node& c = nodes_[child];
    Node& p = nodes_[c.parent];
    if (c.previousSibling == kNoNode) {
        p.firstChild = c.nextSibling;
    } else {
        nodes_[c.previousSibling].nextSibling = c.nextSibling;
    }
    if (c.nextSibling == kNoNode) {
        p.lastChild = c.previousSibling;
    } else {
        nodes_[c.nextSibling].previousSibling = c.previousSibling;
    }
    c.parent = kNoNode;
    c.nextSibling = c.previousSibling = kNoNode;
}

bool XmlParser::pushOpen(NodeIndex element) {
    if (!openStack_.push(element)) {
        abort(ErrorCode::NodeCreationFailed);
        return false;
    }
    const Node& n = nodes_[element];
    ++openNames_[nameKey(text_.substr(n.textBegin, n.textLength))];
    currentParent_ = element;
    return true;
}

void XmlParser::popOpen() {
    const Node& n = nodes_[openStack_.back()];
    auto found = openNames_.find(nameKey(text_.substr(n.textBegin, n.textLength)));
    if (found != openNames_.end() && --found->second == 0) openNames_.erase(found);
    openStack_.pop();
}

uint64_t XmlParser::nameKey(std::string_view name) {
    // FNV-1a over the case-folded name. Equal keys only make a stack search worth doing.
    uint64_t hash = 1469598103934665603ull;
    for (char c : name) {
        unsigned char folded = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        hash = (hash ^ folded) * 1099511628211ull;
    }
    return hash;
}

// --- Read access ---

const Node* XmlParser::lookup(NodeIndex i) const {
    if (i < nodes_.size()) return &nodes_[i];
    // Reading past the store is a fault of the caller, recorded on the parser.
    XmlParser& self = const_cast<XmlParser&>(*this);
    report(self, ErrorCode::NodeMissing);
    return nullptr;
}

bool XmlParser::hasFlag(NodeIndex i, uint8_t flag) const {
    const Node* n = lookup(i);
    return n != nullptr && (n->flags & flag) != 0;
}

String XmlParser::makeString(std::string_view bytes) const { return String(bytes, codePage_); }

NodeKind XmlParser::kind(NodeIndex i) const {
    const Node* n = lookup(i);
    return n ? n->kind : NodeKind::Text;
}

NodeIndex XmlParser::parent(NodeIndex i) const {
    const Node* n = lookup(i);
    return n ? n->parent : kNoNode;
}

NodeIndex XmlParser::firstChild(NodeIndex i) const {
    const Node* n = lookup(i);
    return n ? n->firstChild : kNoNode;
}

NodeIndex XmlParser::lastChild(NodeIndex i) const {
    const Node* n = lookup(i);
    return n ? n->lastChild : kNoNode;
}

NodeIndex XmlParser::nextSibling(NodeIndex i) const {
    const Node* n = lookup(i);
    return n ? n->nextSibling : kNoNode;
}

NodeIndex XmlParser::previousSibling(NodeIndex i) const {
    const Node* n = lookup(i);
    return n ? n->previousSibling : kNoNode;
}

std::vector<NodeIndex> XmlParser::children(NodeIndex i) const {
    std::vector<NodeIndex> result;
    const Node* n = lookup(i);
    for (NodeIndex c = n ? n->firstChild : kNoNode; c != kNoNode; c = nodes_[c].nextSibling) result.push_back(c);
    return result;
}

std::string_view XmlParser::name(NodeIndex i) const {
    const Node* n = lookup(i);
    if (n == nullptr || i == 0) return {};
    switch (n->kind) {
        case NodeKind::Element:
        case NodeKind::StrayEndTag:
        case NodeKind::Attribute: return text_.substr(n->textBegin, n->textLength);
        default: return {};
    }
}

bool XmlParser::hasName(NodeIndex i, std::string_view wanted) const { return equalsCaseBlind(name(i), wanted); }

std::string_view XmlParser::rawText(NodeIndex i) const {
    const Node* n = lookup(i);
    if (n == nullptr) return {};
    switch (n->kind) {
        case NodeKind::Text:
        case NodeKind::Comment: return text_.substr(n->textBegin, n->textLength);
        case NodeKind::Attribute: return text_.substr(n->valueBegin, n->valueLength);
        default: return {};
    }
}

namespace {

constexpr std::string_view kCdataOpen = "<![CDATA[";
constexpr std::string_view kCdataClose = "]]>";

std::string_view cdataContent(std::string_view section) {
    section.remove_prefix(std::min(section.size(), kCdataOpen.size()));
    if (section.ends_with(kCdataClose)) section.remove_suffix(kCdataClose.size());
    return section;
}

}  // namespace

String XmlParser::text(NodeIndex i) const {
    const Node* n = lookup(i);
    if (n == nullptr) return makeString({});
    switch (n->kind) {
        case NodeKind::Text:
            if (n->flags & node_flag::kCdata) return makeString(cdataContent(rawText(i)));
            return makeString(decodeEntities(rawText(i)));
        case NodeKind::Attribute: return makeString(decodeEntities(rawText(i)));
        case NodeKind::Comment: return makeString(rawText(i));
        default: return makeString(name(i));
    }
}

String XmlParser::textContent(NodeIndex i) const {
    std::string out;
    if (lookup(i) == nullptr) return makeString({});
    // Walks the subtree by its links: no recursion, whatever the depth.
    NodeIndex current = nodes_[i].firstChild;
    while (current != kNoNode) {
        const Node& n = nodes_[current];
        if (n.kind == NodeKind::Text) {
            std::string_view raw = text_.substr(n.textBegin, n.textLength);
            if (n.flags & node_flag::kCdata) {
                out.append(cdataContent(raw));
            } else {
                out.append(decodeEntities(raw));
            }
        }
        if (n.kind == NodeKind::Element && n.firstChild != kNoNode) {
            current = n.firstChild;
            continue;
        }
        while (current != i && nodes_[current].nextSibling == kNoNode) current = nodes_[current].parent;
        current = current == i ? kNoNode : nodes_[current].nextSibling;
    }
    return makeString(out);
}

NodeIndex XmlParser::findAttribute(NodeIndex element, std::string_view wanted) const {
    const Node* n = lookup(element);
    if (n == nullptr) return kNoNode;
    for (NodeIndex c = n->firstChild; c != kNoNode; c = nodes_[c].nextSibling) {
        const Node& child = nodes_[c];
        if (child.kind != NodeKind::Attribute) break;  // attributes come first
        if (equalsCaseBlind(text_.substr(child.textBegin, child.textLength), wanted)) return c;
    }
    return kNoNode;
}

String XmlParser::attribute(NodeIndex element, std::string_view wanted) const {
    NodeIndex found = findAttribute(element, wanted);
    return found == kNoNode ? makeString({}) : text(found);
}

uint32_t XmlParser::start(NodeIndex i) const {
    const Node* n = lookup(i);
    return n ? n->start : kNoPosition;
}

uint32_t XmlParser::contentStart(NodeIndex i) const {
    const Node* n = lookup(i);
    return n ? n->contentStart : kNoPosition;
}

uint32_t XmlParser::closePosition(NodeIndex i) const {
    const Node* n = lookup(i);
    return n ? n->closePosition : kNoPosition;
}

}  // namespace qp
