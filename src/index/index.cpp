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
        if (!characters_.positionsOf(utf8Key, newPositions_, unmappable)) {
            report(*this, ErrorCode::CharacterTableOverflow);
            return std::nullopt;
        }
        if (unmappable) report(*this, WarningCode::EntityNotMappable);
        if (newPositions_.size() > kMaxUnicodeKeyCharacters) {
            report(*this, WarningCode::UnicodeStringTruncated);
            newPositions_.resize(kMaxUnicodeKeyCharacters);
        }
        // Both keys are big-endian 16-bit units: table positions, and the folds that are not 0.
        newKey_.resize(2 * newPositions_.size());
        newSortKey_.resize(2 * newPositions_.size());
        size_t sortKeyLength = 0;
        for (size_t i = 0; i < newPositions_.size(); ++i) {
            putBigEndian16(reinterpret_cast<uint8_t*>(&newKey_[2 * i]), newPositions_[i]);
            if (const char16_t fold = characters_.foldAt(newPositions_[i])) {
                putBigEndian16(reinterpret_cast<uint8_t*>(&newSortKey_[sortKeyLength]), fold);
                sortKeyLength += 2;
            }
        }
        return enter(newKey_, std::string_view(newSortKey_).substr(0, sortKeyLength));
    }
    if (codePage_ == kCodePageUtf8) return addKeyBytes(utf8Key);
    std::string western;
    if (encodeFromUtf16(kCodePageWestern, utf8ToUtf16(utf8Key), western).lossy) {
        report(*this, WarningCode::EntityNotMappable);
    }
    return addKeyBytes(western);
}

std::optional<IndexEntryId> Index::addKeyBytes(std::string_view key) {
    if (key.size() > kMaxKeyBytes) {
        report(*this, WarningCode::StringTruncated);
        key = key.substr(0, codePage_ == kCodePageUtf8 ? utf8PrefixLength(key, kMaxKeyBytes) : kMaxKeyBytes);
    }
    if (codePage_ != kCodePageWestern) return enter(key, key);
    return enter(key, westernSortKey(key));
}

std::string_view Index::sortKey(IndexEntryId entry) const {
    const Entry& held = entries_[entry];
    if (held.sortKeyIsKey) return key(entry);
    return {keyBytes(held.keyAt + held.keyLength), held.sortKeyLength};
}

// Entries are one when their sort keys are, and in an exact index their keys too.
size_t Index::identitySlot(std::string_view key, std::string_view sortKey) const {
    const size_t mask = identities_.size() - 1;
    const size_t hash = std::hash<std::string_view>{}(sortKey);
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const IndexEntryId entry = identities_[slot];
        if (entry == kNoEntry || (this->sortKey(entry) == sortKey && (!exact_ || this->key(entry) == key))) return slot;
    }
}

void Index::growIdentities() {
    identities_.assign(identities_.empty() ? 16 : 2 * identities_.size(), kNoEntry);
    for (IndexEntryId entry = 0; entry < entries_.size(); ++entry)
        if (entries_[entry].keyLength > 0) identities_[identitySlot(key(entry), sortKey(entry))] = entry;
}

size_t Index::keyRoom(size_t bytes) {
    if (keysEnd_ + bytes > keyBlocks_.size() * kKeyBlockBytes) {
        keysEnd_ = keyBlocks_.size() * kKeyBlockBytes;
        keyBlocks_.push_back(std::make_unique_for_overwrite<char[]>(kKeyBlockBytes));
    }
    const size_t at = keysEnd_;
    keysEnd_ += bytes;
    return at;
}

std::optional<IndexEntryId> Index::enter(std::string_view key, std::string_view sortKey) {
    if (key.empty()) return std::nullopt;
    if (2 * (keyedEntries_ + 1) > identities_.size()) growIdentities();
    const size_t slot = identitySlot(key, sortKey);
    if (identities_[slot] != kNoEntry) return identities_[slot];
    Entry entry;
    entry.keyLength = static_cast<uint16_t>(key.size());
    entry.sortKeyLength = static_cast<uint16_t>(sortKey.size());
    entry.sortKeyIsKey = sortKey == key;
    entry.keyAt = keyRoom(key.size() + (entry.sortKeyIsKey ? 0 : sortKey.size()));
    char* bytes = keyBlocks_.back().get() + entry.keyAt % kKeyBlockBytes;
    std::copy(key.begin(), key.end(), bytes);
    if (!entry.sortKeyIsKey) std::copy(sortKey.begin(), sortKey.end(), bytes + key.size());
    identities_[slot] = static_cast<IndexEntryId>(entries_.size());
    ++keyedEntries_;
    entries_.push_back(std::move(entry));
    return identities_[slot];
}

void Index::addCharacters(std::string_view utf8) {
    bool unmappable = false;
    if (unicode()) characters_.positionsOf(utf8, newPositions_, unmappable);
}

std::u16string Index::readerKey(IndexEntryId entry) const {
    const std::string_view key = this->key(entry);
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
    const std::string_view key = this->key(entry);
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
    auto known = std::find(linkTargets_.begin(), linkTargets_.end(), &target);
    if (known == linkTargets_.end()) known = linkTargets_.insert(known, &target);
    const auto targetNumber = static_cast<uint32_t>(known - linkTargets_.begin());
    links_.push_back({entry, static_cast<uint32_t>(entries_[entry].values.size()), targetEntry, targetNumber});
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
    // The first sixteen bytes of each sort key, as a big-endian number padded with zeros, settle most
    // comparisons without reaching into the keys, even among keys that share their first few letters.
    struct Sortable {
        uint64_t high;
        uint64_t low;
        IndexEntryId entry;
    };
    auto prefixWord = [](std::string_view bytes, size_t from) {
        uint64_t word = 0;
        for (size_t i = from; i < from + 8; ++i)
            word = word << 8 | (i < bytes.size() ? static_cast<uint8_t>(bytes[i]) : 0u);
        return word;
    };
    std::vector<Sortable> order(entries_.size());
    for (IndexEntryId entry = 0; entry < entries_.size(); ++entry) {
        const std::string_view sortKey = this->sortKey(entry);
        order[entry] = {prefixWord(sortKey, 0), prefixWord(sortKey, 8), entry};
    }
    std::sort(order.begin(), order.end(), [this](const Sortable& a, const Sortable& b) {
        if (a.high != b.high) return a.high < b.high;
        if (a.low != b.low) return a.low < b.low;
        const int byFold = sortKey(a.entry).compare(sortKey(b.entry));
        if (byFold != 0) return byFold < 0;
        const int raw = key(a.entry).compare(key(b.entry));
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
        const Index& target = *linkTargets_[link.target];
        if (link.targetEntry >= target.entryCount()) {
            report(*this, ErrorCode::WrongIndexLink);
            return false;
        }
        entries_[link.entry].values[link.valueAt] = static_cast<int32_t>(target.rankOf(link.targetEntry));
    }
    return true;
}

}  // namespace qp
