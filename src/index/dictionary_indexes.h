// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The indexes of a dictionary book, built from its captured markup: a lookup index per index name used on
// entries (each headword, compound key and homograph one key, its entries' text ranges and properties as tags),
// a key index per name used on keys, the spell-and-wildcard index of a lookup index that asks for one, and the
// naming index that lists them all. Written in this order: the lookup indexes, the key indexes, the naming
// index; record 0 points at the default lookup index as the orthographic index, at the inflection index, the
// naming index and the default key index, and at up to six other indexes as its extra indexes.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "container/record_zero.h"
#include "core/fault.h"
#include "index/index.h"
#include "index/index_markup.h"
#include "index/phonetic_tables.h"

namespace qp {

class InflectionIndex;
class PdbDatabase;

struct DictionarySettings {
    int32_t textCodePage = 1252;  // of the book: 1252 or 65001
    uint16_t language = 0;        // of the indexes' keys
    std::string defaultLookupIndex;
    std::string defaultLookupKey;
};

class DictionaryIndexes {
public:
    DictionaryIndexes(IndexMarkup& markup, DictionarySettings settings, FaultHeader& faults);
    ~DictionaryIndexes();

    // Enters every entry, key and property into its index, taking the gathered markup over from `markup`. False,
    // with "Fatal indexing errors: aborting.", when the markup or any index holds an error.
    bool build();
    // Writes the indexes into the store and sets the record 0 fields they fill.
    bool write(PdbDatabase& store, IndexRecords& records);

private:
    struct LookupIndex;
    struct KeyIndex;

    LookupIndex& lookupIndex(const std::string& name);
    KeyIndex& keyIndex(const std::string& name, bool exact);
    void enterMarkup();
    void enterEntry(size_t number);
    void enterProperties(LookupIndex& lookup, IndexEntryId entry, const EntryExtras& source);
    void enterExternalSubentries();
    void enterDependentKeys(LookupIndex& lookup);
    // The lookup entry of the markup entry with that id.
    std::optional<std::pair<LookupIndex*, IndexEntryId>> entryWithId(const std::string& id);
    std::string inTextEncoding(const std::string& utf8) const;
    bool writeLookupIndexes(PdbDatabase& store, IndexRecords& records);
    bool writeKeyIndexes(PdbDatabase& store, IndexRecords& records);
    bool writeInflectionIndex(PdbDatabase& store, IndexRecords& records);
    bool writeNamingIndex(PdbDatabase& store, IndexRecords& records);
    void addExtra(IndexRecords& records, int32_t header);
    bool fatal();

    IndexMarkup& markup_;
    DictionaryMarkup gathered_;  // while it is entered
    DictionarySettings settings_;
    FaultHeader& faults_;
    std::vector<std::unique_ptr<LookupIndex>> lookupIndexes_;
    std::vector<std::unique_ptr<KeyIndex>> keyIndexes_;
    std::vector<std::pair<std::string, int32_t>> written_;        // names and header records, for the naming index
    std::vector<std::pair<LookupIndex*, IndexEntryId>> entryOf_;  // by markup entry: its headword's entry
    std::unordered_map<std::string, size_t> ids_;                 // entry ids and their markup entries
    std::unique_ptr<PhoneticTables> phonetics_;
    std::unique_ptr<InflectionIndex> inflections_;
    size_t extraIndexes_ = 0;
};

}  // namespace qp
