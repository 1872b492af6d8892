// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// XmlParser: the tolerant HTML/XML parser and its node store.
//
// The parser never refuses a document. Unknown elements are kept, an end tag closes the open elements above the
// one it names, and an end tag that closes nothing is kept as a stray end-tag node (HTML) or reported and
// dropped (XML). Nodes are addressed by index in document order; node 0 is the document node.
//
// Node texts are byte ranges of the parsed text, so reading a node copies nothing until a String is asked for.
// Positions are byte offsets into the source's view. A UTF-16 source is parsed as UTF-8 (the parser keeps a
// converted copy); node texts are then UTF-8 (code page 65001). Every other source is parsed in its own bytes.
//
// Streaming (how content files go through the converter without their tree ever being held whole):
//
//     XmlParser parser(source, ParseMode::Html);
//     parser.setHoldList({"script", "pre", "select"});
//     for (;;) {
//         MarkupItem item = parser.next();
//         ...hand item.node and its subtree on...
//         parser.discard();
//         if (item.endOfText) break;
//     }
//
// Each call of next() reads one markup item:
//   StartTag  a start tag: item.node is the element, its attributes are its children (a tag written empty,
//             <br/>, is already closed);
//   EndTag    an end tag: item.node is the element it closed, or (HTML) the kind-4 stray end-tag node when
//             nothing open had that name, which is the usual case after discard(); kNoNode when an XML parse
//             dropped it;
//   Text      a run of characters, a CDATA section or the raw text of a script: a kind-0 node;
//   Comment   a comment, a <!...> declaration or a <?...?> instruction: a kind-2 node;
//   Subtree   an element of the hold list, delivered complete from its start tag to its end tag;
//   None      nothing was left to read.
// discard() drops every node and empties the open stack, so memory stays bounded by the largest item.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/fault.h"
#include "core/string.h"
#include "markup/xml_parser_store.h"

namespace qp {

// Html and Xml parse documents; the two scan modes serve encoding detection. The declaration scan follows the
// XML rules, the meta scan the HTML rules. Html and the meta scan are quiet: they record faults but report
// nothing.
enum class ParseMode { Html, Xml, DeclarationScan, MetaScan };

struct MarkupItem {
    enum class Type { None, StartTag, EndTag, Text, Comment, Subtree };
    Type type = Type::None;
    NodeIndex node = kNoNode;
    bool endOfText = false;  // the text has been read to its end
};

class XmlParser : public FaultHeader {
public:
    // Longest element or attribute name accepted; a longer one is a fault, not an allocation.
    static constexpr size_t kMaxNameLength = 4096;

    // Parses a source that the caller keeps alive for the parser's life. A parser reports where its source does.
    XmlParser(const String& source, ParseMode mode);
    // Parses a source that the parser takes over.
    XmlParser(String&& source, ParseMode mode);
    XmlParser(const XmlParser&) = delete;
    XmlParser& operator=(const XmlParser&) = delete;

    // Elements whose start tag holds the parser until their end tag (names case-blind).
    void setHoldList(std::vector<std::string> names);
    // A flag that, once set (from any thread), aborts the parse with "User canceled action.".
    void setCancelFlag(const std::atomic<bool>* flag) { cancel_ = flag; }

    // Reads the whole text. In the XML and scan modes the open stack is emptied at the end (elements left open
    // stay unclosed). False when the parse was aborted.
    bool parse();
    // Reads one markup item (see the header comment).
    MarkupItem next();
    // Drops every node and empties the open stack; a fresh document node 0 becomes the current parent.
    void discard();

    bool atEnd() const { return pos_ >= text_.size(); }
    // How far into the parsed text the parser has read.
    size_t position() const { return pos_; }
    bool aborted() const { return aborted_; }
    ParseMode mode() const { return mode_; }
    // Code page of the parsed text and of the node texts.
    int32_t codePage() const { return codePage_; }
    std::string_view parsedText() const { return text_; }

    // --- Read access. An index past the store reports "Requested XML node does not exist in memory." and
    // gives an empty result. ---
    size_t nodeCount() const { return nodes_.size(); }
    bool exists(NodeIndex i) const { return i < nodes_.size(); }
    NodeKind kind(NodeIndex i) const;
    NodeIndex parent(NodeIndex i) const;
    NodeIndex firstChild(NodeIndex i) const;
    NodeIndex lastChild(NodeIndex i) const;
    NodeIndex nextSibling(NodeIndex i) const;
    NodeIndex previousSibling(NodeIndex i) const;
    std::vector<NodeIndex> children(NodeIndex i) const;

