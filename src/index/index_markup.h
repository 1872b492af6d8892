// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dictionary markup of the content (`idx:` elements, and `tei-ms:` for the entry, headword, key, short
// and grammar elements) as the converter meets it: each element opens with its attributes and text position
// and closes at the position after its content. Entries, keys and properties are gathered into the model of
// dictionary_entries.h; faults of the markup are reported here and kept in this object's fault header.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/fault.h"
#include "index/dictionary_entries.h"

namespace qp {

struct IndexAttribute {
    std::string name;
    std::string value;  // read-out text, UTF-8
};

struct IndexElement {
    std::string name;  // as written, prefix included
    std::vector<IndexAttribute> attributes;
    uint64_t position = 0;  // byte position in the book text
    std::string text;       // the element's text content (UTF-8, references decoded) when textWanted()
    int line = 0;           // in the source file, for messages
    std::string_view file;  // the source file
};

class IndexMarkup : public FaultHeader {
public:
    // True for the names the converter hands here: "idx:" and "tei-ms:" (case-blind).
    static bool isIndexMarkup(std::string_view name);
    // True when the element's text content is wanted with its opening.
    static bool textWanted(std::string_view name);
    // False for the elements whose content is markup for the index only, not book text.
    static bool contentWritten(std::string_view name);

    void open(IndexElement element);
    void close(uint64_t position);

    bool empty() const { return entries_.empty() && externalSubentries_.empty(); }
    // Gives what was gathered away, for the index stage to drop as it goes; the faults stay here.
    DictionaryMarkup handOver();

private:
    enum class Role : uint8_t {
        Entry,
        Headword,
        Key,
        Short,
        GrammarGroup,
        Subentry,
        ExternalSubentry,
        Property,
        Inflections,
        Form,
        CompoundKeys,
        ExcludedKeys,
        Other
    };
    struct Open {
        Role role;
        uint64_t start;
        int line;
        int32_t entry;  // for an entry: its number
        int32_t item;   // for an external subentry: its number, -1 when it was refused
    };
    // What one lookup index has fixed with its first entry and first properties.
    struct IndexRules {
        bool spell = false;
        bool wild = false;
        std::map<std::string, PropertyKind> properties;
        std::set<std::string> foreignKeyIndexes;  // key indexes its entries link to
    };

    void openEntry(const IndexElement& element);
    void closeEntry(uint64_t position);
    void addKey(const IndexElement& element, int32_t entry);
    void addProperty(const IndexElement& element, PropertyKind kind, int32_t entry);
    bool openExternalSubentry(const IndexElement& element);
    void addForm(const IndexElement& element, int32_t entry);
    // The innermost open entry, -1 outside any (reported as a markup fault when `needed`).
    int32_t currentEntry(bool needed);
    // A fault of the element at that line of the current source file.
    void reportAt(Message<MessageNumber, MessageText, MessageText> message, int line, std::string_view detail = {});

    std::string file_;  // the source file of the elements being read
    std::vector<DictionaryEntry> entries_;
    std::vector<ExternalSubentry> externalSubentries_;
    std::vector<Open> open_;
    std::map<std::string, uint32_t> indexNumbers_;  // of the lookup indexes
    std::vector<std::string> indexNames_;           // by number
    std::vector<IndexRules> lookupIndexes_;         // by number
    std::map<std::string, bool> keyIndexExactness_;
    std::map<std::string, int32_t> ids_;
    std::vector<bool> hasShortParts_;
    std::vector<bool> hasNestedEntries_;
};

}  // namespace qp
