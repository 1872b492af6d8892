// SPDX-License-Identifier: GPL-3.0-or-later
#include "index_printer.h"

#include <algorithm>
#include <cctype>
#include <iomanip>
#include <sstream>

#include "text_encoding.h"

namespace kova {

namespace {

std::string stringText(const BookIndex& index, uint32_t location) {
    std::optional<std::string> bytes = index.stringAt(location);
    if (!bytes) return "(outside the string records)";
    return JsonWriter::quote(utf8FromTextEncoding(*bytes, index.textEncoding));
}

std::string recordRange(size_t first, size_t count) {
    if (count == 0) return "none";
    return count == 1 ? std::to_string(first) : std::to_string(first) + "-" + std::to_string(first + count - 1);
}

std::string hex(unsigned value) {
    std::ostringstream s;
    s << "0x" << std::hex << std::setw(2) << std::setfill('0') << value;
    return s.str();
}

std::string tagxText(const Tagx& tagx) {
    std::string text =
        std::to_string(tagx.controlByteCount) + " control byte" + (tagx.controlByteCount == 1 ? "" : "s");
    for (const TagxRow& row : tagx.rows)
        text += row.isEnd() ? "; end"
                            : "; tag " + std::to_string(row.tag) + " x" + std::to_string(row.valuesPerGroup) +
                                  " mask " + hex(row.mask);
    return text;
}

std::string tablesText(const BookIndex& index) {
    const IndexTables& t = index.tables;
    std::vector<std::string> parts;
    if (t.western())
        parts.push_back("ORDT " + std::to_string(t.sortValues.size()) + " at " + std::to_string(t.ordtOffset));
    if (!t.ligatures.empty())
        parts.push_back("LIGT " + std::to_string(t.ligatures.size()) + " entries at " + std::to_string(t.ligtOffset));
    if (!t.characters.empty())
        parts.push_back("character table " + std::to_string(t.characters.size()) + " characters at " +
                        std::to_string(t.characterTableOffset) +
                        (index.keyForm() == KeyForm::positions8 ? " (single-byte form)" : " (16-bit form)"));
    if (!t.folds.empty())
        parts.push_back("folds " + std::to_string(t.folds.size()) + " at " + std::to_string(t.foldTableOffset));
    for (const SpellTable& spell : t.spellTables)
        parts.push_back(spell.name + " " + std::to_string(spell.bytes.size()) + " at " + std::to_string(spell.offset));
    if (parts.empty()) return "none";
    std::string text = parts[0];
    for (size_t i = 1; i < parts.size(); ++i) text += ", " + parts[i];
    return text;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (size_t i = 0; i < parts.size(); ++i) text += (i ? ", " : "") + parts[i];
    return text;
}

void jsonTable(JsonWriter& json, const char* name, uint32_t offset, const char* sizeName, size_t size) {
    json.key(name).beginObject().key("offset").value(uint64_t{offset}).key(sizeName).value(uint64_t{size});
    json.endObject();
}

void jsonTables(const BookIndex& index, JsonWriter& json) {
    const IndexTables& t = index.tables;
    json.key("tables").beginObject();
    if (t.western()) jsonTable(json, "ordt", t.ordtOffset, "size", t.sortValues.size());
    if (!t.ligatures.empty()) jsonTable(json, "ligt", t.ligtOffset, "entries", t.ligatures.size());
    if (!t.characters.empty())
        jsonTable(json, "characterTable", t.characterTableOffset, "characters", t.characters.size());
    if (!t.folds.empty()) jsonTable(json, "foldTable", t.foldTableOffset, "characters", t.folds.size());
    json.key("spell").beginArray();
    for (const SpellTable& spell : t.spellTables) {
        json.beginObject().key("name").value(spell.name).key("offset").value(uint64_t{spell.offset});
        json.key("size").value(uint64_t{spell.bytes.size()}).endObject();
    }
    json.endArray().endObject();
}

void jsonEntry(const BookIndex& index, const IndexCollation& collation, size_t rank, JsonWriter& json) {
    const IndexEntry& entry = index.entries[rank];
    json.beginObject().key("rank").value(uint64_t{rank}).key("record").value(uint64_t{entry.record});
    json.key("offset").value(uint64_t{entry.offset}).key("size").value(uint64_t{entry.size});
    json.key("key").value(index.keyText(entry.key));
    json.key("keyBytes").numbers({entry.key.bytes.begin(), entry.key.bytes.end()});
    if (collation.hasTables()) json.key("folded").value(collation.foldedText(entry.key));
    json.key("controlBytes").numbers({entry.controlBytes.begin(), entry.controlBytes.end()});
    json.key("tags").beginArray();
    for (const TagValues& tag : entry.tags) {
        json.beginObject().key("tag").value(uint64_t{tag.tag}).key("groups").beginArray();
        for (size_t g = 0; g < tag.groupCount(); ++g) {
            auto first = tag.values.begin() + static_cast<std::ptrdiff_t>(g * tag.valuesPerGroup);
            json.numbers({first, first + tag.valuesPerGroup});
        }
        json.endArray();
        if (isStringTag(tag.tag)) {
            json.key("strings").beginArray();
            for (uint32_t location : tag.values) {
                std::optional<std::string> bytes = index.stringAt(location);
                json.value(bytes ? utf8FromTextEncoding(*bytes, index.textEncoding) : std::string());
            }
            json.endArray();
        }
        json.endObject();
    }
    json.endArray().endObject();
}

void jsonIndex(const BookIndex& index, JsonWriter& json) {
    json.beginObject().key("headerRecord").value(uint64_t{index.headerRecord});
    json.key("namedBy").beginArray();
    for (const std::string& by : index.namedBy) json.value(by);
    json.endArray();
    json.key("name").value(index.nameText());
    json.key("header").beginObject();
    for (const IndexHeaderField& field : indexHeaderFields())
        json.key(field.name).value(uint64_t{index.header.at(field.offset)});
    json.endObject();
    json.key("tagx").beginObject().key("offset").value(uint64_t{index.tagx.offset});
    json.key("length").value(uint64_t{index.tagx.length});
    json.key("controlByteCount").value(uint64_t{index.tagx.controlByteCount});
    json.key("rows").beginArray();
    for (const TagxRow& row : index.tagx.rows) {
        json.beginObject().key("tag").value(uint64_t{row.tag});
        json.key("valuesPerGroup").value(uint64_t{row.valuesPerGroup}).key("mask").value(uint64_t{row.mask});
        json.key("end").value(uint64_t{row.endFlag}).endObject();
    }
    json.endArray().endObject();
    json.key("masterEntries").beginArray();
    for (const MasterEntry& master : index.masters) {
        json.beginObject().key("offset").value(uint64_t{master.offset}).key("key").value(index.keyText(master.key));
        json.key("entryCount").value(uint64_t{master.entryCount}).endObject();
    }
    json.endArray();
    jsonTables(index, json);
    json.key("dataRecords").beginArray();
    for (const IndexDataRecord& data : index.dataRecords) {
        json.beginObject().key("record").value(uint64_t{data.record});
        json.key("header").numbers({data.header.words.begin(), data.header.words.end()});
        json.key("idxt").numbers({data.idxt.begin(), data.idxt.end()});
        json.endObject();
    }
    json.endArray();
    json.key("stringRecords").beginArray();
    for (const StringRecord& record : index.stringRecords) {
        json.beginObject().key("record").value(uint64_t{record.record});
        json.key("size").value(uint64_t{record.bytes.size()}).endObject();
    }
    json.endArray();
    json.key("strings").beginArray();
    for (const IndexString& string : index.strings()) {
        json.beginObject().key("location").value(uint64_t{string.location});
        json.key("text").value(utf8FromTextEncoding(string.bytes, index.textEncoding)).endObject();
    }
    json.endArray();
    IndexCollation collation = index.collation();
    json.key("entries").beginArray();
    for (size_t rank = 0; rank < index.entries.size(); ++rank) jsonEntry(index, collation, rank, json);
    json.endArray().endObject();
}

// Display width of UTF-8 text: its characters.
size_t width(const std::string& text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

}  // namespace

std::string tagValuesText(const BookIndex& index, const TagValues& tag) {
    std::string text;
    for (size_t g = 0; g < tag.groupCount(); ++g) {
        if (g) text += ',';
        if (tag.valuesPerGroup > 1) text += '(';
        for (size_t v = 0; v < tag.valuesPerGroup; ++v) {
            uint32_t value = tag.values[g * tag.valuesPerGroup + v];
            if (v) text += ' ';
            text += std::to_string(value);
            if (isStringTag(tag.tag)) {
                text += ' ';
                text += stringText(index, value);
            }
        }
        if (tag.valuesPerGroup > 1) text += ')';
    }
    return text;
}

void listIndexes(const Book& book, std::ostream& out) {
    if (book.indexes().empty()) return;
    out << "Indexes (" << book.indexes().size() << ")\n";
    for (const BookIndex& index : book.indexes()) {
        const IndexHeader& h = index.header;
        size_t dataCount = h.at(indexField::recordCount);
        size_t stringCount = h.at(indexField::stringRecordCount);
        out << "  record " << index.headerRecord << ' ' << JsonWriter::quote(index.nameText()) << ": type "
            << index.type() << ", code page " << index.codePage() << ", language " << h.at(indexField::language) << ", "
            << index.entries.size() << " entries" << (index.exact() ? ", exact" : "") << ", named by "
            << joined(index.namedBy) << '\n';
        std::string dependent = "none";
        if (std::optional<size_t> record = index.dependentRecord())
            dependent =
                std::to_string(*record) + " (" + std::to_string(h.at(indexField::dependentRecordCount)) + " records)";
        out << "    records: header " << index.headerRecord << ", data "
            << recordRange(index.headerRecord + 1, dataCount) << ", strings "
            << recordRange(index.headerRecord + 1 + dataCount, stringCount) << ", dependent " << dependent << '\n';
        out << "    TAGX: " << tagxText(index.tagx) << '\n';
        out << "    tables: " << tablesText(index) << '\n';
    }
}

void jsonIndexes(const Book& book, JsonWriter& json) {
    json.key("indexes").beginArray();
    for (const BookIndex& index : book.indexes()) jsonIndex(index, json);
    json.endArray();
}

const BookIndex* findIndex(const Book& book, const std::string& nameOrRecord) {
    auto digit = [](unsigned char c) { return std::isdigit(c) != 0; };
    if (!nameOrRecord.empty() && std::all_of(nameOrRecord.begin(), nameOrRecord.end(), digit))
        if (const BookIndex* index = book.indexAt(std::stoull(nameOrRecord.substr(0, 18)))) return index;
    for (const BookIndex& index : book.indexes())
        if (index.nameText() == nameOrRecord) return &index;
    for (const BookIndex& naming : book.indexes()) {
        if (naming.type() != indexTypeNaming) continue;
        for (const IndexEntry& entry : naming.entries)
            if (const TagValues* tag = entry.tag(1);
                tag && !tag->values.empty() && naming.keyText(entry.key) == nameOrRecord)
                if (const BookIndex* index = book.indexAt(size_t{book.kova().firstNonBookRecord} + tag->values[0]))
                    return index;
    }
    return nullptr;
}

void printIndexTable(const BookIndex& index, std::ostream& out) {
    out << "Index " << JsonWriter::quote(index.nameText()) << " (record " << index.headerRecord
        << "): " << index.entries.size() << " entries\n";
    std::vector<std::string> keys;
    size_t keyWidth = 3;
    for (const IndexEntry& entry : index.entries) {
        keys.push_back(index.keyText(entry.key));
        keyWidth = std::max(keyWidth, width(keys.back()));
    }
    size_t rankWidth = std::max<size_t>(4, std::to_string(index.entries.size()).size());
    out << std::left << std::setw(static_cast<int>(rankWidth)) << "rank"
        << "  key" << std::string(keyWidth - 3, ' ') << "  tags\n";
    for (size_t rank = 0; rank < index.entries.size(); ++rank) {
        std::string rankText = std::to_string(rank);
        out << rankText << std::string(rankWidth - rankText.size(), ' ') << "  " << keys[rank]
            << std::string(keyWidth - width(keys[rank]), ' ') << ' ';
        for (const TagValues& tag : index.entries[rank].tags)
            out << ' ' << unsigned{tag.tag} << '=' << tagValuesText(index, tag);
        out << '\n';
    }
}

}  // namespace kova
