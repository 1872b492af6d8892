// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview_search.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "html_text.h"
#include "json_writer.h"
#include "preview_output.h"
#include "text_encoding.h"

namespace kova {

namespace {

constexpr size_t kKeyChunkBytes = 64 * 1024;
constexpr size_t kEntriesPerChunk = 256;
constexpr size_t kExcerptBytes = 120;

enum Way : uint8_t { headword = 0, inflection = 1, spelling = 2 };

// A way of finding an entry under a key. The keys lie in one pool, each code unit as two bytes, high byte
// first, so that comparing the bytes orders the keys as their units.
struct KeyedMatch {
    size_t keyStart = 0;
    uint32_t keyLength = 0;
    uint32_t rank = 0;
    Way way = headword;
    uint32_t group = 0;
    int64_t rule = -1;
};

struct KeyedMatches {
    std::string keys;
    std::vector<KeyedMatch> matches;

    std::string_view key(const KeyedMatch& match) const {
        return std::string_view(keys).substr(match.keyStart, match.keyLength);
    }

    // Adds the key of a prefix and an index key's sort values to the pool; returns where it starts.
    size_t addKey(char16_t prefix, const IndexCollation& collation, const IndexKey& key) {
        const size_t start = keys.size();
        // Written in place: a unit gives at most two sort values (a ligature).
        keys.resize(start + 2 + 4 * key.units.size());
        char* written = keys.data() + start;
        const auto write = [&written](uint16_t unit) {
            *written++ = static_cast<char>(unit >> 8);
            *written++ = static_cast<char>(unit & 0xFF);
        };
        write(prefix);
        collation.forEachSortValue(key, write);
        keys.resize(static_cast<size_t>(written - keys.data()));
        return start;
    }

