// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/phonetic_rules.h"

#include <algorithm>

namespace qp {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool holdsLengthDigit(std::string_view field) {
    return std::any_of(field.begin(), field.end(), [](char c) { return c >= '1' && c <= '8'; });
}

bool testsBoundary(const PhoneticRule& rule) {
    return rule.left.find('$') != std::string_view::npos || rule.right.find('$') != std::string_view::npos;
}

void addToFacts(PhoneticRuleFacts& facts, const PhoneticRule& rule, uint32_t groupSize) {
    auto longest = [](uint32_t& fact, size_t length) { fact = std::max(fact, static_cast<uint32_t>(length)); };
    ++facts.ruleCount;
    longest(facts.longestLeftContext, rule.left.size());
    longest(facts.longestMatch, rule.matched.size());
    longest(facts.longestRightContext, rule.right.size());
    longest(facts.longestReplacement, rule.replacement.size());
    longest(facts.largestGroup, groupSize);
    if (!rule.left.empty()) ++facts.leftContextRules;
    if (!rule.right.empty()) ++facts.rightContextRules;
    if (testsBoundary(rule)) ++facts.boundaryRules;
    if (rule.replacement.empty()) ++facts.silentRules;
}

}  // namespace

std::array<uint32_t, 11> PhoneticRuleFacts::values() const {
    return {ruleCount,           firstByteCount,     longestLeftContext, longestMatch,
            longestRightContext, longestReplacement, leftContextRules,   rightContextRules,
            boundaryRules,       silentRules,        largestGroup};
}

PhoneticRuleFault readPhoneticRule(std::string_view rules, size_t offset, PhoneticRule& rule) {
    size_t at = offset;
    auto readLength = [&](size_t& length) {
        if (at >= rules.size()) return PhoneticRuleFault::runsPastEnd;
        if (!isDigit(rules[at])) return PhoneticRuleFault::lengthNotDigit;
        length = static_cast<size_t>(rules[at++] - '0');
        return PhoneticRuleFault::none;
    };
    size_t total = 0;
    if (PhoneticRuleFault fault = readLength(total); fault != PhoneticRuleFault::none) return fault;
    size_t sum = 0;
    for (std::string_view* field : {&rule.left, &rule.matched, &rule.right, &rule.replacement}) {
        size_t length = 0;
        if (PhoneticRuleFault fault = readLength(length); fault != PhoneticRuleFault::none) return fault;
        if (length > rules.size() - at) return PhoneticRuleFault::runsPastEnd;
        *field = rules.substr(at, length);
        at += length;
        sum += length;
    }
    if (sum != total) return PhoneticRuleFault::lengthsDoNotAddUp;
    for (std::string_view field : {rule.left, rule.matched, rule.right, rule.replacement}) {
        if (holdsLengthDigit(field)) return PhoneticRuleFault::digitInField;
    }
    if (rule.matched.empty() || (rule.matched[0] >= 'A' && rule.matched[0] <= 'Z') || rule.matched[0] == '$') {
        return PhoneticRuleFault::badMatchedLetters;
    }
    rule.size = at - offset;
    return PhoneticRuleFault::none;
}

PhoneticRuleFault indexPhoneticRules(std::string_view rules, PhoneticRuleIndex& index) {
    index = {};
    index.firstRule.fill(kNoPhoneticRule);
    uint8_t groupByte = 0;
    uint32_t groupSize = 0;
    for (size_t offset = 0; offset < rules.size();) {
        if (offset >= kNoPhoneticRule) return PhoneticRuleFault::beyondTableReach;
        PhoneticRule rule;
        if (PhoneticRuleFault fault = readPhoneticRule(rules, offset, rule); fault != PhoneticRuleFault::none) {
            return fault;
        }
        auto first = static_cast<uint8_t>(rule.matched[0]);
        if (groupSize == 0 || first != groupByte) {
            if (index.firstRule[first] != kNoPhoneticRule) return PhoneticRuleFault::scatteredRules;
            index.firstRule[first] = static_cast<uint16_t>(offset);
            ++index.facts.firstByteCount;
            groupByte = first;
            groupSize = 0;
        }
        addToFacts(index.facts, rule, ++groupSize);
        offset += rule.size;
    }
    return PhoneticRuleFault::none;
}

}  // namespace qp
