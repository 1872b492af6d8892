// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// OpfPackage: the package file of a book, loaded into the XML parser's node tree, and the answers the OPF
// build asks of it: metadata, output requests, manifest items, spine order and guide references. Both the
// older layout (metadata holding dc-metadata and x-metadata) and the flat one (dc: elements directly under
// metadata) are read.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "container/book_type.h"
#include "core/fault.h"
#include "core/string.h"
#include "markup/xml_parser.h"

namespace qp {

// What a manifest item is, by its media type.
enum class ItemKind { Content, ScriptPage, PalmDatabase, Image, TableOfContents, Media };

ItemKind classifyMediaType(std::string_view mediaType);

struct ManifestItem;
// True when the item's "properties" list holds the token (case-blind).
bool hasProperty(const ManifestItem& item, std::string_view token);

struct ManifestItem {
    std::string id;
    std::string href;  // as written in the package
    std::string path;  // resolved against the package's directory, UTF-8, "/" separators
    std::string mediaType;
    ItemKind kind = ItemKind::Media;
    std::string properties;  // the ePub 3 "properties" tokens ("nav", "cover-image"), blank-separated
    // A child document carries "merge-into" or "merge-into-key": its value, which names the child among the
    // book's children. Empty for every other item.
    std::string mergeKey;
};

struct GuideReference {
    std::string type;
    std::string title;
    std::string href;
    std::string onclick;
};

struct OutputRequests {
    uint32_t contentType = book_type::kBook;  // the book type code of the requested content type
    bool aspAsBinary = false;
    bool flattenDynamicDir = false;
    int32_t encoding = kCodePageWestern;  // 1252 or 65001
    int32_t maxBitRate = -1;              // -1: not given
    int32_t maxFrequency = -1;
    int32_t maxChannels = 2;
    bool oggPassThrough = true;
};

class OpfPackage : public FaultHeader {
public:
    // Loads the package with the XML parser and locates its elements. False when the file cannot be read.
    bool open(const String& path);
    // Manifest, spine and metadata must be present (`NoManifest`, `NoSpine`, `NoDcMetadata`); builds the manifest map.
    bool check();

    // The index-th element of that name (dc: names among the dc-metadata, others among the x-metadata),
    // optionally only those whose attribute has the value; its trimmed text content.
    std::optional<std::string> metadata(std::string_view name, size_t index = 0, std::string_view attribute = {},
                                        std::string_view value = {}) const;
    // The attribute of the index-th element of that name.
    std::optional<std::string> metadataAttribute(std::string_view name, std::string_view attribute,
                                                 size_t index = 0) const;
    // How many metadata elements carry the name.
    size_t metadataCount(std::string_view name) const;

    OutputRequests outputRequests();

    // The manifest item of an id, or null.
    const ManifestItem* item(std::string_view id) const;
    // Every manifest item, in the package's order.
    const std::vector<ManifestItem>& manifestItems() const { return manifest_; }
    uint32_t nextItemNumber() const { return nextItemNumber_; }
    // The spine's items in order; nothing (and `SpineIdUnknown` naming the idref) when an idref has no item.
    std::optional<std::vector<ManifestItem>> spine();
    std::vector<GuideReference> guide() const;

    // A path of the package resolved against its directory.
    std::string resolve(std::string_view href) const;
    const std::string& path() const { return path_; }
    const XmlParser& tree() const { return *parser_; }

private:
    struct Elements {
        NodeIndex package = 0;
        NodeIndex metadata = 0;
        NodeIndex dcMetadata = 0;
        NodeIndex xMetadata = 0;
        NodeIndex manifest = 0;
        NodeIndex spine = 0;
        NodeIndex guide = 0;
        NodeIndex tours = 0;
    };

    void resolveElementNames();
    bool named(NodeIndex node, std::string_view name) const;
    void locateElements();
    std::vector<NodeIndex> metadataElements(std::string_view name) const;
    std::vector<NodeIndex> childElements(NodeIndex parent, std::string_view name) const;
    std::string attributeText(NodeIndex element, std::string_view name) const;
    std::string plainText(NodeIndex textOrAttribute) const;
    std::string plainTextContent(NodeIndex element) const;
    ManifestItem makeItem(NodeIndex element) const;

    std::unique_ptr<XmlParser> parser_;
    std::string path_;       // absolute, UTF-8
    std::string directory_;  // with its trailing "/"
    Elements elements_;
    std::vector<std::string> names_;  // per node: the element's name as the reader matches it
    std::vector<ManifestItem> manifest_;
    std::unordered_map<std::string, size_t> manifestMap_;  // id -> manifest_ index
    uint32_t nextItemNumber_ = 1;
};

}  // namespace qp
