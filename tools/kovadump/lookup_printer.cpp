// SPDX-License-Identifier: GPL-3.0-or-later
#include "lookup_printer.h"

#include "headword_lookup.h"
#include "json_writer.h"
#include "text_encoding.h"

namespace kova {

std::string plainText(const Book& book, uint64_t position, uint64_t length) {
    const std::vector<uint8_t>& text = book.text();
    std::string plain;
    bool inMarkup = false;
    for (uint64_t i = position; i < text.size() && i - position < length; ++i) {
        char c = static_cast<char>(text[i]);
        if (c == '<')
            inMarkup = true;
        else if (c == '>' && inMarkup)
            inMarkup = false;
        else if (!inMarkup)
            plain += c;
    }
    return utf8FromTextEncoding(plain, book.kova().textEncoding);
}

bool printLookup(const Book& book, const std::string& word, std::ostream& out) {
    Lookup lookup = lookUp(book, word);
    const std::string query = JsonWriter::quote(word);
    if (!lookup.index) {
        out << query << " not found: " << lookup.problem << '\n';
        return false;
    }
    const BookIndex& index = *lookup.index;
    const std::string where = "the orthographic index " + JsonWriter::quote(index.nameText()) + " (record " +
                              std::to_string(index.headerRecord) + ")";
    if (lookup.matches.empty()) {
        out << query << " not found in " << where << (lookup.problem.empty() ? "" : ": " + lookup.problem) << '\n';
        return false;
    }
    out << query << ": " << lookup.matches.size() << (lookup.matches.size() == 1 ? " entry" : " entries") << " in "
        << where << '\n';
    for (const LookupMatch& match : lookup.matches) {
        const IndexEntry& entry = index.entries[match.rank];
        out << "  entry " << match.rank << ' ' << JsonWriter::quote(index.keyText(entry.key)) << " ("
            << matchKindName(match.how);
        if (match.how == MatchKind::inflection) {
            if (match.rule)
                out << ": rule " << *match.rule << " of group " << match.group;
            else
                out << ": old-style group " << match.group;
        }
        out << ")\n";
        const TagValues* positions = entry.tag(1);
        const TagValues* lengths = entry.tag(2);
        if (!positions) continue;
        std::vector<uint32_t> starts = positions->column(0);
        std::vector<uint32_t> sizes = lengths ? lengths->column(0) : std::vector<uint32_t>();
        for (size_t g = 0; g < starts.size(); ++g) {
            uint32_t size = g < sizes.size() ? sizes[g] : 0;
            out << "    text " << starts[g] << '+' << size << ": " << plainText(book, starts[g], size) << '\n';
        }
    }
    return true;
}

}  // namespace kova
