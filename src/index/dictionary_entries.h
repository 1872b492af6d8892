// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the dictionary markup of a book says, gathered while the text is converted: the entries of each lookup
// index with their headwords, keys, properties and text ranges. The index stage turns it into index records.
#include <cstdint>
#include <memory>
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

// What few entries carry, kept apart so that an entry without any of it stays small.
struct EntryExtras {
    std::string id;
    std::string oldStyleRules;  // the `infl` attribute of `idx:orth`
    std::string grammarGroup;
    std::vector<EntryKey> keys;
    std::vector<EntryProperty> properties;
    std::vector<TextRange> shortParts;
    std::vector<std::string> compoundKeys;  // more headword keys of the entry
    std::vector<std::string> excludedKeys;  // keys the entry keeps out of its lookup
};

struct DictionaryEntry {
    TextRange text;
    std::string headword;  // UTF-8; empty without `idx:orth` (hasHeadword tells)
    std::vector<InflectionGroup> inflections;
    std::unique_ptr<EntryExtras> extras;  // none until the entry has some
    int32_t parent = -1;                  // the entry this one is nested in
    uint32_t index = 0;                   // the lookup index: its number in DictionaryMarkup::indexNames
    bool hasHeadword = false;
    bool scriptable = false;
    bool spell = false;
    bool wild = false;

    // The extras, empty ones for an entry without.
    const EntryExtras& details() const {
        static const EntryExtras none;
        return extras ? *extras : none;
    }
    // The extras, made when the entry has none yet.
    EntryExtras& detailsToFill() {
        if (!extras) extras = std::make_unique<EntryExtras>();
        return *extras;
    }
};

// An `idx:ext-subentry`: text elsewhere that extends the entry whose id it names.
struct ExternalSubentry {
    std::string name;
    std::string extends;
    TextRange text;
    bool scriptable = false;
};

// What the markup of a book gathered, in the order of the elements.
struct DictionaryMarkup {
    std::vector<std::string> indexNames;  // of the lookup indexes, the unnamed one as ""
    std::vector<DictionaryEntry> entries;
    std::vector<ExternalSubentry> externalSubentries;
};

}  // namespace qp