    void add(size_t keyStart, uint32_t rank, Way way, uint32_t group = 0, int64_t rule = -1) {
        matches.push_back({keyStart, static_cast<uint32_t>(keys.size() - keyStart), rank, way, group, rule});
    }
};

void appendNumber(std::string& out, int64_t number) {
    constexpr size_t longest = 20;
    const size_t start = out.size();
    out.resize(start + longest);
    out.resize(
        static_cast<size_t>(std::to_chars(out.data() + start, out.data() + start + longest, number).ptr - out.data()));
}

// A key as a JavaScript string literal: code units as they are, so that the page compares them the same way.
void appendKeyLiteral(std::string& out, std::string_view key) {
    static const char hex[] = "0123456789abcdef";
    // Written in place: a unit takes at most six characters (\uXXXX).
    const size_t start = out.size();
    out.resize(start + 2 + 3 * key.size());
    char* written = out.data() + start;
    *written++ = '"';
    for (size_t i = 0; i + 1 < key.size(); i += 2) {
        const unsigned high = static_cast<uint8_t>(key[i]);
        const unsigned low = static_cast<uint8_t>(key[i + 1]);
        if (high == 0 && low >= 0x20 && low < 0x7F && low != '"' && low != '\\') {
            *written++ = static_cast<char>(low);
        } else {
            for (char c : {'\\', 'u', hex[high >> 4], hex[high & 15], hex[low >> 4], hex[low & 15]}) *written++ = c;
        }
    }
    *written++ = '"';
    out.resize(static_cast<size_t>(written - out.data()));
}

std::string base64(const std::vector<uint8_t>& bytes) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const uint32_t group = uint32_t{bytes[i]} << 16 | (i + 1 < bytes.size() ? uint32_t{bytes[i + 1]} << 8 : 0) |
                               (i + 2 < bytes.size() ? bytes[i + 2] : 0);
        out += alphabet[group >> 18 & 63];
        out += alphabet[group >> 12 & 63];
        out += i + 1 < bytes.size() ? alphabet[group >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? alphabet[group & 63] : '=';
    }
    return out;
}

std::string numberList(const std::vector<uint64_t>& numbers) {
    std::string list = "[";
    for (size_t i = 0; i < numbers.size(); ++i) list += (i ? "," : "") + std::to_string(numbers[i]);
    return list + "]";
}

// What the page needs to turn a word into the index's sort values: the key form and the comparison tables.
std::string comparisonJson(const BookIndex& index) {
    const std::string kind = index.collation().kindName();
    std::string json = "{\"kind\":\"" + kind + "\",\"form\":\"" +
                       (index.keyForm() == KeyForm::bytes ? "bytes" : "positions") +
                       "\",\"codePage\":" + std::to_string(index.codePage());
    if (kind == "western") {
        json += ",\"sortValues\":" + numberList({index.tables.sortValues.begin(), index.tables.sortValues.end()});
        json += ",\"ligatures\":[";
        for (size_t i = 0; i < index.tables.ligatures.size(); ++i) {
            const Ligature& l = index.tables.ligatures[i];
            json += (i ? ",[" : "[") + std::to_string(l.ligature) + "," + std::to_string(l.firstLetterByte) + "," +
                    std::to_string(l.secondLetter) + "]";
        }
        json += "]";
    }
    if (index.keyForm() != KeyForm::bytes) {
        json += ",\"characters\":" + numberList({index.tables.characters.begin(), index.tables.characters.end()});
        json += ",\"folds\":" + numberList({index.tables.folds.begin(), index.tables.folds.end()});
    }
    return json + "}";
}

// The spell index that follows the lookup index, when it has the six tables the phonetic form needs.
const BookIndex* spellIndex(const Book& book, const BookIndex& lookup, std::vector<std::string>& tables) {
    const std::optional<size_t> dependent = lookup.dependentRecord();
    const BookIndex* spell = dependent ? book.indexAt(*dependent) : nullptr;
    if (!spell) return nullptr;
    tables.assign(6, "");
    for (const SpellTable& table : lookup.tables.spellTables) {
        const char digit = table.name.size() == 4 ? table.name[3] : '0';
        if (digit >= '1' && digit <= '6') tables[static_cast<size_t>(digit - '1')] = base64(table.bytes);
    }
    const bool complete = std::none_of(tables.begin(), tables.end(), [](const std::string& t) { return t.empty(); });
    return complete ? spell : nullptr;
}

// Every key of the index in key order; matches under the same key in the order a lookup tries them.
KeyedMatches keyedMatches(const Book& book, const BookIndex& lookup, const BookIndex* spell) {
    const InflectedForms* forms = book.inflectedFormsOf(lookup);
    size_t count = lookup.entries.size() + (forms ? forms->forms.size() : 0);
    if (spell)
        for (const IndexEntry& entry : spell->entries)
            if (const TagValues* values = entry.tag(37)) count += values->groupCount();
    KeyedMatches keyed;
    keyed.matches.reserve(count);
    keyed.keys.reserve(count * 16);
    const IndexCollation collation = lookup.collation();
    for (size_t rank = 0; rank < lookup.entries.size(); ++rank)
        keyed.add(keyed.addKey(u'L', collation, lookup.entries[rank].key), static_cast<uint32_t>(rank), headword);
    const size_t formsStart = keyed.matches.size();
    if (forms) {
        IndexKey key;
        for (const InflectedForm& form : forms->forms) {
            if (!keyFromCharacters(form.characters, lookup.keyForm(), lookup.codePage(), lookup.tables, key)) continue;
            keyed.add(keyed.addKey(u'L', collation, key), static_cast<uint32_t>(form.entry), inflection,
                      static_cast<uint32_t>(form.group), form.rule ? static_cast<int64_t>(*form.rule) : -1);
        }
    }
    const size_t spellingsStart = keyed.matches.size();
    if (spell) {
        const IndexCollation spellCollation = spell->collation();
        for (const IndexEntry& entry : spell->entries) {
            const TagValues* values = entry.tag(37);
            if (!values) continue;
            const size_t key = keyed.addKey(u'S', spellCollation, entry.key);
            for (uint32_t rank : values->column(0))
                if (rank < lookup.entries.size()) keyed.add(key, rank, spelling);
        }
    }
    // The order of one stable sort by key. The index keys of a sound book come sorted, so each way is sorted on
    // its own (when it needs to be) and headwords and forms are merged, a headword first on a tie; spellings,
    // whose keys begin with "S", follow those of the lookup index, which begin with "L".
    const auto byKey = [&](const KeyedMatch& a, const KeyedMatch& b) { return keyed.key(a) < keyed.key(b); };
    const auto begin = keyed.matches.begin();
    for (auto [first, last] : {std::pair{begin, begin + static_cast<std::ptrdiff_t>(formsStart)},
                               std::pair{begin + static_cast<std::ptrdiff_t>(formsStart),
                                         begin + static_cast<std::ptrdiff_t>(spellingsStart)},
                               std::pair{begin + static_cast<std::ptrdiff_t>(spellingsStart), keyed.matches.end()}})
        if (!std::is_sorted(first, last, byKey)) std::stable_sort(first, last, byKey);
    std::inplace_merge(begin, begin + static_cast<std::ptrdiff_t>(formsStart),
                       begin + static_cast<std::ptrdiff_t>(spellingsStart), byKey);
    return keyed;
}

std::string chunkName(const char* kind, size_t n) {
    char name[32];
    std::snprintf(name, sizeof name, "%s-%04zu", kind, n);
    return name;
}

// Windows-1252 text without references, quoted as JSON byte by byte: each byte's string content is that of its
// character's UTF-8 as JsonWriter quotes it, made once. An excerpt cut short ends in an ellipsis.
void appendQuoted1252(std::string& out, std::string_view text, bool cut) {
    struct Quoted {
        uint8_t length = 0;
        char bytes[8] = {};  // at most "\u00XX"; copied whole, as one word
    };
    static const std::array<Quoted, 256> quoted = [] {
        std::array<Quoted, 256> table{};
        for (size_t b = 0; b < table.size(); ++b) {
            const uint8_t byte = static_cast<uint8_t>(b);
            const std::string json = JsonWriter::quote(utf8From1252(ByteView(&byte, 1)));
            table[b].length = static_cast<uint8_t>(json.copy(table[b].bytes, json.size() - 2, 1));
        }
        return table;
    }();
    constexpr std::string_view ellipsis = "\u2026";
    const size_t start = out.size();
    out.resize(start + 2 + sizeof(Quoted::bytes) * text.size() + ellipsis.size());
    char* written = out.data() + start;
    *written++ = '"';
    for (char c : text) {
        const Quoted& q = quoted[static_cast<uint8_t>(c)];
        std::memcpy(written, q.bytes, sizeof q.bytes);
        written += q.length;
    }
    if (cut) written = std::copy_n(ellipsis.data(), ellipsis.size(), written);
    *written++ = '"';
    out.resize(static_cast<size_t>(written - out.data()));
}

// Appends the entry's text as a JSON string: without its markup, white space collapsed, the basic character
// references decoded, at most kExcerptBytes of the book's text.
void appendExcerpt(std::string& out, const Book& book, uint64_t position, uint64_t length) {
    const char* text = reinterpret_cast<const char*>(book.text().data());
    char plain[kExcerptBytes + 1];  // a space and a character may follow the 119th byte
    size_t size = 0;
    bool space = false;
    const uint64_t end = std::min<uint64_t>(book.text().size(), position + length);
    uint64_t i = position;
    while (i < end && size < kExcerptBytes) {
        const char c = text[i++];
        if (c == '<') {
            // Markup, up to its '>' or the end, stands as a space.
            const void* close = std::memchr(text + i, '>', end - i);
            i = close ? static_cast<uint64_t>(static_cast<const char*>(close) - text) + 1 : end;
            space = true;
        } else if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            space = true;
        } else {
            if (space && size > 0) plain[size++] = ' ';
            space = false;
            plain[size++] = c;
        }
    }
    const bool utf8 = book.kova().textEncoding == codePageUtf8;
    const bool cut = i < end;
    // A UTF-8 character cut short at the end goes whole.
    if (cut && utf8) {
        size_t keep = size;
        while (keep > 0 && (static_cast<uint8_t>(plain[keep - 1]) & 0xC0) == 0x80) --keep;
        if (keep > 0 && static_cast<uint8_t>(plain[keep - 1]) >= 0xC0) size = keep - 1;
    }
    const std::string_view kept(plain, size);
    if (!utf8 && kept.find('&') == std::string_view::npos) {
        appendQuoted1252(out, kept, cut);
        return;
    }
    std::string readable =
        utf8 ? decodeBasicReferences(kept)
             : decodeBasicReferences(utf8From1252(ByteView(reinterpret_cast<const uint8_t*>(plain), size)));
    if (cut) readable += "\u2026";
    JsonWriter::appendQuoted(out, readable);
}

