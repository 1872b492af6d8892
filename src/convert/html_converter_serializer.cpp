// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/html_converter_serializer.h"

#include "convert/html_converter_accept.h"
#include "convert/link_table.h"
#include "convert/text_stream.h"
#include "index/index_markup.h"
#include "markup/character_references.h"
#include "markup/css_style_context.h"
#include "markup/xml_parser_text.h"

namespace qp {

ElementWriter::ElementWriter(TextStream& stream, LinkTable& links, MediaTable& media, IndexMarkup& index,
                             ConversionOptions options)
    : stream_(stream), links_(links), anchors_(stream, links), media_(media), index_(index), options_(options),
      encoder_(options.textCodePage) {}

void ElementWriter::startFile(XmlParser& parser, StyleContext& styles, std::string file) {
    parser_ = &parser;
    styles_ = &styles;
    file_ = std::move(file);
    anchors_.startFile(file_);
    encoder_.startFile(parser.codePage());
}

// Elements still open at the end of a file's body, the list numbering and an open monospace font carry on
// into the next file: a list may go on there, and its end tags close what this file opened.
void ElementWriter::endFile() {
    anchors_.endFile();
    preDepth_ = 0;
    subtreeBase_ = 0;
}

void ElementWriter::write(std::string_view bytes) {
    if (bytes.empty()) return;
    anchors_.beforeWrite(bytes);
    stream_.write(bytes);
}

void ElementWriter::emit(std::string_view ascii) { write(ascii); }

void ElementWriter::emitSource(std::string_view bytes) {
    encoded_.clear();
    encoder_.append(bytes, encoded_);
    write(encoded_);
}

void ElementWriter::emitUtf8(std::string_view utf8) {
    if (utf8.empty()) return;
    encoded_.clear();
    encoder_.appendUtf8(utf8, encoded_);
    write(encoded_);
}

std::string ElementWriter::utf8Value(NodeIndex attribute) const {
    if (parser_->codePage() == kCodePageUtf8) return decodeEntities(parser_->rawText(attribute));
    return parser_->text(attribute).toUtf8();
}

void ElementWriter::writeItem(const MarkupItem& item) {
    switch (item.type) {
        case MarkupItem::Type::StartTag: openElement(item.node, true); break;
        case MarkupItem::Type::EndTag:
            if (item.node != kNoNode) closeByName(parser_->name(item.node));
            break;
        case MarkupItem::Type::Text: writeText(item.node); break;
        case MarkupItem::Type::Subtree: {
            subtreeBase_ = open_.size();
            writeNode(item.node);
            subtreeBase_ = 0;
            break;
        }
        case MarkupItem::Type::Comment:
        case MarkupItem::Type::None: break;
    }
}

void ElementWriter::writeNode(NodeIndex node) {
    switch (parser_->kind(node)) {
        case NodeKind::Text: writeText(node); return;
        case NodeKind::StrayEndTag: closeByName(parser_->name(node)); return;
        case NodeKind::Attribute:
        case NodeKind::Comment: return;
        case NodeKind::Element: break;
    }
    if (!openElement(node, true) || parser_->writtenEmpty(node)) return;
    // What the parser hung below an empty element (`<br>text`) follows it; the element itself is closed.
    const bool isVoid = isVoidElement(parser_->name(node));
    const size_t depth = open_.size();
    for (NodeIndex child = parser_->firstChild(node); child != kNoNode; child = parser_->nextSibling(child)) {
        writeNode(child);
    }
    // A stray end tag inside, or an implied end, may have closed it already.
    if (!isVoid && open_.size() == depth) closeTop(parser_->closed(node));
}

void ElementWriter::writeText(NodeIndex node) {
    if (parser_->isCdata(node)) {
        std::string content = encodeEntities(parser_->text(node).bytes());
        if (preDepth_ > 0) {
            scratch_.clear();
            pre_.rewrite(content, scratch_);
            content.swap(scratch_);
        }
        emitSource(content);
        return;
    }
    if (preDepth_ == 0) {
        emitSource(parser_->rawText(node));
        return;
    }
    scratch_.clear();
    pre_.rewrite(parser_->rawText(node), scratch_);
    emitSource(scratch_);
}

void ElementWriter::addStyleElement(NodeIndex style) {
    std::string sheet;
    for (NodeIndex child = parser_->firstChild(style); child != kNoNode; child = parser_->nextSibling(child)) {
        const NodeKind kind = parser_->kind(child);
        if (kind == NodeKind::Attribute || kind == NodeKind::Element) continue;
        const std::string_view raw = parser_->rawText(child);
        if (parser_->codePage() == kCodePageUtf8)
            sheet.append(raw);
        else
            sheet.append(String(raw, parser_->codePage()).toUtf8());
        sheet.push_back('\n');
    }
    styles_->addSheetText(sheet);
}

void ElementWriter::writeBodyTag(NodeIndex body) { openElement(body, false); }

void ElementWriter::holdBodyStart(NodeIndex body) {
    anchors_.holdFileStart();
    registerAnchors(body, "body", false);
}

StyledMarkup ElementWriter::styleOf(NodeIndex element, std::string_view name) {
    if (styles_->ruleCount() == 0 && parser_->findAttribute(element, "style") == kNoNode) return {};
    std::vector<MarkupAttribute> attributes;
    for (NodeIndex child = parser_->firstChild(element); child != kNoNode; child = parser_->nextSibling(child)) {
        if (parser_->kind(child) != NodeKind::Attribute) break;
        attributes.push_back({std::string(parser_->name(child)), utf8Value(child)});
    }
    return styles_->rewriteElement(name, attributes, RewriteOptions{.suppressFontFaces = options_.suppressFontFaces});
}

void ElementWriter::registerAnchors(NodeIndex element, std::string_view name, bool tagFollows) {
    if (isFormAnchorElement(name)) return;
    const bool external = isExternalAnchorElement(name) || parser_->attribute(element, "external").equalsAscii("yes");
    for (NodeIndex child = parser_->firstChild(element); child != kNoNode; child = parser_->nextSibling(child)) {
        if (parser_->kind(child) != NodeKind::Attribute) break;
        if (attributeRule(name, parser_->name(child)) != AttributeRule::Anchor) continue;
        if (tagFollows)
            anchors_.placeAtTag(utf8Value(child), external);
        else
            anchors_.holdForTag(utf8Value(child), external);
    }
}

void ElementWriter::openIndexElement(NodeIndex element, std::string_view name) {
    IndexElement collected;
    collected.name = name;
    collected.position = stream_.position();
    collected.line = parser_->lineAt(parser_->start(element));
    collected.file = file_;
    for (NodeIndex child = parser_->firstChild(element); child != kNoNode; child = parser_->nextSibling(child)) {
        if (parser_->kind(child) != NodeKind::Attribute) break;
        collected.attributes.push_back(
            {std::string(parser_->name(child)), decodeCharacterReferences(utf8Value(child)).text});
    }
    if (IndexMarkup::textWanted(name)) {
        collected.text = decodeCharacterReferences(parser_->textContent(element).toUtf8()).text;
    }
    index_.open(std::move(collected));
}

bool ElementWriter::openElement(NodeIndex element, bool track) {
    const std::string_view name = parser_->name(element);
    const ElementRule rule = elementRule(name);
    if (rule == ElementRule::DropWhole) return false;
    if (IndexMarkup::isIndexMarkup(name) && !IndexMarkup::contentWritten(name)) {
        openIndexElement(element, name);
        index_.close(stream_.position());
        return false;
    }
    if (rule == ElementRule::StyleSheet) {
        addStyleElement(element);
        return false;
    }
    StyledMarkup styled = track && rule != ElementRule::DropTags ? styleOf(element, name) : StyledMarkup{};
    // An anchor names the element's own tag, after any page break its style puts before it: a link then
    // opens the page that starts with the element.
    emitUtf8(styled.before);
    registerAnchors(element, name, rule == ElementRule::Write || rule == ElementRule::Preformatted);
    if (track) closeImpliedBy(name);

    OpenElement entry;
    entry.name = name;
    if (equalsCaseBlind(name, "ol") || equalsCaseBlind(name, "ul")) {
        lists_.open(equalsCaseBlind(name, "ol"), parser_->rawText(parser_->findAttribute(element, "start")));
        entry.list = true;
    }
    if (IndexMarkup::isIndexMarkup(name)) {
        openIndexElement(element, name);
        entry.indexMarkup = true;
    }
    const bool empty = parser_->writtenEmpty(element) || isVoidElement(name);
    if (rule == ElementRule::Preformatted) {
        emit("<div align=\"left\"><tt>");
        emitUtf8(styled.afterStart);
        entry.preformatted = true;
        ++preDepth_;
        pre_.start();
    } else if (rule == ElementRule::Write) {
        if (equalsCaseBlind(name, "font") && !monospaceOpen_ &&
            isMonospaceFace(parser_->rawText(parser_->findAttribute(element, "face")))) {
            emit("<tt>");
            entry.monospace = true;
            monospaceOpen_ = true;
        }
        if (equalsCaseBlind(name, "tqp:pagebreak") && parser_->attribute(element, "crossable").equalsAscii("no")) {
            nonCrossable_.push_back(stream_.position());
        }
        writeStartTag(element, name, styled);
        entry.written = true;
        entry.emptyTag = empty;
        if (!empty) emitUtf8(styled.afterStart);
    }
    entry.beforeEnd = std::move(styled.beforeEnd);
    entry.after = std::move(styled.after);
    if (!track) return true;
    open_.push_back(std::move(entry));
    if (empty) closeTop(true);
    return true;
}

void ElementWriter::writeStartTag(NodeIndex element, std::string_view name, StyledMarkup& styled) {
    emit("<");
    emitSource(name);
    writeAttributes(element, name, styled);
    if (equalsCaseBlind(name, "li")) {
        const NodeIndex own = parser_->findAttribute(element, "value");
        std::optional<int64_t> value =
            lists_.itemValue(own == kNoNode ? std::nullopt : std::optional<std::string_view>(parser_->rawText(own)));
        if (value) emit(" value=\"" + std::to_string(*value) + "\"");
    }
    emit(parser_->writtenEmpty(element) ? "/>" : ">");
}

void ElementWriter::writeAttributes(NodeIndex element, std::string_view name, StyledMarkup& styled) {
    const bool keepAnchors = isFormAnchorElement(name) || parser_->findAttribute(element, "href") != kNoNode ||
                             parser_->findAttribute(element, "onclick") != kNoNode ||
                             parser_->findAttribute(element, "title") != kNoNode;
    const bool global = parser_->attribute(element, "global").equalsAscii("yes");
    std::vector<bool> styledUsed(styled.attributes.size(), false);
    for (NodeIndex child = parser_->firstChild(element); child != kNoNode; child = parser_->nextSibling(child)) {
        if (parser_->kind(child) != NodeKind::Attribute) break;
        const std::string_view attribute = parser_->name(child);
        switch (attributeRule(name, attribute)) {
            case AttributeRule::Drop: continue;
            case AttributeRule::Event: continue;
            case AttributeRule::Anchor:
                if (!keepAnchors) continue;
                break;
            case AttributeRule::Link:
                if (!links_.rewriteHref(stream_, media_, file_, utf8Value(child), global)) continue;
                break;
            case AttributeRule::ImageSource:
                links_.writeImageSource(stream_, media_, file_, imageSourcePrefix(attribute), utf8Value(child));
                continue;
            case AttributeRule::Language: languageSeen_ = true; break;
            case AttributeRule::Write: {
                size_t k = 0;
                while (k < styled.attributes.size() &&
                       (styledUsed[k] || !equalsCaseBlind(styled.attributes[k].name, attribute)))
                    ++k;
                if (k < styled.attributes.size()) {
                    styledUsed[k] = true;
                    emit(" ");
                    emitSource(attribute);
                    emit("=\"");
                    emitUtf8(styled.attributes[k].value);
                    emit("\"");
                    continue;
                }
                break;
            }
        }
        emit(" ");
        emitSource(attribute);
        emit("=\"");
        std::string_view raw = parser_->rawText(child);
        if (raw.find('"') == std::string_view::npos) {
            emitSource(raw);
        } else {
            std::string quoted;
            for (char c : raw) {
                if (c == '"')
                    quoted.append("&quot;");
                else
                    quoted.push_back(c);
            }
            emitSource(quoted);
        }
        emit("\"");
    }
    for (size_t k = 0; k < styled.attributes.size(); ++k) {
        if (styledUsed[k]) continue;
        emit(" ");
        emitUtf8(styled.attributes[k].name);
        emit("=\"");
        emitUtf8(styled.attributes[k].value);
        emit("\"");
    }
}

void ElementWriter::closeTop(bool writeEnd) {
    OpenElement entry = std::move(open_.back());
    open_.pop_back();
    if (entry.list) lists_.close();
    if (entry.indexMarkup) index_.close(stream_.position());
    if (entry.monospace) monospaceOpen_ = false;
    if (entry.preformatted) {
        --preDepth_;
        if (!writeEnd) return;
        emitUtf8(entry.beforeEnd);
        emit("</tt></div>");
        emitUtf8(entry.after);
        return;
    }
    if (!entry.written || !writeEnd) return;
    if (!entry.emptyTag) {
        emitUtf8(entry.beforeEnd);
        emit("</");
        emitSource(entry.name);
        emit(">");
    }
    if (entry.monospace) emit("</tt>");
    emitUtf8(entry.after);
}

// Closes the open element (and what it holds) whose end the start of `name` implies.
void ElementWriter::closeImpliedBy(std::string_view name) {
    const ImpliedEnd* implied = impliedEndOf(name);
    if (!implied) return;
    for (size_t i = open_.size(); i > subtreeBase_; --i) {
        if (implied->ends(open_[i - 1].name)) {
            while (open_.size() >= i) closeTop(true);
            return;
        }
        if (implied->stops(open_[i - 1].name)) return;
    }
}

void ElementWriter::closeByName(std::string_view name) {
    // An empty element never had an end tag to close.
    if (isVoidElement(name)) return;
    for (size_t i = open_.size(); i > subtreeBase_; --i) {
        if (!equalsCaseBlind(open_[i - 1].name, name)) continue;
        while (open_.size() >= i) closeTop(true);
        return;
    }
    if (elementRule(name) != ElementRule::Write) return;
    emit("</");
    emitSource(name);
    emit(">");
}

}  // namespace qp
