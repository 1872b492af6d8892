// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An index of the book, as the index stages fill it and the record writer writes it: its name, type, code
// page, language and exactness; its key table; one value list per entry; links to entries of this or another
// index, written as the ranks of those entries in key order; its strings; its dependent index.
//
//   Index words("words", IndexType::Lookup, kUnicodeIndexCodePage, 9, false);
//   const auto entry = words.addKey("café");                 // equal keys are one entry
//   words.addValues(*entry, 1, {position});                  // one group of a tag
//   words.addValues(*entry, 3, {*words.addString(label)});   // a string's location
//   int32_t header = writeIndex(words, indexStore);          // index_records.h
//
// A value list is a flat list of 32-bit words: each group of a tag starts with the marker -1, then the tag in
// the low byte and its values per group in the second byte of one word, then the values.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/fault.h"
#include "index/character_table.h"
#include "index/index_tags.h"
#include "index/inflection_rule.h"

namespace qp {

class PhoneticTables;

enum class IndexType : uint32_t {
    Lookup = 0,  // also the key, spell and table-of-contents indexes
    Inflection = 2,
    Naming = 3,
};

constexpr int32_t kUnicodeIndexCodePage = 65002;
constexpr size_t kMaxKeyBytes = 255;
constexpr size_t kMaxUnicodeKeyCharacters = 127;

using IndexEntryId = uint32_t;

class Index : public FaultHeader {
public:
    // codePage: 1252 (western), 65001 (UTF-8 keys compared as bytes) or kUnicodeIndexCodePage (keys through
    // a character table). Any other code page gives a western index with WarningCode::IndexEncodingUnsupported.
    Index(std::string name, IndexType type, int32_t codePage, uint16_t language, bool exact);
    ~Index();
    Index(const Index&) = delete;
    Index& operator=(const Index&) = delete;

    // A key given as UTF-8, converted into the index's form and cut to the key limits (with their warnings).
    // Nothing when it cannot be entered: empty after conversion, or the character table is full.
    std::optional<IndexEntryId> addKey(std::string_view utf8Key);
    // A key given as bytes already in the index's form (1252 or 65001 indexes).
    std::optional<IndexEntryId> addKeyBytes(std::string_view bytes);
    // Characters that a reader must be able to fold although no key holds them (those of inflected forms):
    // added to the character table of a Unicode index while it has room.
    void addCharacters(std::string_view utf8);
    // An entry of its own under an empty key (the rule groups of an inflection index); such entries sort
    // first, in the order they were made.
    IndexEntryId addUnkeyedEntry();

    // One group of a tag's values; the count must be the tag's values per group.
    void addValues(IndexEntryId entry, uint8_t tag, std::initializer_list<uint32_t> values);
    // A value that is the rank of an entry, of this index or another, once the indexes are sorted.
    void addLink(IndexEntryId entry, uint8_t tag, const Index& target, IndexEntryId targetEntry);
    // Stores a string (bytes in the book text's encoding); its location, or nothing with
    // WarningCode::StringTooLong for a string longer than a string record can hold.
    std::optional<uint32_t> addString(std::string_view bytes);
    void setDependent(std::unique_ptr<Index> dependent) { dependent_ = std::move(dependent); }
    void setSpellTables(const PhoneticTables* tables) { spellTables_ = tables; }

    const std::string& name() const { return name_; }
    IndexType type() const { return type_; }
    int32_t codePage() const { return codePage_; }
    uint16_t language() const { return language_; }
    bool exact() const { return exact_; }
    bool unicode() const { return codePage_ == kUnicodeIndexCodePage; }
    size_t entryCount() const { return entries_.size(); }
    const CharacterTable& characterTable() const { return characters_; }
    Index* dependent() const { return dependent_.get(); }
    const PhoneticTables* spellTables() const { return spellTables_; }
    const std::vector<std::string>& stringRecords() const { return stringRecords_; }

    // The key of an entry in the index's form: bytes, or big-endian 16-bit table positions.
    std::string_view key(IndexEntryId entry) const {
        const Entry& held = entries_[entry];
        if (held.keyLength == 0) return {};
        return {keyBytes(held.keyAt), held.keyLength};
    }
    // The key as a reader decodes it: the folded characters of a Unicode index (through its second character
    // table), the characters of a UTF-8 index, the bytes of a western index as characters U+0000 to U+00FF.
    std::u16string readerKey(IndexEntryId entry) const;
    // The key as written, in UTF-8.
    std::string keyText(IndexEntryId entry) const;
    // How the index compares the characters of such keys: through the Unicode folding, the western ordering,
    // or as they are (UTF-8).
    FoldFunction fold() const;
    const std::vector<int32_t>& values(IndexEntryId entry) const { return entries_[entry].values; }

    // The entries in key order; sorting again after more keys keeps the order right.
    const std::vector<IndexEntryId>& sorted() const;
    uint32_t rankOf(IndexEntryId entry) const;
    // Puts the ranks of the link targets into the value lists; false with ErrorCode::WrongIndexLink when a
    // target does not exist.
    bool resolveLinks();

private:
    // Keys live in blocks that never move as more keys come, a key and its sort key never across two blocks:
    // an entry holds where its key starts (the block number times the block size, plus the offset in the
    // block), followed by its sort key unless the sort key is the key itself.
    struct Entry {
        std::vector<int32_t> values;
        size_t keyAt = 0;
        uint16_t keyLength = 0;
        uint16_t sortKeyLength = 0;
        bool sortKeyIsKey = true;
    };
    struct Link {
        IndexEntryId entry;
        uint32_t valueAt;  // in the entry's value list
        IndexEntryId targetEntry;
        uint32_t target;  // in linkTargets_
    };
    static constexpr IndexEntryId kNoEntry = UINT32_MAX;
    static constexpr size_t kKeyBlockBytes = size_t{1} << 16;

    const char* keyBytes(size_t at) const { return keyBlocks_[at / kKeyBlockBytes].get() + at % kKeyBlockBytes; }
    // Where a key and sort key of that many bytes go, in a new block when the last one has no room for them.
    size_t keyRoom(size_t bytes);

    std::string_view sortKey(IndexEntryId entry) const;
    // The entry with that key and sort key, made when there is none yet.
    std::optional<IndexEntryId> enter(std::string_view key, std::string_view sortKey);
    // Where the entry with that key and sort key is in identities_, or the free slot where it would go.
    size_t identitySlot(std::string_view key, std::string_view sortKey) const;
    void growIdentities();
    void appendGroupHeader(IndexEntryId entry, uint8_t tag);

    std::string name_;
    IndexType type_;
    int32_t codePage_;
    uint16_t language_;
    bool exact_;
    CharacterTable characters_;
    std::vector<Entry> entries_;
    std::vector<std::unique_ptr<char[]>> keyBlocks_;
    size_t keysEnd_ = 0;  // where the next key goes
    // The keyed entries by their identity (the sort key, and for an exact index the key too): an open-addressed
    // table of entry numbers, kNoEntry where free, at most half full.
    std::vector<IndexEntryId> identities_;
    size_t keyedEntries_ = 0;
    std::vector<Link> links_;
    std::vector<const Index*> linkTargets_;
    std::vector<std::string> stringRecords_;
    std::unique_ptr<Index> dependent_;
    const PhoneticTables* spellTables_ = nullptr;
    // The key being added, built here so that adding keys reuses the same buffers.
    std::vector<uint16_t> newPositions_;
    std::string newKey_;
    std::string newSortKey_;
    mutable std::vector<IndexEntryId> sorted_;
    mutable std::vector<uint32_t> ranks_;
};

}  // namespace qp
