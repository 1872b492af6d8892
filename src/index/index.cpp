// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/index.h"

#include <algorithm>

#include "core/big_endian.h"
#include "core/code_pages.h"
#include "core/message_sink.h"
#include "core/string.h"
#include "core/unicode.h"
#include "core/variable_width.h"
#include "index/unicode_folding.h"
#include "index/western_collation.h"

namespace qp {

namespace {

constexpr int32_t kGroupMarker = -1;
// A string record holds its strings within the same limit as a data record.
constexpr size_t kStringRecordLimit = 64504;

}  // namespace

Index::Index(std::string name, IndexType type, int32_t codePage, uint16_t language, bool exact)
    : name_(std::move(name)), type_(type), codePage_(codePage), language_(language), exact_(exact) {
    if (codePage_ != kCodePageWestern && codePage_ != kCodePageUtf8 && codePage_ != kUnicodeIndexCodePage) {
        report(*this, WarningCode::IndexEncodingUnsupported);
        codePage_ = kCodePageWestern;
    }
}

Index::~Index() = default;

std::optional<IndexEntryId> Index::addKey(std::string_view utf8Key) {
    if (unicode()) {
        bool unmappable = false;
        std::optional<std::vector<uint16_t>> positions = characters_.positionsOf(utf8Key, unmappable);
        if (!positions) {
            report(*this, ErrorCode::CharacterTableOverflow);
            return std::nullopt;
        }
        if (unmappable) report(*this, WarningCode::EntityNotMappable);
        if (positions->size() > kMaxUnicodeKeyCharacters) {
            report(*this, WarningCode::UnicodeStringTruncated);
            positions->resize(kMaxUnicodeKeyCharacters);
        }
        std::string key;
        std::string sortKey;
        key.reserve(2 * positions->size());
        sortKey.reserve(2 * positions->size());
        for (uint16_t position : *positions) {
            appendBigEndian16(key, position);
            if (const char16_t fold = characters_.foldAt(position)) appendBigEndian16(sortKey, fold);
        }
        return enter(std::move(key), std::move(sortKey));
    }
    if (codePage_ == kCodePageUtf8) return addKeyBytes(utf8Key);
    std::string western;
    if (encodeFromUtf16(kCodePageWestern, utf8ToUtf16(utf8Key), western).lossy) {
        report(*this, WarningCode::EntityNotMappable);
    }
    return addKeyBytes(western);
}

std::optional<IndexEntryId> Index::addKeyBytes(std::string_view bytes) {
    std::string key(bytes);
    if (key.size() > kMaxKeyBytes) {
        report(*this, WarningCode::StringTruncated);
        key.resize(codePage_ == kCodePageUtf8 ? utf8PrefixLength(key, kMaxKeyBytes) : kMaxKeyBytes);
    }
    std::string sortKey = codePage_ == kCodePageWestern ? westernSortKey(key) : key;
    return enter(std::move(key), std::move(sortKey));
}

std::optional<IndexEntryId> Index::enter(std::string key, std::string sortKey) {
    if (key.empty()) return std::nullopt;
    std::string identity = sortKey;
    if (exact_) {
        // The sort key's length first, so that (sort key, key) pairs cannot run into each other.
        identity.insert(0, std::to_string(sortKey.size()) + ":");
        identity += key;
    }
    const auto [found, added] = byIdentity_.emplace(std::move(identity), static_cast<IndexEntryId>(entries_.size()));
    if (added) entries_.push_back({std::move(key), std::move(sortKey), {}});
    return found->second;
}

void Index::addCharacters(std::string_view utf8) {
    bool unmappable = false;
    if (unicode()) characters_.positionsOf(utf8, unmappable);
}

std::u16string Index::readerKey(IndexEntryId entry) const {
    const std::string& key = entries_[entry].key;
    std::u16string characters;
    if (unicode()) {
        for (size_t i = 0; i + 1 < key.size(); i += 2)
            characters.push_back(characters_.foldAt(getBigEndian16(reinterpret_cast<const uint8_t*>(&key[i]))));
    } else if (codePage_ == kCodePageUtf8) {
        characters = utf8ToUtf16(key);
    } else {
        for (char byte : key) characters.push_back(static_cast<uint8_t>(byte));
    }
    return characters;
}

std::string Index::keyText(IndexEntryId entry) const {
    const std::string& key = entries_[entry].key;
    std::u16string units;
    if (unicode()) {
        for (size_t i = 0; i + 1 < key.size(); i += 2)
            units.push_back(characters_.characters()[getBigEndian16(reinterpret_cast<const uint8_t*>(&key[i]))]);
    } else {
        decodeToUtf16(codePage_, key, units);
    }
    return utf16ToUtf8(units);
}

namespace {

char16_t unfolded(char16_t character) { return character; }

}  // namespace

FoldFunction Index::fold() const {
    if (unicode()) return foldCharacter;
    return codePage_ == kCodePageUtf8 ? unfolded : westernFold;
}

IndexEntryId Index::addUnkeyedEntry() {
    entries_.push_back({});
    return static_cast<IndexEntryId>(entries_.size() - 1);
}

void Index::appendGroupHeader(IndexEntryId entry, uint8_t tag) {
    std::vector<int32_t>& values = entries_[entry].values;
    if (values.empty()) values.reserve(8);  // room for a few groups without growing one value at a time
    values.push_back(kGroupMarker);
    values.push_back(static_cast<int32_t>(tag | qp::tag::valuesPerGroup(tag) << 8));
}

void Index::addValues(IndexEntryId entry, uint8_t tag, std::initializer_list<uint32_t> values) {
    if (tag > qp::tag::kHighest || values.size() != qp::tag::valuesPerGroup(tag)) {
        report(*this, ErrorCode::IndexInternal);
        return;
    }
    appendGroupHeader(entry, tag);
    for (uint32_t value : values) entries_[entry].values.push_back(static_cast<int32_t>(value));
}

void Index::addLink(IndexEntryId entry, uint8_t tag, const Index& target, IndexEntryId targetEntry) {
    if (tag > qp::tag::kHighest || qp::tag::valuesPerGroup(tag) != 1) {
        report(*this, ErrorCode::IndexInternal);
        return;
    }
    appendGroupHeader(entry, tag);
    links_.push_back({entry, entries_[entry].values.size(), &target, targetEntry});
    entries_[entry].values.push_back(0);
}

std::optional<uint32_t> Index::addString(std::string_view bytes) {
    std::vector<uint8_t> stored;
    appendForwardInteger(stored, bytes.size());
    stored.insert(stored.end(), bytes.begin(), bytes.end());
    if (stored.size() > kStringRecordLimit) {
        report(*this, WarningCode::StringTooLong);
        return std::nullopt;
    }
    if (stringRecords_.empty() || stringRecords_.back().size() + stored.size() > kStringRecordLimit) {
        stringRecords_.emplace_back();
    }
    std::string& record = stringRecords_.back();
    const auto location = static_cast<uint32_t>((stringRecords_.size() - 1) << 16 | record.size());
    record.append(stored.begin(), stored.end());
    return location;
}

const std::vector<IndexEntryId>& Index::sorted() const {
    if (sorted_.size() == entries_.size()) return sorted_;
    // The first eight bytes of each sort key, as a big-endian number padded with zeros, settle most
    // comparisons without reaching into the keys.
    struct Sortable {
        uint64_t prefix;
        IndexEntryId entry;
    };
    std::vector<Sortable> order(entries_.size());
    for (IndexEntryId entry = 0; entry < entries_.size(); ++entry) {
        const std::string& sortKey = entries_[entry].sortKey;
        uint64_t prefix = 0;
        for (size_t i = 0; i < 8; ++i)
            prefix = prefix << 8 | (i < sortKey.size() ? static_cast<uint8_t>(sortKey[i]) : 0u);
        order[entry] = {prefix, entry};
    }
    std::sort(order.begin(), order.end(), [this](const Sortable& a, const Sortable& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        const int byFold = entries_[a.entry].sortKey.compare(entries_[b.entry].sortKey);
        if (byFold != 0) return byFold < 0;
        const int raw = entries_[a.entry].key.compare(entries_[b.entry].key);
        // Equal keys are entries made apart: in the order they were made.
        return raw != 0 ? raw < 0 : a.entry < b.entry;
    });
    sorted_.resize(entries_.size());
    for (size_t rank = 0; rank < order.size(); ++rank) sorted_[rank] = order[rank].entry;
    ranks_.assign(entries_.size(), 0);
    for (size_t rank = 0; rank < sorted_.size(); ++rank) ranks_[sorted_[rank]] = static_cast<uint32_t>(rank);
    return sorted_;
}

uint32_t Index::rankOf(IndexEntryId entry) const {
    sorted();
    return ranks_[entry];
}

bool Index::resolveLinks() {
    for (const Link& link : links_) {
        if (link.targetEntry >= link.target->entryCount()) {
            report(*this, ErrorCode::WrongIndexLink);
            return false;
        }
        entries_[link.entry].values[link.valueAt] = static_cast<int32_t>(link.target->rankOf(link.targetEntry));
    }
    return true;
}

}  // namespace qp
