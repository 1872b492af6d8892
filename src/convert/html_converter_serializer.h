// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// ElementWriter: the serializer of the converter. It receives the nodes of a content file in document order
// (one streamed markup item, or a held element as a whole subtree) and writes the book text: accept rules,
// style sheet wrappers, anchors and link placeholders, `pre` rewriting, monospace fonts, list numbers.
//
// Streamed items leave no tree behind, so the writer keeps its own stack of the elements it opened: an end
// tag closes the innermost open element of its name and those opened inside it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "convert/anchor_placement.h"
#include "convert/html_converter.h"
#include "convert/html_converter_encoding.h"
#include "convert/html_converter_lists.h"
#include "convert/html_converter_pre.h"
#include "markup/css_rewrite.h"
#include "markup/xml_parser.h"

namespace qp {

class StyleContext;

class ElementWriter {
public:
    ElementWriter(TextStream& stream, LinkTable& links, MediaTable& media, IndexMarkup& index,
                  ConversionOptions options);

    // Per file: its parser, its style sheets and its absolute path.
    void startFile(XmlParser& parser, StyleContext& styles, std::string file);
    // Elements left open at the end of a file are dropped without end tags.
    void endFile();

    // One streamed item of the body.
    void writeItem(const MarkupItem& item);
    // The `body` start tag (its attributes through the accept rules; no style, no end tag).
    void writeBodyTag(NodeIndex body);
    // A later file's body, whose tag is not written: the file's start and the body's `id` and `name` stand on
    // the next tag.
    void holdBodyStart(NodeIndex body);
    // Hands the text of a `style` element to the style sheets.
    void addStyleElement(NodeIndex style);

    bool introducedReferences() const { return encoder_.introducedReferences(); }
    bool languageSeen() const { return languageSeen_; }
    const std::vector<uint64_t>& nonCrossableBreaks() const { return nonCrossable_; }

private:
    struct OpenElement {
        std::string name;
        bool written = false;
        bool preformatted = false;
        bool monospace = false;
        bool list = false;
        bool emptyTag = false;
        bool indexMarkup = false;
        std::string beforeEnd;
        std::string after;
    };

    void writeNode(NodeIndex node);
    void writeText(NodeIndex node);
    // Opens an element; false when its content is not to be written either.
    bool openElement(NodeIndex element, bool track);
    void closeTop(bool writeEnd);
    void closeByName(std::string_view name);
    void closeImpliedBy(std::string_view name);
    StyledMarkup styleOf(NodeIndex element, std::string_view name);
    void registerAnchors(NodeIndex element, std::string_view name, bool tagFollows);
    void openIndexElement(NodeIndex element, std::string_view name);
    void writeStartTag(NodeIndex element, std::string_view name, StyledMarkup& styled);
    void writeAttributes(NodeIndex element, std::string_view name, StyledMarkup& styled);
    std::string utf8Value(NodeIndex attribute) const;

    void write(std::string_view bytes);
    void emit(std::string_view ascii);
    void emitSource(std::string_view bytes);
    void emitUtf8(std::string_view utf8);

    TextStream& stream_;
    LinkTable& links_;
    AnchorPlacement anchors_;
    MediaTable& media_;
    IndexMarkup& index_;
    ConversionOptions options_;
    TextEncoder encoder_;

    XmlParser* parser_ = nullptr;
    StyleContext* styles_ = nullptr;
    std::string file_;

    std::vector<OpenElement> open_;
    ListNumbering lists_;
    PreformattedText pre_;
    int preDepth_ = 0;
    size_t subtreeBase_ = 0;  // a held subtree's end tags close only what it opened
    bool monospaceOpen_ = false;
    std::string scratch_;
    std::string encoded_;

    bool languageSeen_ = false;
    std::vector<uint64_t> nonCrossable_;
};

}  // namespace qp
