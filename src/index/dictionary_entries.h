// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the dictionary markup of a book says, gathered while the text is converted: the entries of each lookup
// index with their headwords, keys, properties and text ranges. The index stage turns it into index records.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qp {

// A text range of the book: [start, end).
struct TextRange {
    uint64_t start = 0;
    uint64_t end = 0;
};

// An additional key of an entry (`idx:key`), entered into the key index of that name.
struct EntryKey {
    std::string index;  // the key index
    std::string text;   // UTF-8, character references decoded
    bool scriptable = false;
    bool exact = false;  // the key index tells keys apart that differ only in case or accents
};

enum class PropertyKind : uint8_t { Subentry, String, Int, Uint, Link };

// A named property (`idx:subentry`, `idx:string`, `idx:int`, `idx:uint`, `idx:link`).
struct EntryProperty {
    std::string name;
    PropertyKind kind = PropertyKind::String;
    std::string text;    // a string's value, a subentry's text, a link's target id
    int64_t number = 0;  // an integer's value
};

// One `idx:iform` of an `idx:infl` group.
struct InflectedForm {
    std::string value;  // UTF-8
    std::string name;   // the form's name, empty when absent
};

struct InflectionGroup {
    std::string kind;  // "inflgrp"
    std::vector<InflectedForm> forms;
};

struct DictionaryEntry {
    std::string index;  // the lookup index, empty for the unnamed one
    std::string id;
    bool scriptable = false;
    bool spell = false;
    bool wild = false;
    std::optional<std::string> headword;  // UTF-8; none without `idx:orth`
    std::string oldStyleRules;            // the `infl` attribute of `idx:orth`
    TextRange text;
    int32_t parent = -1;  // the entry this one is nested in
    std::vector<EntryKey> keys;
    std::vector<EntryProperty> properties;
    std::vector<TextRange> shortParts;
    std::string grammarGroup;
    std::vector<InflectionGroup> inflections;
    std::vector<std::string> compoundKeys;  // more headword keys of the entry
    std::vector<std::string> excludedKeys;  // keys the entry keeps out of its lookup
};

// An `idx:ext-subentry`: text elsewhere that extends the entry whose id it names.
struct ExternalSubentry {
    std::string name;
    std::string extends;
    TextRange text;
    bool scriptable = false;
};

}  // namespace qp
