// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonetic_form.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace kova {

namespace {

constexpr size_t kFormLimit = 255;
constexpr uint16_t kNoRule = 0xFFFF;

// One rule of SPL3: four fields, and where the next rule begins.
struct Rule {
    ByteView fields[4];  // left context, matched letters, right context, replacement
    size_t next = 0;

    ByteView left() const { return fields[0]; }
    ByteView matched() const { return fields[1]; }
    ByteView right() const { return fields[2]; }
    ByteView replacement() const { return fields[3]; }
};

int digitAt(ByteView text, size_t at) {
    uint8_t b = text.u8(at);
    return text.fits(at, 1) && b >= '0' && b <= '9' ? b - '0' : -1;
}

bool holdsLengthDigit(ByteView field) {
    for (size_t k = 0; k < field.size(); ++k) {
        if (field.u8(k) >= '1' && field.u8(k) <= '8') return true;
    }
    return false;
}

std::optional<Rule> ruleAt(ByteView text, size_t at) {
    int total = digitAt(text, at++);
    if (total < 0) return std::nullopt;
    Rule rule;
    int sum = 0;
    for (ByteView& field : rule.fields) {
        int length = digitAt(text, at++);
        if (length < 0 || !text.fits(at, static_cast<size_t>(length))) return std::nullopt;
        field = text.sub(at, static_cast<size_t>(length));
        at += static_cast<size_t>(length);
        sum += length;
    }
    if (sum != total) return std::nullopt;
    for (ByteView field : rule.fields) {
        if (holdsLengthDigit(field)) return std::nullopt;
    }
    uint8_t first = rule.matched().u8(0);
    if (rule.matched().empty() || (first >= 'A' && first <= 'Z') || first == '$') return std::nullopt;
    rule.next = at;
    return rule;
}

class Speller {
public:
    explicit Speller(const SpellTables& tables) : t_(tables) {}

    std::string formOf(std::string_view word) {
        normalise(word);
        size_t i = 0;
        while (i < letters_.size()) {
            std::optional<Rule> rule = ruleFor(i);
            if (rule) {
                writeCodes(rule->replacement());
                i += rule->matched().size();
            } else {
                uint8_t sound = t_.spl4.u8(letters_[i]);
                writeCodes(sound != 0 ? ByteView(&sound, 1) : ByteView());
                i += 1;
            }
        }
        if (form_.size() > kFormLimit) form_.resize(kFormLimit);
        return form_;
    }

private:
    bool isLetter(uint8_t b) const { return t_.spl2.u8(b) != 0; }

    void normalise(std::string_view word) {
        for (char ch : word) {
            auto b = static_cast<uint8_t>(ch);
            uint8_t value = t_.spl1.u8(b);
            if (value != 0) {
                if (isLetter(value)) letters_.push_back(value);
            } else if (isLetter(b)) {
                letters_.push_back(b);
            }
        }
    }

    std::optional<Rule> ruleFor(size_t i) const {
        uint8_t c = letters_[i];
        if (!t_.spl6.fits(2 * size_t{c}, 2)) return std::nullopt;
        size_t at = t_.spl6.u16(2 * size_t{c});
        if (at == kNoRule) return std::nullopt;
        while (at < t_.spl3.size()) {
            std::optional<Rule> rule = ruleAt(t_.spl3, at);
            if (!rule || rule->matched().u8(0) != c) return std::nullopt;
            if (applies(*rule, i)) return rule;
            at = rule->next;
        }
        return std::nullopt;
    }

    bool applies(const Rule& rule, size_t i) const {
        ByteView m = rule.matched();
        if (m.size() > letters_.size() - i) return false;
        for (size_t k = 0; k < m.size(); ++k) {
            if (letters_[i + k] != m.u8(k)) return false;
        }
        long n = static_cast<long>(letters_.size());
        long leftStart = static_cast<long>(i) - static_cast<long>(rule.left().size());
        long rightStart = static_cast<long>(i + m.size());
        for (size_t k = 0; k < rule.left().size(); ++k) {
            if (!fits(rule.left().u8(k), leftStart + static_cast<long>(k), n)) return false;
        }
        for (size_t k = 0; k < rule.right().size(); ++k) {
            if (!fits(rule.right().u8(k), rightStart + static_cast<long>(k), n)) return false;
        }
        return true;
    }

    // Whether a context character fits the word at a position; -1 and n are the word's boundaries.
    bool fits(uint8_t want, long position, long n) const {
        if (position == -1 || position == n) return want == '$';
        if (position < -1 || position > n || want == '$') return false;
        uint8_t letter = letters_[static_cast<size_t>(position)];
        if (want == 'A' || want == 'C') return t_.spl2.u8(letter) == want;
        return letter == want;
    }

    void writeCodes(ByteView codes) {
        bool wroteAny = false;
        for (size_t k = 0; k < codes.size(); ++k) {
            uint8_t cls = t_.spl5.u8(codes.u8(k));
            if (cls == 0) continue;
            wroteAny = true;
            if (cls != last_) form_.push_back(static_cast<char>(cls));
            last_ = cls;
        }
        if (!wroteAny) last_ = 0;
    }

    const SpellTables& t_;
    std::vector<uint8_t> letters_;
    std::string form_;
    uint8_t last_ = 0;
};

}  // namespace

std::string phoneticForm(const SpellTables& tables, std::string_view word) { return Speller(tables).formOf(word); }

}  // namespace kova