class SearchWriter {
public:
    SearchWriter(const Book& book, const PreviewText& text, const std::filesystem::path& folder, std::string& error)
        : book_(book), text_(text), folder_(folder), error_(error) {}

    bool write(const BookIndex& lookup) {
        std::vector<std::string> tables;
        const BookIndex* spell = spellIndex(book_, lookup, tables);
        const KeyedMatches keyed = keyedMatches(book_, lookup, spell);
        std::vector<std::string_view> firstKeys;
        if (!writeKeys(keyed, firstKeys) || !writeEntries(lookup)) return false;
        std::string json = "{\"lookup\":" + comparisonJson(lookup) + ",\"spell\":";
        if (spell) {
            json += "{\"index\":" + comparisonJson(*spell) + ",\"tables\":[";
            for (size_t i = 0; i < tables.size(); ++i) json += (i ? ",\"" : "\"") + tables[i] + "\"";
            json += "]}";
        } else {
            json += "null";
        }
        json += ",\"chunks\":[";
        for (size_t i = 0; i < firstKeys.size(); ++i) {
            if (i) json += ',';
            appendKeyLiteral(json, i ? firstKeys[i] : std::string_view());
        }
        json += "],\"entriesPerChunk\":" + std::to_string(kEntriesPerChunk) +
                ",\"entryCount\":" + std::to_string(lookup.entries.size()) + "}";
        return writeData("search", json);
    }

private:
    bool writeData(const std::string& name, const std::string& json) {
        return writePreviewData(folder_ / (name + ".js"), name, json, error_);
    }

