// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/index_markup.h"

#include <charconv>
#include <set>
#include <utility>

#include "core/ascii_text.h"
#include "core/message_sink.h"
#include "index/index_tags.h"

namespace qp {

namespace {

constexpr size_t kMaxForeignKeyIndexes = tag::kLastForeignKey - tag::kFirstForeignKey + 1;
constexpr size_t kMaxProperties = tag::kLastProperty - tag::kFirstProperty + 1;
// Names the index gives meanings of its own; a property may not take them.
const std::set<std::string, std::less<>> kReservedNames = {"id", "name", "headword", "text", "position", "length"};

// The name without its "idx:" or "tei-ms:" prefix, lower case.
std::string localName(std::string_view name) {
    const size_t colon = name.find(':');
    return lowerAscii(colon == std::string_view::npos ? name : name.substr(colon + 1));
}

const IndexAttribute* findAttribute(const IndexElement& element, std::string_view name) {
    for (const IndexAttribute& attribute : element.attributes)
        if (equalsCaseBlind(attribute.name, name)) return &attribute;
    return nullptr;
}

std::string attribute(const IndexElement& element, std::string_view name) {
    const IndexAttribute* found = findAttribute(element, name);
    return found ? found->value : std::string();
}

bool isYes(const IndexElement& element, std::string_view name) {
    return equalsCaseBlind(trimmed(attribute(element, name)), "yes");
}

// The key an element gives: its "value", else its text.
std::string keyText(const IndexElement& element) {
    const IndexAttribute* value = findAttribute(element, "value");
    return std::string(trimmed(value ? value->value : element.text));
}

// Keys listed in a text, separated by `separator`.
std::vector<std::string> keyList(std::string_view text, char separator) {
    std::vector<std::string> keys;
    while (!text.empty()) {
        const size_t end = text.find(separator);
        const std::string_view key = trimmed(text.substr(0, end));
        if (!key.empty()) keys.emplace_back(key);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return keys;
}

}  // namespace

bool IndexMarkup::isIndexMarkup(std::string_view name) {
    return startsWithCaseBlind(name, "idx:") || startsWithCaseBlind(name, "tei-ms:");
}

bool IndexMarkup::textWanted(std::string_view name) {
    const std::string local = localName(name);
    return local == "orth" || local == "key" || local == "subentry" || local == "compound-keys" ||
           local == "exclude-keys";
}

bool IndexMarkup::contentWritten(std::string_view name) {
    const std::string local = localName(name);
    return local != "compound-keys" && local != "exclude-keys";
}

int32_t IndexMarkup::currentEntry(bool needed) {
    for (auto it = open_.rbegin(); it != open_.rend(); ++it)
        if (it->entry >= 0) return it->entry;
    if (needed) report(*this, ErrorCode::IndexUnknown);
    return -1;
}

void IndexMarkup::reportAt(Message<MessageNumber, MessageText, MessageText> message, int line,
                           std::string_view detail) {
    report(*this, message, line, MessageText(file_), detail.empty() ? MessageText(std::nullopt) : MessageText(detail));
}

void IndexMarkup::open(IndexElement element) {
    if (file_ != element.file) file_ = element.file;
    const std::string local = localName(element.name);
    const bool teiName = startsWithCaseBlind(element.name, "tei-ms:");
    Role role = Role::Other;
    bool externalSubentryAdded = false;
    int32_t entry = currentEntry(false);
    if (local == "entry") {
        role = Role::Entry;
        openEntry(element);
        entry = static_cast<int32_t>(entries_.size()) - 1;
    } else if (local == "orth") {
        role = Role::Headword;
        if ((entry = currentEntry(true)) >= 0) {
            entries_[entry].headword = keyText(element);
            entries_[entry].hasHeadword = true;
            std::string rules = attribute(element, "infl");
            if (!rules.empty() || entries_[entry].extras)
                entries_[entry].detailsToFill().oldStyleRules = std::move(rules);
            if (entries_[entry].headword.empty()) reportAt(WarningCode::EmptyOrth, element.line);
        }
    } else if (local == "key") {
        role = Role::Key;
        if ((entry = currentEntry(true)) >= 0) addKey(element, entry);
    } else if (local == "short") {
        role = Role::Short;
        if ((entry = currentEntry(true)) >= 0) {
            hasShortParts_[entry] = true;
            if (hasNestedEntries_[entry]) report(*this, ErrorCode::NestedAndShortEntries);
        }
    } else if (local == "gramgrp") {
        role = Role::GrammarGroup;
        if ((entry = currentEntry(true)) >= 0) {
            std::string value = attribute(element, "value");
            if (!value.empty() || entries_[entry].extras)
                entries_[entry].detailsToFill().grammarGroup = std::move(value);
        }
    } else if (teiName) {
        role = Role::Other;  // the other elements exist under the "idx:" prefix only
    } else if (local == "subentry") {
        role = Role::Subentry;
        if ((entry = currentEntry(true)) >= 0) addProperty(element, PropertyKind::Subentry, entry);
    } else if (local == "string" || local == "int" || local == "uint" || local == "link") {
        role = Role::Property;
        const PropertyKind kind = local == "string" ? PropertyKind::String
                                  : local == "int"  ? PropertyKind::Int
                                  : local == "uint" ? PropertyKind::Uint
                                                    : PropertyKind::Link;
        if ((entry = currentEntry(true)) >= 0) addProperty(element, kind, entry);
    } else if (local == "ext-subentry") {
        role = Role::ExternalSubentry;
        externalSubentryAdded = openExternalSubentry(element);
    } else if (local == "infl") {
        role = Role::Inflections;
        if ((entry = currentEntry(true)) >= 0)
            entries_[entry].inflections.push_back({attribute(element, "inflgrp"), {}});
    } else if (local == "iform") {
        role = Role::Form;
        if ((entry = currentEntry(true)) >= 0) addForm(element, entry);
    } else if (local == "compound-keys" || local == "exclude-keys") {
        role = local == "compound-keys" ? Role::CompoundKeys : Role::ExcludedKeys;
        if ((entry = currentEntry(true)) >= 0) {
            EntryExtras& extras = entries_[entry].detailsToFill();
            std::vector<std::string>& list = role == Role::CompoundKeys ? extras.compoundKeys : extras.excludedKeys;
            for (std::string& key : keyList(element.text, ';')) list.push_back(std::move(key));
        }
    }
    const int32_t item = role == Role::ExternalSubentry && externalSubentryAdded
                             ? static_cast<int32_t>(externalSubentries_.size()) - 1
                             : -1;
    open_.push_back({role, element.position, element.line, role == Role::Entry ? entry : -1, item});
}

void IndexMarkup::close(uint64_t position) {
    if (open_.empty()) return;
    const Open closing = open_.back();
    open_.pop_back();
    switch (closing.role) {
        case Role::Entry:
            entries_[closing.entry].text.end = position;
            if (!entries_[closing.entry].hasHeadword) reportAt(WarningCode::EntryWithoutOrth, closing.line);
            break;
        case Role::Short: {
            const int32_t entry = currentEntry(false);
            if (entry >= 0) entries_[entry].detailsToFill().shortParts.push_back({closing.start, position});
            break;
        }
        case Role::ExternalSubentry:
            if (closing.item >= 0) externalSubentries_[closing.item].text.end = position;
            break;
        case Role::Inflections: {
            const int32_t entry = currentEntry(false);
            if (entry >= 0 && !entries_[entry].inflections.empty() &&
                entries_[entry].inflections.back().forms.empty()) {
                reportAt(WarningCode::InflectionGroupEmpty, closing.line);
                entries_[entry].inflections.pop_back();
            }
            break;
        }
        default: break;
    }
}

void IndexMarkup::openEntry(const IndexElement& element) {
    const int32_t parent = currentEntry(false);
    DictionaryEntry entry;
    const std::string name = attribute(element, "name");
    std::string id = attribute(element, "id");
    entry.scriptable = isYes(element, "scriptable");
    entry.spell = isYes(element, "spell");
    entry.wild = entry.spell || isYes(element, "wild");
    entry.text = {element.position, element.position};
    entry.parent = parent;
    if (parent >= 0) {
        hasNestedEntries_[parent] = true;
        if (hasShortParts_[parent]) report(*this, ErrorCode::NestedAndShortEntries);
    }
    // The first entry of an index fixes its spell and wildcard settings.
    const auto [known, added] = indexNumbers_.emplace(name, static_cast<uint32_t>(lookupIndexes_.size()));
    entry.index = known->second;
    if (added) {
        indexNames_.push_back(name);
        lookupIndexes_.push_back({entry.spell, entry.wild, {}, {}});
    } else if (lookupIndexes_[entry.index].spell != entry.spell || lookupIndexes_[entry.index].wild != entry.wild) {
        report(*this, ErrorCode::SpellWildInconsistent);
    }
    const auto number = static_cast<int32_t>(entries_.size());
    if (!id.empty()) {
        if (!ids_.emplace(id, number).second) reportAt(ErrorCode::DuplicateEntryId, element.line, "id=\"" + id + "\"");
        entry.detailsToFill().id = std::move(id);
    }
    entries_.push_back(std::move(entry));
    hasShortParts_.push_back(false);
    hasNestedEntries_.push_back(false);
}

// With "each-word", every word of the key is a key of its own.
void IndexMarkup::addKey(const IndexElement& element, int32_t entry) {
    std::string index = attribute(element, "name");
    if (index.empty()) index = attribute(element, "type");
    const std::string text = keyText(element);
    const bool scriptable = isYes(element, "scriptable");
    if (text.empty()) {
        reportAt(WarningCode::EmptyKey, element.line);
        return;
    }
    const bool exact = isYes(element, "exact");
    const auto [known, added] = keyIndexExactness_.emplace(index, exact);
    if (!added && known->second != exact) {
        report(*this, ErrorCode::InconsistentExactKeys);
        return;
    }
    if (scriptable) {
        std::set<std::string>& foreign = lookupIndexes_[entries_[entry].index].foreignKeyIndexes;
        if (!foreign.count(index) && foreign.size() == kMaxForeignKeyIndexes) {
            report(*this, ErrorCode::ForeignKeyLimit);
            return;
        }
        foreign.insert(index);
    }
    const std::vector<std::string> words = isYes(element, "each-word") ? keyList(text, ' ') : std::vector{text};
    std::vector<EntryKey>& keys = entries_[entry].detailsToFill().keys;
    for (const std::string& word : words) keys.push_back({index, word, scriptable, exact});
}

void IndexMarkup::addProperty(const IndexElement& element, PropertyKind kind, int32_t entry) {
    EntryProperty property;
    property.kind = kind;
    property.name = attribute(element, "name");
    const IndexAttribute* value = findAttribute(element, "value");
    if (kind == PropertyKind::Subentry) {
        if (property.name.empty()) return report(*this, ErrorCode::UnnamedSubentry);
        property.text = element.text;
    } else {
        if (property.name.empty() || !value) return report(*this, ErrorCode::StringPropertyIncomplete);
        property.text = value->value;
        if (kind == PropertyKind::Int || kind == PropertyKind::Uint) {
            const std::string_view digits = trimmed(property.text);
            auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), property.number);
            const bool fits = kind == PropertyKind::Int
                                  ? property.number >= -(int64_t{1} << 29) && property.number < (int64_t{1} << 29)
                                  : property.number >= 0 && property.number < (int64_t{1} << 30);
            if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || !fits) {
                return report(*this, ErrorCode::ValueTooLarge);
            }
        }
    }
    IndexRules& rules = lookupIndexes_[entries_[entry].index];
    const bool keyName = keyIndexExactness_.count(property.name) > 0;
    if (kReservedNames.count(lowerAscii(property.name)) || keyName) {
        return report(*this, ErrorCode::PropertyNameTaken);
    }
    const auto [known, added] = rules.properties.emplace(property.name, kind);
    if (!added && known->second != kind) return report(*this, ErrorCode::PropertyTypeMismatch);
    if (added && rules.properties.size() > kMaxProperties) {
        rules.properties.erase(known);
        return report(*this, ErrorCode::PropertyLimit);
    }
    entries_[entry].detailsToFill().properties.push_back(std::move(property));
}

bool IndexMarkup::openExternalSubentry(const IndexElement& element) {
    ExternalSubentry subentry;
    subentry.name = attribute(element, "name");
    subentry.extends = attribute(element, "extends");
    subentry.scriptable = isYes(element, "scriptable");
    subentry.text = {element.position, element.position};
    if (subentry.extends.empty()) {
        report(*this, ErrorCode::ExtendsMissing);
        return false;
    }
    externalSubentries_.push_back(std::move(subentry));
    return true;
}

void IndexMarkup::addForm(const IndexElement& element, int32_t entry) {
    const IndexAttribute* value = findAttribute(element, "value");
    if (!value) {
        reportAt(WarningCode::IformWithoutValue, element.line);
        return;
    }
    std::vector<InflectionGroup>& groups = entries_[entry].inflections;
    if (groups.empty()) groups.push_back({});
    groups.back().forms.push_back({value->value, attribute(element, "name")});
}

DictionaryMarkup IndexMarkup::handOver() {
    std::exchange(ids_, {});
    std::exchange(hasShortParts_, {});
    std::exchange(hasNestedEntries_, {});
    return {std::exchange(indexNames_, {}), std::exchange(entries_, {}), std::exchange(externalSubentries_, {})};
}

}  // namespace qp