    // The name as written (elements, stray end tags, attributes); empty for other kinds.
    std::string_view name(NodeIndex i) const;
    bool hasName(NodeIndex i, std::string_view name) const;  // case-blind
    // The text as written: a text node's characters (a CDATA section with its delimiters), a comment's or
    // declaration's inner text, an attribute's value.
    std::string_view rawText(NodeIndex i) const;
    // The text read out for use: entities &quot; &amp; &lt; &gt; decoded, a CDATA section's content as it
    // stands; comments as written; the name for elements and stray end tags.
    String text(NodeIndex i) const;
    // The read-out text of every text node below a node, in document order.
    String textContent(NodeIndex i) const;

    // The first attribute of an element with that name (case-blind), or kNoNode.
    NodeIndex findAttribute(NodeIndex element, std::string_view name) const;
    // Its read-out value; an empty String when absent.
    String attribute(NodeIndex element, std::string_view name) const;

    uint32_t start(NodeIndex i) const;
    // The line of a position in the parsed text, counted from 1.
    int lineAt(size_t position);
    uint32_t contentStart(NodeIndex i) const;
    uint32_t closePosition(NodeIndex i) const;  // kNoPosition while unclosed
    bool writtenEmpty(NodeIndex i) const { return hasFlag(i, node_flag::kWrittenEmpty); }
    bool closed(NodeIndex i) const { return hasFlag(i, node_flag::kClosed); }
    bool isComment(NodeIndex i) const { return hasFlag(i, node_flag::kComment); }
    bool isCdata(NodeIndex i) const { return hasFlag(i, node_flag::kCdata); }

    // The element new nodes go into, and the number of open elements.
    NodeIndex currentParent() const { return currentParent_; }
    size_t openCount() const { return openStack_.size(); }

private:
    void init(ParseMode mode);
    const Node* lookup(NodeIndex i) const;
    bool hasFlag(NodeIndex i, uint8_t flag) const;
    String makeString(std::string_view bytes) const;

    // Tokenizer (xml_parser_tokenizer.cpp).
    MarkupItem readItem();
    size_t nextOpenBracket(size_t from) const;
    MarkupItem readText(size_t from);
    MarkupItem readRawText();
    MarkupItem addText(size_t end);
    MarkupItem readBang();
    MarkupItem readInstruction();
    MarkupItem readUpToBracket(size_t tagPos, size_t skip);
    MarkupItem readStartTag(size_t nameEnd);
    MarkupItem readEndTag(size_t nameEnd);
    void readAttributes(NodeIndex element);
    MarkupItem closeByName(std::string_view name, uint32_t tagPos, uint32_t tagEnd);
    void closeTop(uint32_t position);
    void closeDownTo(size_t stackIndex, uint32_t position);
    bool startsMarkup(size_t p) const;
    size_t nameEnd(size_t from) const;
    bool htmlRules() const { return mode_ == ParseMode::Html || mode_ == ParseMode::MetaScan; }

    // Store operations (xml_parser.cpp).
    NodeIndex addNode(NodeKind kind, NodeIndex parent, uint32_t start);
    void appendChild(NodeIndex parent, NodeIndex child);
    void unlink(NodeIndex child);
    bool pushOpen(NodeIndex element);
    void popOpen();
    bool canceled() const { return cancel_ != nullptr && cancel_->load(std::memory_order_relaxed); }
    void abort(Message<> message);
    // A fault at a position of the source, reported with its line number and the source file.
    void fault(Message<MessageNumber, MessageText> message, size_t position);
    static uint64_t nameKey(std::string_view name);

    String owned_;
    std::string_view text_;
    int32_t codePage_ = kCodePageUnset;
    MessageText context_ = std::nullopt;  // the source file, when the text came from one
    bool sourceFailed_ = false;
    ParseMode mode_ = ParseMode::Html;

    NodePages nodes_;
    OpenStack openStack_;
    // Open elements per case-folded name key: an end tag that names nothing open is known at once.
    std::unordered_map<uint64_t, uint32_t> openNames_;
    NodeIndex currentParent_ = 0;

    size_t pos_ = 0;
    bool inRawText_ = false;
    bool aborted_ = false;
    std::vector<std::string> holdList_;
    NodeIndex heldNode_ = kNoNode;
    const std::atomic<bool>* cancel_ = nullptr;

    std::vector<size_t> lineStarts_;  // for the line numbers of messages
};

}  // namespace qp