    bool writeKeys(const KeyedMatches& keyed, std::vector<std::string_view>& firstKeys) {
        const std::vector<KeyedMatch>& matches = keyed.matches;
        std::string chunk;
        chunk.reserve(kKeyChunkBytes + kKeyChunkBytes / 4);
        for (size_t i = 0; i < matches.size();) {
            const std::string_view key = keyed.key(matches[i]);
            if (chunk.empty()) firstKeys.push_back(key);
            chunk += chunk.empty() ? "[[" : ",[";
            appendKeyLiteral(chunk, key);
            chunk += ",[";
            for (size_t first = i; i < matches.size() && keyed.key(matches[i]) == key; ++i) {
                const KeyedMatch& m = matches[i];
                chunk += i > first ? ",[" : "[";
                appendNumber(chunk, m.rank);
                chunk += ',';
                appendNumber(chunk, m.way);
                if (m.way == inflection) {
                    chunk += ',';
                    appendNumber(chunk, m.group);
                    chunk += ',';
                    appendNumber(chunk, m.rule);
                }
                chunk += ']';
            }
            chunk += "]]";
            if (chunk.size() >= kKeyChunkBytes || i == matches.size()) {
                chunk += ']';
                if (!writeData(chunkName("keys", firstKeys.size() - 1), chunk)) return false;
                chunk.clear();
            }
        }
        if (firstKeys.empty()) {
            firstKeys.emplace_back();
            return writeData(chunkName("keys", 0), "[]");
        }
        return true;
    }

    bool writeEntries(const BookIndex& lookup) {
        // The files of the entries' texts, in the order of searchTargets().
        const std::vector<size_t> files = text_.filesOf(searchTargets(book_));
        size_t next = 0;
        for (size_t first = 0; first < lookup.entries.size(); first += kEntriesPerChunk) {
            std::string chunk = "[";
            for (size_t rank = first; rank < std::min(lookup.entries.size(), first + kEntriesPerChunk); ++rank) {
                const IndexEntry& entry = lookup.entries[rank];
                chunk += rank > first ? ",[" : "[";
                JsonWriter::appendQuoted(chunk, lookup.keyText(entry.key));
                chunk += ",[";
                const TagValues* positions = entry.tag(1);
                const TagValues* lengths = entry.tag(2);
                const std::vector<uint32_t> starts = positions ? positions->column(0) : std::vector<uint32_t>();
                const std::vector<uint32_t> sizes = lengths ? lengths->column(0) : std::vector<uint32_t>();
                for (size_t g = 0; g < starts.size(); ++g) {
                    chunk += g ? ",[\"" : "[\"";
                    chunk += kPagesFolder;
                    chunk += previewFileName(files[next++]);
                    chunk += "#p";
                    chunk += std::to_string(starts[g]);
                    chunk += "\",";
                    appendExcerpt(chunk, book_, starts[g], g < sizes.size() ? sizes[g] : 0);
                    chunk += ']';
                }
                chunk += "]]";
            }
            chunk += ']';
            if (!writeData(chunkName("entries", first / kEntriesPerChunk), chunk)) return false;
        }
        return true;
    }

    const Book& book_;
    const PreviewText& text_;
    const std::filesystem::path& folder_;
    std::string& error_;
};

}  // namespace

const BookIndex* searchIndex(const Book& book) {
    if (!book.hasHeaders() || book.kova().orthographicIndex == noRecord) return nullptr;
    return book.indexAt(book.kova().orthographicIndex);
}

std::vector<uint64_t> searchTargets(const Book& book) {
    std::vector<uint64_t> targets;
    if (const BookIndex* lookup = searchIndex(book))
        for (const IndexEntry& entry : lookup->entries)
            if (const TagValues* positions = entry.tag(1))
                for (uint32_t position : positions->column(0)) targets.push_back(position);
    return targets;
}

bool writeSearchData(const Book& book, const PreviewText& text, const std::filesystem::path& dataFolder,
                     std::string& error) {
    const BookIndex* lookup = searchIndex(book);
    return !lookup || SearchWriter(book, text, dataFolder, error).write(*lookup);
}

}  // namespace kova
