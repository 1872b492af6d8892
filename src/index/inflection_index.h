// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The inflection index of a dictionary (type 2): a rule entry per distinct rule that turns the key of a lookup
// entry into one of its forms, a group entry per distinct list of forms, and the entries of old-style rules.
// Group entries name their rules (tag 26) and the forms' names (tag 5); rule entries name the groups that use
// them (tag 27); each lookup entry names its groups (tag 42). Old-style rules sharing a first part are one entry
// keyed by it, with the second part (tag 7, or tag 11 with the rule's number) and the numbers (tag 24).
//
// Rules are made from the key as a reader decodes it from the lookup index (inflection_rule.h), so that they
// apply to it exactly; verify() checks that they do before the book is written.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/fault.h"
#include "index/dictionary_entries.h"
#include "index/index.h"

namespace qp {

class InflectionIndex {
public:
    // Rules are stored in the book text's code page (1252 or 65001).
    InflectionIndex(int32_t textCodePage, uint16_t language, FaultHeader& faults);
    ~InflectionIndex();

    // The forms of one `idx:infl` of a lookup entry. A group holds at most 100 forms in at most 1020 bytes;
    // further forms go on in further groups, each linked to the entry.
    void addGroup(Index& lookup, IndexEntryId entry, const InflectionGroup& group);
    // The old-style rules of an `infl` attribute: forms separated by ";", each optionally followed by "#" and a
    // number.
    void addOldStyleRules(Index& lookup, IndexEntryId entry, const std::string& rules);

    bool empty() const { return rules_.empty() && groups_.empty(); }
    // Turns the rules and groups into index entries and links the lookup entries to their groups, with the
    // statistics on the console. False when a group cannot be read back (an internal error).
    bool compile();
    // Applies every stored rule, as a reader does, to the key of each lookup entry that uses it. False, with an
    // internal error naming the key, when a rule does not apply.
    bool verify() const;
    Index& index() { return *index_; }

private:
    struct Rule {
        std::string bytes;
        uint32_t uses = 0;
    };
    struct Group {
        std::string bytes;
        std::vector<std::pair<Index*, IndexEntryId>> lookupEntries;
    };

    std::string inCodePage(const std::string& utf8);
    uint32_t ruleNumber(const std::string& rule);
    uint32_t nameLocation(const std::string& name);
    void addLookupEntry(const std::string& groupBytes, Index& lookup, IndexEntryId entry);
    bool compileGroups();
    void compileOldStyleRules();
    bool appliesToItsEntries(const Group& group) const;

    bool utf8_;
    FaultHeader& faults_;
    std::unique_ptr<Index> index_;
    std::vector<Rule> rules_;
    std::map<std::string, uint32_t> ruleNumbers_;
    std::vector<Group> groups_;  // new-style groups (first byte 1) and old-style rules (first byte 0)
    std::map<std::string, size_t> groupNumbers_;
    std::map<std::string, uint32_t> nameLocations_;
};

}  // namespace qp
