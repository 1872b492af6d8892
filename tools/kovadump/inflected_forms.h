// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The inflected forms of a dictionary, made as a reading device makes them: each lookup entry that names groups
// of the inflection index (tag 42) has its key decoded (the fold of each character of a UTF-16 index, through
// the index's second character table; the bytes of another index) and every rule of its groups applied to it.
//
// A rule (the key of a rule entry, named by a group with tag 26) is a run of parts, each a code byte and
// characters, worked with two cursors over the key: 1 inserts its characters at the front cursor, which moves
// past them; 4 removes characters at the front cursor; 2 inserts its characters one by one at the end cursor,
// which stays, so that they are written last first; 3 removes the characters before the end cursor, also
// written last first. A removed character that is not the rule's makes the device reject the index.
// An old-style group (tags 7 or 11) is keyed by the ending it replaces; each of its second parts (a string
// location) replaces that ending of the key, which must end with it.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "book_index.h"

namespace kova {

struct InflectedForm {
    size_t entry = 0;            // rank in the lookup index
    size_t group = 0;            // rank of the group entry in the inflection index
    std::optional<size_t> rule;  // rank of the rule entry; none for an old-style group
    std::vector<uint32_t> characters;
    std::string text() const;  // UTF-8
};

struct InflectedForms {
    std::vector<InflectedForm> forms;
    std::vector<std::string> faults;  // rules that do not apply, links that lead nowhere
};

// The forms of the lookup entries of one index.
InflectedForms inflectedForms(const BookIndex& lookup, const BookIndex& inflections);

// The form that rule entry `rule` of the inflection index makes of a key (characters), applied strictly.
// Nothing, with the reason in `problem`, when the rule cannot be read or does not apply.
std::optional<std::vector<uint32_t>> applyInflectionRule(const std::vector<uint32_t>& key, const BookIndex& inflections,
                                                         size_t rule, std::string& problem);

// The faults of a lookup index's forms for the book's list: the first few, then a line that counts the rest.
std::vector<std::string> listedInflectionFaults(const BookIndex& lookup, const InflectedForms& forms);

}  // namespace kova
