// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/phonetic_tables.h"

#include <algorithm>

#include "core/big_endian.h"
#include "index/phonetic_letter_classes.h"
#include "index/western_ordering.h"

namespace qp {

namespace {

std::array<uint8_t, 256> byteMap(std::string_view pairs) {
    std::array<uint8_t, 256> map{};
    for (size_t at = 0; at + 1 < pairs.size(); at += 2) {
        map[static_cast<uint8_t>(pairs[at])] = static_cast<uint8_t>(pairs[at + 1]);
    }
    return map;
}

}  // namespace

bool PhoneticTables::setUp(uint32_t language) {
    const PhoneticLanguage* data = findPhoneticLanguage(language);
    bool ready = setUp(data != nullptr ? *data : englishPhonetics());
    fellBackToEnglish_ = data == nullptr;
    return ready;
}

bool PhoneticTables::setUp(const PhoneticLanguage& data) {
    fellBackToEnglish_ = false;
    rules_.clear();
    firstRules_ = {};
    for (std::vector<PhoneticRule>& rules : rulesByFirstByte_) rules.clear();
    PhoneticRuleIndex index;
    ruleFault_ = indexPhoneticRules(data.rules, index);
    if (ruleFault_ != PhoneticRuleFault::none) return false;
    rules_ = data.rules;
    letterClasses_ = phoneticLetterClasses();
    sounds_ = byteMap(data.sounds);
    classes_ = byteMap(data.classes);
    for (size_t byte = 0; byte < index.firstRule.size(); ++byte) {
        putBigEndian16(firstRules_.data() + 2 * byte, index.firstRule[byte]);
    }
    ruleFacts_ = index.facts;
    // The rules of a byte stand together from its first rule on; the string passed its checks above.
    for (size_t byte = 0; byte < index.firstRule.size(); ++byte) {
        if (index.firstRule[byte] == kNoPhoneticRule) continue;
        PhoneticRule rule;
        for (size_t next = index.firstRule[byte]; next < rules_.size(); next += rule.size) {
            if (readPhoneticRule(rules_, next, rule) != PhoneticRuleFault::none ||
                static_cast<uint8_t>(rule.matched[0]) != byte)
                break;
            rulesByFirstByte_[byte].push_back(rule);
        }
    }
    return true;
}

const std::array<uint8_t, 256>& PhoneticTables::spl1() const { return kWesternOrderingTable; }

std::array<uint32_t, PhoneticTables::kHeaderFieldCount> PhoneticTables::headerFields() const {
    std::array<uint32_t, kHeaderFieldCount> fields{65, 90, 36};
    std::array<uint32_t, 11> facts = ruleFacts_.values();
    std::copy(facts.begin(), facts.end(), fields.begin() + 3);
    fields.back() = 4;
    return fields;
}

}  // namespace qp
