// SPDX-License-Identifier: GPL-3.0-or-later
#include "headword_lookup.h"

#include <algorithm>

#include "inflected_forms.h"
#include "phonetic_form.h"
#include "text_encoding.h"

namespace kova {

const char* matchKindName(MatchKind kind) {
    switch (kind) {
        case MatchKind::headword: return "headword";
        case MatchKind::inflection: return "inflection";
        case MatchKind::spelling: return "spelling";
    }
    return "";
}

std::vector<size_t> findKey(const BookIndex& index, const IndexKey& query) {
    IndexCollation collation = index.collation();
    auto master = std::partition_point(index.masters.begin(), index.masters.end(),
                                       [&](const MasterEntry& m) { return collation.compareFolded(m.key, query) < 0; });
    if (master == index.masters.end()) return {};
    const IndexDataRecord* data = index.dataRecord(master->number);
    if (!data) return {};
    auto first = index.entries.begin() + static_cast<std::ptrdiff_t>(data->firstEntry);
    auto end = first + static_cast<std::ptrdiff_t>(data->entryCount);
    auto found = std::partition_point(
        first, end, [&](const IndexEntry& entry) { return collation.compareFolded(entry.key, query) < 0; });
    std::vector<size_t> ranks;
    for (auto at = found; at != index.entries.end() && collation.compareFolded(at->key, query) == 0; ++at)
        ranks.push_back(static_cast<size_t>(at - index.entries.begin()));
    return ranks;
}

namespace {

// The values of a tag of an entry, group after group (the first value of each group).
std::vector<uint32_t> firstValues(const IndexEntry& entry, uint8_t tag) {
    const TagValues* values = entry.tag(tag);
    return values ? values->column(0) : std::vector<uint32_t>{};
}

// The word in a code page of the book's indexes: windows-1252 bytes, or UTF-8 as it is.
std::optional<std::string> inCodePage(const std::string& utf8, uint32_t codePage) {
    if (codePage != codePage1252) return utf8;
    const auto characters = utf8Characters(utf8);
    if (!characters) return std::nullopt;
    std::string bytes;
    for (uint32_t character : *characters) {
        const auto byte = byteOf1252(character);
        if (!byte) return std::nullopt;
        bytes.push_back(static_cast<char>(*byte));
    }
    return bytes;
}

void addMatch(Lookup& lookup, const LookupMatch& match) {
    for (const LookupMatch& known : lookup.matches)
        if (known.rank == match.rank) return;
    lookup.matches.push_back(match);
}

void findByHeadword(const BookIndex& index, const std::string& word, Lookup& lookup) {
    const std::optional<IndexKey> query = keyFromText(word, index.keyForm(), index.codePage(), index.tables);
    if (!query) return;
    for (size_t rank : findKey(index, *query)) addMatch(lookup, {rank, MatchKind::headword, 0, std::nullopt});
}

// Every form the rules make, compared with the word as the index compares keys.
void findByInflection(const Book& book, const BookIndex& index, const std::string& word, Lookup& lookup) {
    const InflectedForms* forms = book.inflectedFormsOf(index);
    const std::optional<IndexKey> query = keyFromText(word, index.keyForm(), index.codePage(), index.tables);
    if (!forms || !query) return;
    const IndexCollation collation = index.collation();
    IndexKey key;
    for (const InflectedForm& form : forms->forms) {
        if (keyFromCharacters(form.characters, index.keyForm(), index.codePage(), index.tables, key) &&
            collation.compareFolded(key, *query) == 0)
            addMatch(lookup, {form.entry, MatchKind::inflection, form.group, form.rule});
    }
}

// The spell index follows its lookup index; its keys are phonetic forms, each naming lookup entries (tag 37).
void findBySpelling(const Book& book, const BookIndex& index, const std::string& word, Lookup& lookup) {
    const std::optional<size_t> dependentRecord = index.dependentRecord();
    if (!dependentRecord) return;
    const BookIndex* spell = book.indexAt(*dependentRecord);
    if (!spell) return;
    SpellTables tables;
    ByteView* slots[] = {&tables.spl1, &tables.spl2, &tables.spl3, &tables.spl4, &tables.spl5, &tables.spl6};
    size_t found = 0;
    for (const SpellTable& table : index.tables.spellTables) {
        const char digit = table.name.size() == 4 ? table.name[3] : '0';
        if (digit < '1' || digit > '6') continue;
        *slots[digit - '1'] = ByteView(table.bytes);
        ++found;
    }
    if (found != 6) return;
    const std::optional<std::string> western = inCodePage(word, codePage1252);
    if (!western) return;
    const std::string form = phoneticForm(tables, *western);
    if (form.empty()) return;
    IndexKey query;
    query.bytes.assign(form.begin(), form.end());
    query.units.assign(form.begin(), form.end());
    for (size_t rank : findKey(*spell, query))
        for (uint32_t lookupRank : firstValues(spell->entries[rank], 37))
            if (lookupRank < index.entries.size()) addMatch(lookup, {lookupRank, MatchKind::spelling, 0, std::nullopt});
}

}  // namespace

Lookup lookUp(const Book& book, const std::string& word) {
    Lookup lookup;
    if (book.kova().orthographicIndex != noRecord) lookup.index = book.indexAt(book.kova().orthographicIndex);
    if (!lookup.index) {
        lookup.problem = "the book has no orthographic index";
        return lookup;
    }
    const BookIndex& index = *lookup.index;
    findByHeadword(index, word, lookup);
    findByInflection(book, index, word, lookup);
    findBySpelling(book, index, word, lookup);
    return lookup;
}

}  // namespace kova
