// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/phonetic_form.h"

#include <utility>

namespace qp {

namespace {

std::string normalise(const PhoneticTables& tables, std::string_view key) {
    std::string word;
    for (char raw : key) {
        auto byte = static_cast<uint8_t>(raw);
        uint8_t folded = tables.spl1()[byte];
        if (folded != 0 && tables.spl2()[folded] != 0) {
            word.push_back(static_cast<char>(folded));
        } else if (folded == 0 && tables.spl2()[byte] != 0) {
            word.push_back(raw);
        }
    }
    return word;
}

class RuleMatcher {
public:
    RuleMatcher(const PhoneticTables& tables, std::string_view word) : tables_(tables), word_(word) {}

    const PhoneticRule* find(size_t at) const {
        for (const PhoneticRule& rule : tables_.rulesFor(static_cast<uint8_t>(word_[at])))
            if (matches(rule, at)) return &rule;
        return nullptr;
    }

private:
    bool matches(const PhoneticRule& rule, size_t at) const {
        if (word_.substr(at, rule.matched.size()) != rule.matched) return false;
        auto begin = static_cast<std::ptrdiff_t>(at);
        return fits(rule.left, begin - static_cast<std::ptrdiff_t>(rule.left.size())) &&
               fits(rule.right, begin + static_cast<std::ptrdiff_t>(rule.matched.size()));
    }

    bool fits(std::string_view context, std::ptrdiff_t from) const {
        for (size_t k = 0; k < context.size(); ++k) {
            if (!fitsAt(static_cast<uint8_t>(context[k]), from + static_cast<std::ptrdiff_t>(k))) return false;
        }
        return true;
    }

    bool fitsAt(uint8_t pattern, std::ptrdiff_t position) const {
        auto length = static_cast<std::ptrdiff_t>(word_.size());
        if (position < -1 || position > length) return false;
        if (position == -1 || position == length) return pattern == '$';
        auto letter = static_cast<uint8_t>(word_[static_cast<size_t>(position)]);
        if (pattern == 'A' || pattern == 'C') return tables_.spl2()[letter] == pattern;
        return pattern != '$' && letter == pattern;
    }

    const PhoneticTables& tables_;
    std::string_view word_;
};

class FormWriter {
public:
    explicit FormWriter(const std::array<uint8_t, 256>& classes) : classes_(classes) {}

    void writeStep(std::string_view codes) {
        bool keptCode = false;
        for (char code : codes) {
            uint8_t written = classes_[static_cast<uint8_t>(code)];
            if (written == 0) continue;
            keptCode = true;
            if (written != previous_) form_.push_back(static_cast<char>(written));
            previous_ = written;
        }
        if (!keptCode) previous_ = 0;
    }

    std::string take() {
        if (form_.size() > kLongestPhoneticForm) form_.resize(kLongestPhoneticForm);
        return std::move(form_);
    }

private:
    const std::array<uint8_t, 256>& classes_;
    std::string form_;
    uint8_t previous_ = 0;  // 0: no code before, or a step without code
};

}  // namespace

std::string phoneticForm(const PhoneticTables& tables, std::string_view key) {
    std::string word = normalise(tables, key);
    RuleMatcher matcher(tables, word);
    FormWriter writer(tables.spl5());
    for (size_t at = 0; at < word.size();) {
        if (const PhoneticRule* rule = matcher.find(at)) {
            writer.writeStep(rule->replacement);
            at += rule->matched.size();
        } else {
            char sound = static_cast<char>(tables.spl4()[static_cast<uint8_t>(word[at])]);
            writer.writeStep(sound != 0 ? std::string_view(&sound, 1) : std::string_view());
            ++at;
        }
    }
    return writer.take();
}

}  // namespace qp
