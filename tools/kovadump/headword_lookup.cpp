#include "headword_lookup.h"

#include <algorithm>

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

// A rule's parts in reading order: 1 put in front, 4 take off the beginning, 2 add at the end and 3 take off
// the end (both written last character first). Applied the other way: the form loses what the rule added and
// regains what it took off.
std::optional<std::string> headwordOfForm(const std::string& form, const std::vector<uint8_t>& rule) {
    std::string parts[5];
    for (size_t i = 0; i < rule.size();) {
        const uint8_t code = rule[i++];
        if (code < 1 || code > 4) return std::nullopt;
        std::string characters;
        while (i < rule.size() && (rule[i] < 1 || rule[i] > 4)) characters.push_back(static_cast<char>(rule[i++]));
        if (code == 2 || code == 3) characters.assign(characters.rbegin(), characters.rend());
        parts[code] = characters;
    }
    const std::string& front = parts[1];
    const std::string& end = parts[2];
    if (form.size() < front.size() + end.size() || form.compare(0, front.size(), front) != 0 ||
        form.compare(form.size() - end.size(), end.size(), end) != 0) {
        return std::nullopt;
    }
    return parts[4] + form.substr(front.size(), form.size() - front.size() - end.size()) + parts[3];
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

void addMatch(Lookup& lookup, size_t rank, MatchKind how) {
    for (const LookupMatch& match : lookup.matches)
        if (match.rank == rank) return;
    lookup.matches.push_back({rank, how});
}

void findByHeadword(const BookIndex& index, const std::string& word, Lookup& lookup, MatchKind how,
                    const std::optional<uint32_t>& ruleRank = std::nullopt, const BookIndex* inflections = nullptr) {
    const std::optional<IndexKey> query = keyFromText(word, index.keyForm(), index.codePage(), index.tables);
    if (!query) return;
    for (size_t rank : findKey(index, *query)) {
        if (ruleRank) {
            // The entry must have a group that uses the rule.
            bool uses = false;
            for (uint32_t group : firstValues(index.entries[rank], 42)) {
                if (group >= inflections->entries.size()) continue;
                for (uint32_t rule : firstValues(inflections->entries[group], 26)) uses = uses || rule == *ruleRank;
            }
            if (!uses) continue;
        }
        addMatch(lookup, rank, how);
    }
}

void findByInflection(const Book& book, const BookIndex& index, const std::string& word, Lookup& lookup) {
    if (book.kova().inflectionIndex == noRecord) return;
    const BookIndex* inflections = book.indexAt(book.kova().inflectionIndex);
    if (!inflections) return;
    const std::optional<std::string> form = inCodePage(word, inflections->codePage());
    if (!form) return;
    for (size_t rule = 0; rule < inflections->entries.size(); ++rule) {
        const IndexEntry& entry = inflections->entries[rule];
        if (!entry.tag(27)) continue;  // not a rule
        const std::optional<std::string> headword = headwordOfForm(*form, entry.key.bytes);
        if (!headword) continue;
        const std::string text =
            utf8FromTextEncoding(*headword, inflections->codePage() == codePage1252 ? codePage1252 : codePageUtf8);
        findByHeadword(index, text, lookup, MatchKind::inflection, static_cast<uint32_t>(rule), inflections);
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
            if (lookupRank < index.entries.size()) addMatch(lookup, lookupRank, MatchKind::spelling);
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
    findByHeadword(index, word, lookup, MatchKind::headword);
    findByInflection(book, index, word, lookup);
    findBySpelling(book, index, word, lookup);
    return lookup;
}

}  // namespace kova
