// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/inflection_index.h"

#include <charconv>

#include "core/code_pages.h"
#include "core/message_sink.h"
#include "core/string.h"
#include "core/unicode.h"
#include "core/variable_width.h"
#include "index/inflection_rule.h"

namespace qp {

namespace {

constexpr size_t kMaxText = 255;
constexpr size_t kMaxRule = 255;
constexpr size_t kMaxGroup = 1020;
// Some readers take at most 100 values of one tag per entry: a group names at most 100 rules.
constexpr size_t kMaxFormsPerGroup = 100;
constexpr char kGroupMark = 0x01;
constexpr char kOldStyleMark = 0x00;

// The group's value at `at`, which moves past it; nothing when the bytes end inside it.
std::optional<uint32_t> readValue(std::string_view bytes, size_t& at) {
    const auto read = readForwardInteger({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, at);
    if (!read) return std::nullopt;
    at += read->length;
    return static_cast<uint32_t>(read->value);
}

}  // namespace

InflectionIndex::InflectionIndex(int32_t textCodePage, uint16_t language, FaultHeader& faults)
    : utf8_(textCodePage == kCodePageUtf8), faults_(faults) {
    // Exact: rules are byte strings whose code bytes and characters the western collation would fold.
    index_ =
        std::make_unique<Index>("", IndexType::Inflection, utf8_ ? kCodePageUtf8 : kCodePageWestern, language, true);
    reportsLike(*index_, faults);
}

InflectionIndex::~InflectionIndex() = default;

// A text in the index code page, cut to 255 bytes with the warning.
std::string InflectionIndex::inCodePage(const std::string& utf8) {
    std::string text = utf8;
    if (!utf8_) {
        text.clear();
        encodeFromUtf16(kCodePageWestern, utf8ToUtf16(utf8), text);
    }
    if (text.size() > kMaxText) {
        report(faults_, WarningCode::StringTruncated);
        text.resize(utf8_ ? utf8PrefixLength(text, kMaxText) : kMaxText);
    }
    return text;
}

uint32_t InflectionIndex::ruleNumber(const std::string& rule) {
    const auto [found, added] = ruleNumbers_.emplace(rule, static_cast<uint32_t>(rules_.size()));
    if (added) rules_.push_back({rule, 0});
    ++rules_[found->second].uses;
    return found->second;
}

uint32_t InflectionIndex::nameLocation(const std::string& name) {
    if (const auto known = nameLocations_.find(name); known != nameLocations_.end()) return known->second;
    const uint32_t location = index_->addString(name).value_or(0);
    nameLocations_.emplace(name, location);
    return location;
}

void InflectionIndex::addLookupEntry(const std::string& groupBytes, Index& lookup, IndexEntryId entry) {
    const auto [found, added] = groupNumbers_.emplace(groupBytes, groups_.size());
    if (added) groups_.push_back({groupBytes, {}});
    groups_[found->second].lookupEntries.push_back({&lookup, entry});
}

// Every rule is made before any is stored, so that a group dropped for one over-long rule leaves nothing behind.
void InflectionIndex::addGroup(Index& lookup, IndexEntryId entry, const InflectionGroup& group) {
    const std::u16string key = lookup.readerKey(entry);
    std::vector<std::pair<std::string, std::string>> forms;  // rule and name, in the code page
    for (const InflectedForm& form : group.forms) {
        lookup.addCharacters(form.value);
        const std::u16string characters = decodeRuleText(inCodePage(form.value), utf8_);
        const std::optional<std::string> rule = encodeRule(inflectionRule(key, characters, lookup.fold()), utf8_);
        if (!rule) {
            report(faults_, WarningCode::EntityNotMappable);
            return;
        }
        if (rule->size() > kMaxRule) {
            report(faults_, WarningCode::RuleTooLong);
            return;
        }
        forms.emplace_back(*rule, inCodePage(form.name));
    }
    std::string bytes;
    size_t count = 0;
    for (const auto& [rule, name] : forms) {
        std::vector<uint8_t> pair;
        appendForwardInteger(pair, ruleNumber(rule));
        appendForwardInteger(pair, nameLocation(name));
        if (count == kMaxFormsPerGroup || bytes.size() + pair.size() > kMaxGroup) {
            addLookupEntry(bytes, lookup, entry);
            bytes.clear();
            count = 0;
        }
        if (bytes.empty()) bytes.push_back(kGroupMark);
        bytes.append(pair.begin(), pair.end());
        ++count;
    }
    if (!bytes.empty()) addLookupEntry(bytes, lookup, entry);
}

void InflectionIndex::addOldStyleRules(Index& lookup, IndexEntryId entry, const std::string& rules) {
    const std::u16string key = lookup.readerKey(entry);
    std::string_view list = rules;
    while (!list.empty()) {
        const size_t end = list.find(';');
        std::string_view item = list.substr(0, end);
        list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
        std::optional<unsigned> number;
        if (const size_t hash = item.find('#'); hash != std::string_view::npos) {
            unsigned value = 0;
            const std::string_view digits = item.substr(hash + 1);
            if (std::from_chars(digits.data(), digits.data() + digits.size(), value).ec == std::errc()) number = value;
            item = item.substr(0, hash);
        }
        if (item.empty()) continue;
        const std::u16string form = decodeRuleText(inCodePage(std::string(item)), utf8_);
        if (const auto rule = oldStyleRule(key, form, lookup.fold())) {
            if (const auto bytes = encodeOldStyleRule(*rule, number, utf8_)) addLookupEntry(*bytes, lookup, entry);
        }
    }
}

bool InflectionIndex::compile() {
    report(faults_, InfoCode::CompilingInflections);
    compileOldStyleRules();
    if (!rules_.empty()) {
        uint32_t rare = 0;
        for (const Rule& rule : rules_) rare += rule.uses <= 2 ? 1 : 0;
        report(faults_, InfoCode::NewInflectionRules, static_cast<int>(rules_.size()));
        report(faults_, InfoCode::RarelyUsedRules, static_cast<int>(rare));
    }
    return compileGroups();
}

// Old-style rules in table order; a run with the same first part is one entry keyed by that part.
void InflectionIndex::compileOldStyleRules() {
    uint32_t count = 0;
    std::optional<IndexEntryId> runEntry;
    std::string runFirst;
    for (const Group& group : groups_) {
        if (group.bytes.empty() || group.bytes[0] != kOldStyleMark) continue;
        ++count;
        const size_t second = group.bytes.find(kOldStyleMark, 1);
        const size_t numberAt = group.bytes.find(kOldStyleMark, second + 1);
        const std::string first = group.bytes.substr(1, second - 1);
        const std::string secondPart =
            group.bytes.substr(second + 1, numberAt == std::string::npos ? std::string::npos : numberAt - second - 1);
        if (!runEntry || first != runFirst) {
            runEntry = first.empty() ? index_->addUnkeyedEntry() : index_->addKeyBytes(first);
            runFirst = first;
        }
        if (!runEntry) continue;
        const uint32_t location = index_->addString(secondPart).value_or(0);
        const auto length = static_cast<uint32_t>(secondPart.size());
        if (numberAt != std::string::npos) {
            uint32_t number = 0;
            const std::string digits = group.bytes.substr(numberAt + 1);
            std::from_chars(digits.data(), digits.data() + digits.size(), number);
            index_->addValues(*runEntry, tag::kNumberedOldRule, {length, location, number});
            index_->addValues(*runEntry, tag::kOldRuleNumber, {number});
        } else {
            index_->addValues(*runEntry, tag::kOldRule, {length, location});
        }
        for (const auto& [lookup, entry] : group.lookupEntries)
            lookup->addLink(entry, tag::kInflections, *index_, *runEntry);
    }
    if (count > 0) report(faults_, InfoCode::OldInflectionRules, static_cast<int>(count));
}

bool InflectionIndex::compileGroups() {
    std::vector<IndexEntryId> ruleEntries;
    for (const Rule& rule : rules_) {
        // A form equal to its headword gives the rule without parts, under an empty key.
        const std::optional<IndexEntryId> keyed = index_->addKeyBytes(rule.bytes);
        ruleEntries.push_back(keyed ? *keyed : index_->addUnkeyedEntry());
    }
    uint32_t count = 0;
    for (const Group& group : groups_) {
        if (group.bytes.empty() || group.bytes[0] != kGroupMark) continue;
        ++count;
        const IndexEntryId entry = index_->addUnkeyedEntry();
        for (size_t at = 1; at < group.bytes.size();) {
            const auto rule = readValue(group.bytes, at);
            const auto name = readValue(group.bytes, at);
            if (!rule || !name || *rule >= ruleEntries.size()) {
                report(faults_, ErrorCode::IndexInternal);
                return false;
            }
            index_->addLink(entry, tag::kRule, *index_, ruleEntries[*rule]);
            index_->addValues(entry, tag::kSecondString, {*name});
            index_->addLink(ruleEntries[*rule], tag::kGroup, *index_, entry);
        }
        for (const auto& [lookup, lookupEntry] : group.lookupEntries)
            lookup->addLink(lookupEntry, tag::kInflections, *index_, entry);
    }
    report(faults_, InfoCode::InflectionGroups, static_cast<int>(count));
    return true;
}

bool InflectionIndex::verify() const {
    for (const Group& group : groups_)
        if (!appliesToItsEntries(group)) return false;
    return true;
}

// A new-style group's rules must apply to each key; an old-style rule's first part must end each key.
bool InflectionIndex::appliesToItsEntries(const Group& group) const {
    std::vector<InflectionRule> rules;
    std::u16string oldStyleEnding;
    if (group.bytes.empty()) return true;
    if (group.bytes[0] == kOldStyleMark) {
        const size_t second = group.bytes.find(kOldStyleMark, 1);
        oldStyleEnding = decodeRuleText(std::string_view(group.bytes).substr(1, second - 1), utf8_);
    } else {
        for (size_t at = 1; at < group.bytes.size();) {
            const auto rule = readValue(group.bytes, at);
            const auto name = readValue(group.bytes, at);
            const auto decoded =
                rule && name && *rule < rules_.size() ? decodeRule(rules_[*rule].bytes, utf8_) : std::nullopt;
            if (!decoded) {
                report(faults_, ErrorCode::IndexInternal);
                return false;
            }
            rules.push_back(*decoded);
        }
    }
    for (const auto& [lookup, entry] : group.lookupEntries) {
        const std::u16string key = lookup->readerKey(entry);
        bool applies = group.bytes[0] != kOldStyleMark || key.ends_with(oldStyleEnding);
        for (const InflectionRule& rule : rules) applies = applies && applyRule(key, rule).has_value();
        if (!applies) {
            report(faults_, ErrorCode::InflectionRuleMismatch, lookup->keyText(entry));
            return false;
        }
    }
    return true;
}

}  // namespace qp
