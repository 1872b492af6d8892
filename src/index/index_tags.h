// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tags under which index entries keep their values. A tag word holds the tag in its low byte and the
// tag's number of values per group in its second byte.
#include <cstdint>

namespace qp::tag {

constexpr uint8_t kPosition = 1;          // text position of a table-of-contents node or lookup entry
constexpr uint8_t kLength = 2;            // length of the text it covers
constexpr uint8_t kLabel = 3;             // location of a node's label in the string records
constexpr uint8_t kDepth = 4;             // level of a table-of-contents node
constexpr uint8_t kSecondString = 5;      // a node's class, an entry's grammar group, an inflected form's name
constexpr uint8_t kTextRange = 6;         // pairs: a short part's position and length ...
constexpr uint8_t kLookupEntry = 6;       // ... or, in a key index, the lookup index's header record and rank
constexpr uint8_t kOldRule = 7;           // pairs: length and location of an old-style rule's second part
constexpr uint8_t kNumberedOldRule = 11;  // triples: the same and the rule's number
constexpr uint8_t kParent = 21;           // table-of-contents links, as ranks
constexpr uint8_t kFirstChild = 22;
constexpr uint8_t kLastChild = 23;
constexpr uint8_t kOldRuleNumber = 24;    // numbers of old-style rules
constexpr uint8_t kRule = 26;             // a group's rules, as ranks in the inflection index
constexpr uint8_t kGroup = 27;            // the groups that use a rule
constexpr uint8_t kFromSpell = 37;        // a spell index entry's lookup entry
constexpr uint8_t kToSpell = 38;          // a lookup entry's spell index entry
constexpr uint8_t kInflections = 42;      // a lookup entry's inflection groups
constexpr uint8_t kFirstForeignKey = 53;  // links to key index entries, one tag per key index
constexpr uint8_t kLastForeignKey = 68;
constexpr uint8_t kFirstProperty = 69;  // named properties, one tag per name
constexpr uint8_t kLastProperty = 100;
constexpr uint8_t kFirstExtension = 101;  // pairs: external subentries, one tag per name and index
constexpr uint8_t kLastExtension = 108;
constexpr uint8_t kHighest = 108;

// The values per group of a tag: 2 for the pairs, 3 for the numbered old-style rules, else 1.
constexpr uint8_t valuesPerGroup(uint8_t tag) {
    if (tag == kTextRange || tag == kOldRule || (tag >= kFirstExtension && tag <= kLastExtension)) return 2;
    if (tag == kNumberedOldRule) return 3;
    return 1;
}

}  // namespace qp::tag
