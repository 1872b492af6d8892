// SPDX-License-Identifier: GPL-3.0-or-later
#include "package/opf_package.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>

#include "container/book_type.h"
#include "convert/href_normalize.h"
#include "core/ascii_text.h"
#include "core/message_sink.h"
#include "core/path_text.h"
#include "markup/character_references.h"
#include "markup/encoding_detection.h"
#include "markup/node_selector.h"

namespace qp {

namespace {

// A decimal attribute value; nothing when it is not a number.
std::optional<int32_t> decimal(std::string_view text) {
    text = trimmed(text);
    int32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

ItemKind classifyMediaType(std::string_view mediaType) {
    mediaType = trimmed(mediaType);
    if (equalsCaseBlind(mediaType, "text/asp")) return ItemKind::ScriptPage;
    if (startsWithCaseBlind(mediaType, "text/") || equalsCaseBlind(mediaType, "application/xhtml+xml") ||
        equalsCaseBlind(mediaType, "application/x-dtbook+xml")) {
        return ItemKind::Content;
    }
    if (equalsCaseBlind(mediaType, "application/x-pilot") || equalsCaseBlind(mediaType, "application/vnd.palm")) {
        return ItemKind::PalmDatabase;
    }
    if (startsWithCaseBlind(mediaType, "image/")) return ItemKind::Image;
    if (equalsCaseBlind(mediaType, "application/x-dtbncx+xml")) return ItemKind::TableOfContents;
    return ItemKind::Media;
}

bool hasProperty(const ManifestItem& item, std::string_view token) {
    std::string_view rest = item.properties;
    while (!rest.empty()) {
        const size_t start = rest.find_first_not_of(" \t\r\n");
        if (start == std::string_view::npos) break;
        rest.remove_prefix(start);
        const size_t end = std::min(rest.find_first_of(" \t\r\n"), rest.size());
        if (equalsCaseBlind(rest.substr(0, end), token)) return true;
        rest.remove_prefix(end);
    }
    return false;
}

bool OpfPackage::open(const String& path) {
    String absolute = path;
    absolute.makeAbsolute();
    path_ = absolute.systemPath();
    directory_ = std::filesystem::path(path_).parent_path().string() + "/";

    String source;
    reportsLike(source, *this);
    if (!source.loadFile(absolute)) {
        lastError = source.lastError;
        return false;
    }
    detectEncoding(source);
    parser_ = std::make_unique<XmlParser>(std::move(source), ParseMode::Xml);
    if (!parser_->parse()) {
        lastError = parser_->lastError;
        return false;
    }
    locateElements();
    return true;
}

namespace {

constexpr std::string_view kOpfNamespace = "http://www.idpf.org/2007/opf";
constexpr std::string_view kDublinCoreNamespace = "http://purl.org/dc/elements/1.1/";

// The namespace bound to a prefix ("" for the default one) at an element: the nearest declaration on it or
// an ancestor, or nothing.
std::optional<std::string_view> namespaceOf(const XmlParser& xml, NodeIndex element, std::string_view prefix) {
    const std::string declaration = prefix.empty() ? "xmlns" : "xmlns:" + std::string(prefix);
    for (NodeIndex node = element; node != kNoNode && node != 0; node = xml.parent(node)) {
        if (xml.kind(node) != NodeKind::Element) continue;
        const NodeIndex attribute = xml.findAttribute(node, declaration);
        if (attribute != kNoNode) return trimmed(xml.rawText(attribute));
    }
    return std::nullopt;
}

}  // namespace

// The name the package reader matches: an element in the package namespace goes by its local name and one
// in the Dublin Core namespace by "dc:" and its local name, whatever prefix the file gives them; other
// names stay as written.
void OpfPackage::resolveElementNames() {
    const XmlParser& xml = *parser_;
    names_.assign(xml.nodeCount(), std::string());
    for (NodeIndex node = 1; node < xml.nodeCount(); ++node) {
        if (xml.kind(node) != NodeKind::Element) continue;
        const std::string_view written = xml.name(node);
        const size_t colon = written.find(':');
        const std::string_view prefix = colon == std::string_view::npos ? std::string_view() : written.substr(0, colon);
        const std::string_view local = colon == std::string_view::npos ? written : written.substr(colon + 1);
        const std::optional<std::string_view> space = namespaceOf(xml, node, prefix);
        if (space == kOpfNamespace)
            names_[node] = local;
        else if (space == kDublinCoreNamespace)
            names_[node] = "dc:" + std::string(local);
        else
            names_[node] = written;
    }
}

bool OpfPackage::named(NodeIndex node, std::string_view name) const {
    return node < names_.size() && equalsCaseBlind(names_[node], name);
}

void OpfPackage::locateElements() {
    resolveElementNames();
    const XmlParser& xml = *parser_;
    const std::array<std::pair<std::string_view, NodeIndex*>, 8> names{{
        {"package", &elements_.package},
        {"metadata", &elements_.metadata},
        {"dc-metadata", &elements_.dcMetadata},
        {"x-metadata", &elements_.xMetadata},
        {"manifest", &elements_.manifest},
        {"spine", &elements_.spine},
        {"guide", &elements_.guide},
        {"tours", &elements_.tours},
    }};
    for (NodeIndex node = 1; node < xml.nodeCount(); ++node) {
        if (xml.kind(node) != NodeKind::Element) continue;
        for (const auto& [name, slot] : names) {
            if (named(node, name)) *slot = node;
        }
    }
    if (elements_.dcMetadata == 0 && elements_.metadata != 0) {
        for (NodeIndex child : xml.children(elements_.metadata)) {
            if (xml.kind(child) == NodeKind::Element && startsWithCaseBlind(names_[child], "dc:")) {
                elements_.dcMetadata = elements_.metadata;
                break;
            }
        }
    }
}

bool OpfPackage::check() {
    if (elements_.manifest == 0) {
        report(*this, ErrorCode::NoManifest);
        return false;
    }
    if (elements_.spine == 0) {
        report(*this, ErrorCode::NoSpine);
        return false;
    }
    if (elements_.dcMetadata == 0) {
        report(*this, ErrorCode::NoDcMetadata);
        return false;
    }
    for (NodeIndex node : childElements(elements_.manifest, "item")) {
        ManifestItem item = makeItem(node);
        if (startsWithCaseBlind(item.id, "item")) {
            if (auto number = decimal(std::string_view(item.id).substr(4)); number && *number >= 0) {
                nextItemNumber_ = std::max(nextItemNumber_, static_cast<uint32_t>(*number) + 1);
            }
        }
        manifestMap_.insert_or_assign(item.id, manifest_.size());
        manifest_.push_back(std::move(item));
    }
    return true;
}

std::vector<NodeIndex> OpfPackage::childElements(NodeIndex parent, std::string_view name) const {
    std::vector<NodeIndex> found;
    if (parent == 0) return found;
    for (NodeIndex child : parser_->children(parent)) {
        if (parser_->kind(child) == NodeKind::Element && named(child, name)) found.push_back(child);
    }
    return found;
}

// dc: names live in the dc-metadata; the others in the x-metadata, or directly in the metadata element
// (where the flat layout keeps its meta elements).
std::vector<NodeIndex> OpfPackage::metadataElements(std::string_view name) const {
    if (!parser_) return {};
    if (startsWithCaseBlind(name, "dc:")) return childElements(elements_.dcMetadata, name);
    std::vector<NodeIndex> found = childElements(elements_.xMetadata, name);
    if (elements_.metadata != elements_.xMetadata) {
        for (NodeIndex node : childElements(elements_.metadata, name)) found.push_back(node);
    }
    return found;
}

std::string OpfPackage::attributeText(NodeIndex element, std::string_view name) const {
    return parser_->attribute(element, name).toUtf8();
}

// Metadata values are plain text: every character reference in them stands for its character
// ("Developer&#39;s" is "Developer's"). They are decoded from the text as written, so that "&amp;#39;" keeps
// the characters "&#39;".
std::string OpfPackage::plainText(NodeIndex textOrAttribute) const {
    if (parser_->isCdata(textOrAttribute)) return parser_->text(textOrAttribute).toUtf8();
    return decodeCharacterReferences(String(parser_->rawText(textOrAttribute), parser_->codePage()).toUtf8()).text;
}

// The plain text of every text node below the element, in document order.
std::string OpfPackage::plainTextContent(NodeIndex element) const {
    std::string text;
    std::vector<NodeIndex> pending{parser_->firstChild(element)};
    while (!pending.empty()) {
        const NodeIndex node = pending.back();
        pending.pop_back();
        if (node == kNoNode) continue;
        pending.push_back(parser_->nextSibling(node));
        if (parser_->kind(node) == NodeKind::Text) text += plainText(node);
        if (parser_->kind(node) == NodeKind::Element) pending.push_back(parser_->firstChild(node));
    }
    return text;
}

std::optional<std::string> OpfPackage::metadata(std::string_view name, size_t index, std::string_view attribute,
                                                std::string_view value) const {
    for (NodeIndex node : metadataElements(name)) {
        if (!attribute.empty()) {
            if (parser_->findAttribute(node, attribute) == kNoNode) continue;
            if (!equalsCaseBlind(trimmed(attributeText(node, attribute)), value)) continue;
        }
        if (index-- == 0) return std::string(trimmed(plainTextContent(node)));
    }
    return std::nullopt;
}

std::optional<std::string> OpfPackage::metadataAttribute(std::string_view name, std::string_view attribute,
                                                         size_t index) const {
    const std::vector<NodeIndex> nodes = metadataElements(name);
    if (index >= nodes.size()) return std::nullopt;
    const NodeIndex found = parser_->findAttribute(nodes[index], attribute);
    if (found == kNoNode) return std::nullopt;
    return plainText(found);
}

size_t OpfPackage::metadataCount(std::string_view name) const { return metadataElements(name).size(); }

OutputRequests OpfPackage::outputRequests() {
    OutputRequests requests;
    if (!parser_) return requests;
    NodeSelector selector(*parser_);
    selector.quiet = true;
    const auto value = [&](std::string_view request) -> std::optional<std::string> {
        NodeIndex node = selector.selectOne(request);
        if (node == kNoNode) return std::nullopt;
        return parser_->text(node).toUtf8();
    };
    requests.aspAsBinary = selector.selectOne("/package/metadata/x-metadata/output[@asp-as-binary='yes']") != kNoNode;
    requests.flattenDynamicDir =
        selector.selectOne("/package/metadata/x-metadata/output[@flatten-dynamic-dir='yes']") == kNoNode;
    if (auto type = value("/package/metadata/x-metadata/output/@content-type")) {
        bool known = true;
        requests.contentType = bookTypeOfContentType(*type, known);
        if (!known) report(*this, WarningCode::UnknownMediaType);
    }
    if (auto encoding = value("/package/metadata/x-metadata/output/@encoding")) {
        const int32_t codePage = codePageOfCharset(trimmed(*encoding));
        requests.encoding = codePage == kCodePageUtf8 ? kCodePageUtf8 : kCodePageWestern;
    }
    if (auto rate = value("/package/metadata/x-metadata/audio-output/@max-bit-rate")) {
        requests.maxBitRate = decimal(*rate).value_or(0);
        if (requests.maxBitRate == 0) requests.maxBitRate = -1;
    }
    if (auto frequency = value("/package/metadata/x-metadata/audio-output/@max-frequency")) {
        requests.maxFrequency = decimal(*frequency).value_or(0);
        if (requests.maxFrequency <= 8000) requests.maxFrequency = -1;
    }
    if (auto channels = value("/package/metadata/x-metadata/audio-output/@max-channels")) {
        requests.maxChannels = decimal(*channels).value_or(2);
        if (requests.maxChannels != 1 && requests.maxChannels != 2) requests.maxChannels = 2;
    }
    if (auto pass = value("/package/metadata/x-metadata/audio-output/@ogg-pass-through")) {
        requests.oggPassThrough = !equalsCaseBlind(trimmed(*pass), "no");
    }
    return requests;
}

std::string OpfPackage::resolve(std::string_view href) const {
    const std::string relative = withForwardSlashes(decodePercentEscapes(trimmed(href)));
    if (!relative.empty() && relative.front() == '/')
        return std::filesystem::path(relative).lexically_normal().string();
    return std::filesystem::path(directory_ + relative).lexically_normal().string();
}

ManifestItem OpfPackage::makeItem(NodeIndex element) const {
    ManifestItem item;
    item.id = attributeText(element, "id");
    item.href = attributeText(element, "href");
    item.mediaType = std::string(trimmed(attributeText(element, "media-type")));
    // A fragment ("chapter.xhtml#o8") is no part of the file name.
    item.path = resolve(std::string_view(item.href).substr(0, item.href.find('#')));
    item.kind = classifyMediaType(item.mediaType);
    item.properties = attributeText(element, "properties");
    item.mergeKey = std::string(trimmed(attributeText(element, "merge-into-key")));
    if (item.mergeKey.empty()) item.mergeKey = std::string(trimmed(attributeText(element, "merge-into")));
    return item;
}

const ManifestItem* OpfPackage::item(std::string_view id) const {
    auto found = manifestMap_.find(std::string(id));
    return found == manifestMap_.end() ? nullptr : &manifest_[found->second];
}

std::optional<std::vector<ManifestItem>> OpfPackage::spine() {
    std::vector<ManifestItem> items;
    for (NodeIndex itemref : childElements(elements_.spine, "itemref")) {
        const std::string idref = attributeText(itemref, "idref");
        const ManifestItem* found = item(idref);
        if (found == nullptr) {
            report(*this, ErrorCode::SpineIdUnknown, idref);
            return std::nullopt;
        }
        items.push_back(*found);
    }
    return items;
}

std::vector<GuideReference> OpfPackage::guide() const {
    std::vector<GuideReference> references;
    for (NodeIndex node : childElements(elements_.guide, "reference")) {
        references.push_back({attributeText(node, "type"), attributeText(node, "title"), attributeText(node, "href"),
                              attributeText(node, "onclick")});
    }
    return references;
}

}  // namespace qp
