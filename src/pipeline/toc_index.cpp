// SPDX-License-Identifier: GPL-3.0-or-later
#include "pipeline/toc_index.h"

#include <algorithm>
#include <map>
#include <numeric>

#include "convert/media_table.h"
#include "core/code_pages.h"
#include "core/string.h"
#include "core/unicode.h"
#include "index/index_tags.h"

namespace qp {

namespace {

// Hexadecimal digits that write every sequence number below `count`. Keys are padded with "0" to the width of the
// largest number, so that they all have one width and their order is that of the numbers: 16 entries take one
// digit ("0" to "F"), 17 to 256 take two, 4,097 take four. A width that grew with the count itself, one digit
// per 16 entries, would only make the keys longer.
size_t keyWidth(size_t count) {
    size_t width = 1;
    for (size_t highest = count > 0 ? count - 1 : 0; highest >= 16; highest /= 16) ++width;
    return width;
}

std::string hexKey(size_t number, size_t width, bool list) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigits[number % 16]);
        number /= 16;
    } while (number > 0);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return list ? "|" + digits : digits;
}

class TocIndexBuilder {
public:
    TocIndexBuilder(int32_t textCodePage, uint16_t language, const MediaTable& media)
        : textCodePage_(textCodePage), media_(media) {
        // Exact, so that "|0" of a navigation list and "0" of the map stay two keys where "|" sorts as nothing.
        index_ = std::make_unique<Index>("", IndexType::Lookup,
                                         textCodePage == kCodePageUtf8 ? kUnicodeIndexCodePage : kCodePageWestern,
                                         language, true);
        reportsLike(*index_, media);
    }

    TocIndex build(const TableOfContents& toc) {
        const size_t width = keyWidth(std::max(toc.navMap.size(), toc.navLists.size()));
        // The map in order of depth, then position; the lists in order of depth, ties in reading order.
        std::vector<size_t> mapOrder = order(toc.navMap, true);
        std::vector<size_t> listOrder = order(toc.navLists, false);
        const std::vector<IndexEntryId> mapEntries = addKeys(toc.navMap, mapOrder, width, false);
        const std::vector<IndexEntryId> listEntries = addKeys(toc.navLists, listOrder, width, true);
        addTags(toc.navMap, mapEntries);
        addTags(toc.navLists, listEntries);

        TocIndex result;
        for (size_t i = 0; i < toc.navMap.size(); ++i) {
            const TocNode& node = toc.navMap[i];
            result.trailingEntries.push_back({node.position, node.length, node.depth, index_->rankOf(mapEntries[i])});
        }
        result.index = std::move(index_);
        return result;
    }

private:
    static std::vector<size_t> order(const std::vector<TocNode>& nodes, bool byPosition) {
        std::vector<size_t> order(nodes.size());
        std::iota(order.begin(), order.end(), size_t{0});
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            if (nodes[a].depth != nodes[b].depth) return nodes[a].depth < nodes[b].depth;
            return byPosition && nodes[a].position < nodes[b].position;
        });
        return order;
    }

    // The entry of each node, by the node's place in its list.
    std::vector<IndexEntryId> addKeys(const std::vector<TocNode>& nodes, const std::vector<size_t>& order, size_t width,
                                      bool list) {
        std::vector<IndexEntryId> entries(nodes.size());
        for (size_t sequence = 0; sequence < order.size(); ++sequence)
            entries[order[sequence]] = *index_->addKey(hexKey(sequence, width, list));
        return entries;
    }

    void addTags(const std::vector<TocNode>& nodes, const std::vector<IndexEntryId>& entries) {
        for (size_t i = 0; i < nodes.size(); ++i) {
            const TocNode& node = nodes[i];
            const IndexEntryId entry = entries[i];
            if (const auto label = index_->addString(inTextEncoding(node.label))) {
                index_->addValues(entry, tag::kLabel, {*label});
            }
            index_->addValues(entry, tag::kDepth, {node.depth});
            if (node.parent != kNoTocNode) index_->addLink(entry, tag::kParent, *index_, entries[node.parent]);
            if (node.firstChild != kNoTocNode)
                index_->addLink(entry, tag::kFirstChild, *index_, entries[node.firstChild]);
            if (node.lastChild != kNoTocNode) index_->addLink(entry, tag::kLastChild, *index_, entries[node.lastChild]);
            if (node.position != 0) index_->addValues(entry, tag::kPosition, {node.position});
            if (node.length != 0) index_->addValues(entry, tag::kLength, {node.length});
            if (!node.className.empty()) {
                if (const auto location = index_->addString(inTextEncoding(node.className))) {
                    index_->addValues(entry, tag::kSecondString, {*location});
                }
            }
            addProperties(node, entry);
        }
    }

    // A property that cannot be stored (no tag left, a string too long, a picture the book does not hold) ends
    // the node's properties.
    void addProperties(const TocNode& node, IndexEntryId entry) {
        for (const TocProperty& property : node.properties) {
            const auto [known, added] = propertyTags_.emplace(property.name, nextPropertyTag_);
            if (added) ++nextPropertyTag_;
            if (known->second > tag::kLastProperty) return;
            std::optional<uint32_t> value;
            if (property.image) {
                const int32_t record = media_.recordOf(property.value);
                if (record >= 0) value = static_cast<uint32_t>(record);
            } else {
                value = index_->addString(inTextEncoding(property.value));
            }
            if (!value) return;
            index_->addValues(entry, static_cast<uint8_t>(known->second), {*value});
        }
    }

    std::string inTextEncoding(const std::string& utf8) const {
        if (textCodePage_ == kCodePageUtf8) return utf8;
        std::string western;
        encodeFromUtf16(kCodePageWestern, utf8ToUtf16(utf8), western);
        return western;
    }

    int32_t textCodePage_;
    const MediaTable& media_;
    std::unique_ptr<Index> index_;
    std::map<std::string, unsigned> propertyTags_;
    unsigned nextPropertyTag_ = tag::kFirstProperty;
};

}  // namespace

TocIndex buildTocIndex(const TableOfContents& toc, int32_t textCodePage, uint16_t language, const MediaTable& media) {
    return TocIndexBuilder(textCodePage, language, media).build(toc);
}

}  // namespace qp
