// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/dictionary_indexes.h"

#include <map>
#include <set>
#include <unordered_map>
#include <utility>

#include "container/pdb_database.h"
#include "core/ascii_text.h"
#include "core/code_pages.h"
#include "core/message_sink.h"
#include "core/string.h"
#include "core/unicode.h"
#include "index/index_records.h"
#include "index/inflection_index.h"
#include "index/phonetic_form.h"
#include "index/western_collation.h"

namespace qp {

namespace {

constexpr uint32_t kThirtyBits = 0x3FFFFFFF;

// The next free tag of a kind for a name, from `first` to `last`; nothing past `last`.
std::optional<uint8_t> tagFor(std::map<std::string, uint8_t>& tags, const std::string& name, uint8_t first,
                              uint8_t last) {
    if (const auto known = tags.find(name); known != tags.end()) return known->second;
    const size_t next = first + tags.size();
    if (next > last) return std::nullopt;
    tags.emplace(name, static_cast<uint8_t>(next));
    return static_cast<uint8_t>(next);
}

}  // namespace

struct DictionaryIndexes::LookupIndex {
    std::string name;
    std::unique_ptr<Index> index;
    bool settled = false;
    bool spell = false;
    bool wild = false;
    std::map<std::string, uint8_t> propertyTags;
    std::map<std::string, uint8_t> foreignKeyTags;
    std::map<std::string, uint8_t> extensionTags;
    std::set<std::pair<std::string, IndexEntryId>> extensions;  // name and extended entry
    int32_t header = -1;
};

struct DictionaryIndexes::KeyIndex {
    struct Reference {
        IndexEntryId keyEntry;
        const LookupIndex* lookup;
        IndexEntryId lookupEntry;
    };
    std::string name;
    std::unique_ptr<Index> index;
    std::vector<Reference> references;
    int32_t header = -1;
};

DictionaryIndexes::DictionaryIndexes(IndexMarkup& markup, DictionarySettings settings, FaultHeader& faults)
    : markup_(markup), settings_(std::move(settings)), faults_(faults),
      inflections_(std::make_unique<InflectionIndex>(settings_.textCodePage, settings_.language, faults)) {}

DictionaryIndexes::~DictionaryIndexes() = default;

namespace {

int32_t keyCodePage(int32_t textCodePage) {
    return textCodePage == kCodePageUtf8 ? kUnicodeIndexCodePage : kCodePageWestern;
}

}  // namespace

DictionaryIndexes::LookupIndex& DictionaryIndexes::lookupIndex(const std::string& name) {
    for (auto& lookup : lookupIndexes_)
        if (lookup->name == name) return *lookup;
    auto lookup = std::make_unique<LookupIndex>();
    lookup->name = name;
    lookup->index = std::make_unique<Index>(name, IndexType::Lookup, keyCodePage(settings_.textCodePage),
                                            settings_.language, false);
    reportsLike(*lookup->index, faults_);
    lookupIndexes_.push_back(std::move(lookup));
    return *lookupIndexes_.back();
}

// The first key of a name fixes the index's exactness (the markup refuses keys that disagree).
DictionaryIndexes::KeyIndex& DictionaryIndexes::keyIndex(const std::string& name, bool exact) {
    for (auto& key : keyIndexes_)
        if (key->name == name) return *key;
    auto key = std::make_unique<KeyIndex>();
    key->name = name;
    key->index = std::make_unique<Index>(name, IndexType::Lookup, keyCodePage(settings_.textCodePage),
                                         settings_.language, exact);
    reportsLike(*key->index, faults_);
    keyIndexes_.push_back(std::move(key));
    return *keyIndexes_.back();
}

bool DictionaryIndexes::build() {
    if (markup_.failed()) return fatal();
    enterMarkup();
    for (auto& lookup : lookupIndexes_)
        if (lookup->wild) enterDependentKeys(*lookup);
    if (!inflections_->empty() && (!inflections_->compile() || !inflections_->verify())) return fatal();
    if (inflections_->index().failed()) return fatal();
    for (const auto& lookup : lookupIndexes_)
        if (lookup->index->failed() || (lookup->index->dependent() && lookup->index->dependent()->failed()))
            return fatal();
    for (const auto& key : keyIndexes_)
        if (key->index->failed()) return fatal();
    return true;
}

// The markup is taken over and dropped as it is entered: headwords and inflections entry by entry, the rest
// once every entry is in.
void DictionaryIndexes::enterMarkup() {
    gathered_ = markup_.handOver();
    const size_t count = gathered_.entries.size();
    entryOf_.assign(count, {nullptr, 0});
    for (size_t i = 0; i < count; ++i) enterEntry(i);
    for (size_t i = 0; i < count; ++i) {
        const DictionaryEntry& source = gathered_.entries[i];
        if (entryOf_[i].first && source.extras) enterProperties(*entryOf_[i].first, entryOf_[i].second, *source.extras);
    }
    enterExternalSubentries();
    // Moved out rather than cleared, so that their memory goes back now.
    std::exchange(gathered_, {});
    std::exchange(entryOf_, {});
    std::exchange(ids_, {});
}

bool DictionaryIndexes::fatal() {
    report(faults_, ErrorCode::FatalIndexing);
    return false;
}

// An entry's keys are its headword and compound keys, less the keys it excludes (compared as written, the case
// of A to Z aside). Each key leads to the entry's text; homographs add their ranges to one key.
void DictionaryIndexes::enterEntry(size_t number) {
    DictionaryEntry& source = gathered_.entries[number];
    const EntryExtras& details = source.details();
    LookupIndex& lookup = lookupIndex(gathered_.indexNames[source.index]);
    if (!lookup.settled) {  // the first entry of an index fixes its spell and wildcard settings
        lookup.settled = true;
        lookup.spell = source.spell;
        lookup.wild = source.wild;
    }
    std::optional<IndexEntryId> first;
    const auto enterKey = [&](const std::string& key) {
        for (const std::string& out : details.excludedKeys)
            if (equalsCaseBlind(out, key)) return;
        const std::optional<IndexEntryId> entry = lookup.index->addKey(key);
        if (!entry) return;
        lookup.index->addValues(*entry, tag::kPosition, {static_cast<uint32_t>(source.text.start)});
        lookup.index->addValues(*entry, tag::kLength, {static_cast<uint32_t>(source.text.end - source.text.start)});
        if (!first) first = entry;
    };
    if (source.hasHeadword) enterKey(source.headword);
    for (const std::string& key : details.compoundKeys) enterKey(key);
    // The headword and the inflections are wanted no more: their memory goes back before the next entry.
    const std::vector<InflectionGroup> inflections = std::move(source.inflections);
    std::string().swap(source.headword);
    if (!first) return;
    entryOf_[number] = {&lookup, *first};
    if (source.hasHeadword) {
        for (const InflectionGroup& group : inflections) inflections_->addGroup(*lookup.index, *first, group);
        if (!details.oldStyleRules.empty())
            inflections_->addOldStyleRules(*lookup.index, *first, details.oldStyleRules);
    }
    for (const EntryKey& key : details.keys) {
        KeyIndex& target = keyIndex(key.index, key.exact);
        const std::optional<IndexEntryId> keyEntry = target.index->addKey(key.text);
        if (!keyEntry) continue;
        target.references.push_back({*keyEntry, &lookup, *first});
        if (!key.scriptable) continue;
        const auto foreign = tagFor(lookup.foreignKeyTags, key.index, tag::kFirstForeignKey, tag::kLastForeignKey);
        if (!foreign) {
            report(*lookup.index, ErrorCode::ForeignKeyLimit);
            continue;
        }
        lookup.index->addLink(*first, *foreign, *target.index, *keyEntry);
    }
}

void DictionaryIndexes::enterProperties(LookupIndex& lookup, IndexEntryId entry, const EntryExtras& source) {
    Index& index = *lookup.index;
    for (const TextRange& part : source.shortParts)
        index.addValues(entry, tag::kTextRange,
                        {static_cast<uint32_t>(part.start), static_cast<uint32_t>(part.end - part.start)});
    if (!source.grammarGroup.empty()) {
        if (const auto location = index.addString(inTextEncoding(source.grammarGroup)))
            index.addValues(entry, tag::kSecondString, {*location});
    }
    for (const EntryProperty& property : source.properties) {
        const auto propertyTag = tagFor(lookup.propertyTags, property.name, tag::kFirstProperty, tag::kLastProperty);
        if (!propertyTag) {
            report(index, ErrorCode::PropertyLimit);
            return;
        }
        switch (property.kind) {
            case PropertyKind::String:
            case PropertyKind::Subentry:
                if (const auto location = index.addString(inTextEncoding(property.text)))
                    index.addValues(entry, *propertyTag, {*location});
                break;
            case PropertyKind::Int:
            case PropertyKind::Uint:
                index.addValues(entry, *propertyTag, {static_cast<uint32_t>(property.number) & kThirtyBits});
                break;
            case PropertyKind::Link: {
                const auto target = entryWithId(property.text);
                if (!target) {
                    report(index, WarningCode::ExtendedEntryMissing, property.text);
                    break;
                }
                index.addLink(entry, *propertyTag, *target->first->index, target->second);
                break;
            }
        }
    }
}

std::optional<std::pair<DictionaryIndexes::LookupIndex*, IndexEntryId>> DictionaryIndexes::entryWithId(
    const std::string& id) {
    if (ids_.empty()) {
        for (size_t i = 0; i < gathered_.entries.size(); ++i) {
            const std::string& entryId = gathered_.entries[i].details().id;
            if (!entryId.empty()) ids_.emplace(entryId, i);
        }
    }
    const auto found = ids_.find(id);
    if (found == ids_.end() || !entryOf_[found->second].first) return std::nullopt;
    return entryOf_[found->second];
}

// An external subentry adds its text range to the entry it extends, under a tag for its name.
void DictionaryIndexes::enterExternalSubentries() {
    for (const ExternalSubentry& subentry : gathered_.externalSubentries) {
        const auto target = entryWithId(subentry.extends);
        if (!target) {
            report(faults_, WarningCode::ExtendedEntryMissing, subentry.extends);
            continue;
        }
        LookupIndex& lookup = *target->first;
        const auto extension = tagFor(lookup.extensionTags, subentry.name, tag::kFirstExtension, tag::kLastExtension);
        if (!extension) {
            report(*lookup.index, ErrorCode::ExternalSubentryLimit);
            continue;
        }
        if (!lookup.extensions.insert({subentry.name, target->second}).second) {
            report(*lookup.index, ErrorCode::DuplicateExternalSubentry);
            continue;
        }
        lookup.index->addValues(target->second, *extension,
                                {static_cast<uint32_t>(subentry.text.start),
                                 static_cast<uint32_t>(subentry.text.end - subentry.text.start)});
    }
}

std::string DictionaryIndexes::inTextEncoding(const std::string& utf8) const {
    if (settings_.textCodePage == kCodePageUtf8) return utf8;
    std::string western;
    encodeFromUtf16(kCodePageWestern, utf8ToUtf16(utf8), western);
    return western;
}

// The spell-and-wildcard index: each lookup key's phonetic form (spell) or its sort form (wild), linked both
// ways with the lookup entry. Phonetic forms are compared as bytes, since their codes differ by letter case.
void DictionaryIndexes::enterDependentKeys(LookupIndex& lookup) {
    Index& index = *lookup.index;
    const int32_t codePage = lookup.spell ? kCodePageUtf8 : index.codePage();
    auto dependent = std::make_unique<Index>("", IndexType::Lookup, codePage, settings_.language, false);
    reportsLike(*dependent, faults_);
    if (lookup.spell && !phonetics_) {
        phonetics_ = std::make_unique<PhoneticTables>();
        if (!phonetics_->setUp(settings_.language)) report(index, ErrorCode::IndexInternal);
        if (phonetics_->fellBackToEnglish()) report(index, WarningCode::PhoneticLanguageUnsupported);
    }
    if (lookup.spell) index.setSpellTables(phonetics_.get());
    for (IndexEntryId entry = 0; entry < index.entryCount(); ++entry) {
        std::optional<IndexEntryId> key;
        if (lookup.spell) {
            std::string western;
            const std::string text = index.keyText(entry);
            const bool lossy = encodeFromUtf16(kCodePageWestern, utf8ToUtf16(text), western).lossy;
            const std::string form = lossy ? std::string() : phoneticForm(*phonetics_, western);
            if (form.empty()) {
                report(index, WarningCode::NotPhonetized, text);
                continue;
            }
            key = dependent->addKeyBytes(form);
        } else if (index.unicode()) {
            std::u16string folds = index.readerKey(entry);
            std::erase(folds, u'\0');  // characters the folding ignores
            key = dependent->addKey(utf16ToUtf8(folds));
        } else {
            key = dependent->addKeyBytes(westernSortKey(index.key(entry)));
        }
        if (!key) continue;
        dependent->addLink(*key, tag::kFromSpell, index, entry);
        index.addLink(entry, tag::kToSpell, *dependent, *key);
    }
    index.setDependent(std::move(dependent));
}

void DictionaryIndexes::addExtra(IndexRecords& records, int32_t header) {
    if (extraIndexes_ < records.extra.size()) records.extra[extraIndexes_++] = static_cast<uint32_t>(header);
}

bool DictionaryIndexes::write(PdbDatabase& store, IndexRecords& records) {
    return writeLookupIndexes(store, records) && writeKeyIndexes(store, records) &&
           writeInflectionIndex(store, records) && writeNamingIndex(store, records);
}

bool DictionaryIndexes::writeInflectionIndex(PdbDatabase& store, IndexRecords& records) {
    if (inflections_->empty()) return true;
    report(faults_, InfoCode::BuildingInflections, static_cast<int>(store.recordCount()));
    Index& index = inflections_->index();
    const int32_t header = writeIndex(index, store);
    absorbFaults(faults_, index);
    if (index.failed()) return false;
    if (header >= 0) records.inflection = static_cast<uint32_t>(header);
    return true;
}

namespace {

// The index whose name the package gives as the default (with the not-found warning), else the first written.
template <class Written>
Written* chooseDefault(std::vector<std::unique_ptr<Written>>& indexes, const std::string& name,
                       Message<MessageText> missing, FaultHeader& faults) {
    Written* chosen = nullptr;
    for (auto& index : indexes)
        if (index->header >= 0 && !name.empty() && index->name == name) chosen = index.get();
    if (!name.empty() && !chosen) report(faults, missing, name);
    for (auto& index : indexes)
        if (!chosen && index->header >= 0) chosen = index.get();
    return chosen;
}

template <class Written>
bool unnamedIsNotDefault(const std::vector<std::unique_ptr<Written>>& indexes, const Written* chosen) {
    for (const auto& index : indexes)
        if (index->header >= 0 && index->name.empty() && index.get() != chosen) return true;
    return false;
}

}  // namespace

bool DictionaryIndexes::writeLookupIndexes(PdbDatabase& store, IndexRecords& records) {
    for (auto& lookup : lookupIndexes_) {
        report(faults_, InfoCode::BuildingIndex, static_cast<int>(store.recordCount()), lookup->name);
        lookup->header = writeIndex(*lookup->index, store);
        absorbFaults(faults_, *lookup->index);
        if (lookup->index->failed()) return false;
        if (lookup->header < 0) {
            report(faults_, WarningCode::IndexEmpty);
            continue;
        }
        written_.emplace_back(lookup->name, lookup->header);
    }
    LookupIndex* chosen =
        chooseDefault(lookupIndexes_, settings_.defaultLookupIndex, WarningCode::DefaultLookupIndexNotFound, faults_);
    if (!chosen) return true;
    if (unnamedIsNotDefault(lookupIndexes_, chosen)) {
        report(faults_, ErrorCode::UnnamedLookupIndex);
        return false;
    }
    report(faults_, InfoCode::DefaultLookupIndex, std::to_string(chosen->header));
    records.orthographic = static_cast<uint32_t>(chosen->header);
    for (const auto& lookup : lookupIndexes_)
        if (lookup->header >= 0 && lookup.get() != chosen) addExtra(records, lookup->header);
    return true;
}

// A key index entry names the lookup entry it leads to: that index's header record and the entry's rank.
bool DictionaryIndexes::writeKeyIndexes(PdbDatabase& store, IndexRecords& records) {
    for (auto& key : keyIndexes_) {
        for (const KeyIndex::Reference& reference : key->references) {
            if (reference.lookup->header < 0) continue;
            key->index->addValues(reference.keyEntry, tag::kLookupEntry,
                                  {static_cast<uint32_t>(reference.lookup->header),
                                   reference.lookup->index->rankOf(reference.lookupEntry)});
        }
        report(faults_, InfoCode::BuildingKeyIndex, static_cast<int>(store.recordCount()), key->name);
        key->header = writeIndex(*key->index, store);
        absorbFaults(faults_, *key->index);
        if (key->index->failed()) return false;
        if (key->header >= 0) written_.emplace_back(key->name, key->header);
    }
    KeyIndex* chosen =
        chooseDefault(keyIndexes_, settings_.defaultLookupKey, WarningCode::DefaultLookupKeyNotFound, faults_);
    if (!chosen) return true;
    if (unnamedIsNotDefault(keyIndexes_, chosen)) {
        report(faults_, ErrorCode::UnnamedLookupKey);
        return false;
    }
    report(faults_, InfoCode::DefaultLookupKey, std::to_string(chosen->header));
    records.keys = static_cast<uint32_t>(chosen->header);
    for (const auto& key : keyIndexes_)
        if (key->header >= 0 && key.get() != chosen) addExtra(records, key->header);
    return true;
}

// The naming index lists every named index written, tag 1 its header record.
bool DictionaryIndexes::writeNamingIndex(PdbDatabase& store, IndexRecords& records) {
    Index naming("", IndexType::Naming, settings_.textCodePage == kCodePageUtf8 ? kCodePageUtf8 : kCodePageWestern,
                 settings_.language, false);
    reportsLike(naming, faults_);
    for (const auto& [name, header] : written_) {
        if (name.empty()) continue;
        if (const auto entry = naming.addKey(name))
            naming.addValues(*entry, tag::kPosition, {static_cast<uint32_t>(header)});
    }
    if (naming.entryCount() == 0) return true;
    report(faults_, InfoCode::BuildingNamingIndex, static_cast<int>(store.recordCount()));
    const int32_t header = writeIndex(naming, store);
    absorbFaults(faults_, naming);
    if (header < 0) return false;
    records.names = static_cast<uint32_t>(header);
    return true;
}

}  // namespace qp
