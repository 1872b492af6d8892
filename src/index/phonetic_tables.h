// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The spell-checker tables of one index, set up for the index's language, as the index header record carries
// them: SPL1 the normalising table (the western ordering table), SPL2 the letter classes, SPL3 the rule string,
// SPL4 the sound map and SPL5 the class map of the language, SPL6 the offset of the first rule of each byte;
// and the header fields that go with them. How a word becomes its phonetic form from these tables alone is
// described in phonetic_form.h; the rule grammar and checks in phonetic_rules.h; the maps in
// phonetic_languages.h.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "index/phonetic_languages.h"
#include "index/phonetic_rules.h"

namespace qp {

class PhoneticTables {
public:
    // Header fields from offset 88 to 144: 65 and 90 (the capitals "A" to "Z"), 36, the eleven rule facts
    // (PhoneticRuleFacts, in their order), 4.
    static constexpr size_t kHeaderFieldCount = 15;

    PhoneticTables() = default;
    // The rules read from the rule string point into it: the tables stay where they were set up.
    PhoneticTables(const PhoneticTables&) = delete;
    PhoneticTables& operator=(const PhoneticTables&) = delete;

    // Sets the tables up for a language code; only its primary language counts. A language without phonetic
    // data of its own gets the English data, and fellBackToEnglish() tells the caller to warn. False when the
    // rule string fails its checks (ruleFault() says which): the index build then fails.
    bool setUp(uint32_t language);
    // Sets the tables up from the given data; false when its rule string fails the checks.
    bool setUp(const PhoneticLanguage& data);

    bool fellBackToEnglish() const { return fellBackToEnglish_; }
    PhoneticRuleFault ruleFault() const { return ruleFault_; }

    const std::array<uint8_t, 256>& spl1() const;
    const std::array<uint8_t, 256>& spl2() const { return letterClasses_; }
    std::string_view spl3() const { return rules_; }
    const std::array<uint8_t, 256>& spl4() const { return sounds_; }
    const std::array<uint8_t, 256>& spl5() const { return classes_; }
    const std::array<uint8_t, 512>& spl6() const { return firstRules_; }  // big-endian 16-bit offsets

    std::array<uint32_t, kHeaderFieldCount> headerFields() const;

    // The rules whose matched letters begin with a byte, in the order of the rule string (read once, as SPL6
    // leads a reader to them).
    const std::vector<PhoneticRule>& rulesFor(uint8_t byte) const { return rulesByFirstByte_[byte]; }

private:
    bool fellBackToEnglish_ = false;
    PhoneticRuleFault ruleFault_ = PhoneticRuleFault::none;
    std::string rules_;
    std::array<uint8_t, 256> letterClasses_{};
    std::array<uint8_t, 256> sounds_{};
    std::array<uint8_t, 256> classes_{};
    std::array<uint8_t, 512> firstRules_{};
    PhoneticRuleFacts ruleFacts_;
    std::array<std::vector<PhoneticRule>, 256> rulesByFirstByte_;
};

}  // namespace qp
