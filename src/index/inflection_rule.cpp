// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/inflection_rule.h"

#include <algorithm>
#include <vector>

#include "core/unicode.h"

namespace qp {

namespace {

constexpr char kPutInFront = 1;
constexpr char kAddEnding = 2;
constexpr char kTakeOffEnding = 3;
constexpr char kTakeOffBeginning = 4;

bool isCode(char16_t unit) { return unit >= kPutInFront && unit <= kTakeOffBeginning; }

bool sameFolded(char16_t a, char16_t b, FoldFunction fold) { return a == b || fold(a) == fold(b); }

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Whether a rule cut at `position` would split a surrogate pair: a reader works on whole characters.
bool splitsPair(std::u16string_view text, size_t position) {
    return position > 0 && position < text.size() && isHighSurrogate(text[position - 1]) &&
           isLowSurrogate(text[position]);
}

// Where the character that ends at `end` begins.
size_t characterBefore(std::u16string_view text, size_t end) { return splitsPair(text, end - 1) ? end - 2 : end - 1; }

size_t commonBeginning(std::u16string_view key, std::u16string_view form, FoldFunction fold) {
    size_t length = 0;
    while (length < key.size() && length < form.size() && sameFolded(key[length], form[length], fold)) ++length;
    while (splitsPair(key, length) || splitsPair(form, length)) --length;
    return length;
}

// Characters last first; a surrogate pair stays in order, since it is one character.
std::u16string reversedCharacters(std::u16string_view text) {
    std::u16string reversed;
    reversed.reserve(text.size());
    for (size_t end = text.size(); end > 0;) {
        const size_t start = characterBefore(text, end);
        reversed.append(text.substr(start, end - start));
        end = start;
    }
    return reversed;
}

struct CommonRun {
    size_t inKey = 0;
    size_t inForm = 0;
    size_t length = 0;
};

// The longest common run by dynamic programming over the suffix lengths, one row at a time; ties go to the
// run that starts first in the key, then in the form.
CommonRun longestCommonRun(std::u16string_view key, std::u16string_view form, FoldFunction fold) {
    CommonRun best;
    std::vector<size_t> previous(form.size() + 1, 0);
    std::vector<size_t> current(form.size() + 1, 0);
    for (size_t i = 1; i <= key.size(); ++i) {
        for (size_t j = 1; j <= form.size(); ++j) {
            current[j] = sameFolded(key[i - 1], form[j - 1], fold) ? previous[j - 1] + 1 : 0;
            if (current[j] > best.length) best = {i - current[j], j - current[j], current[j]};
        }
        std::swap(previous, current);
    }
    if (best.length > 0 && (splitsPair(key, best.inKey) || splitsPair(form, best.inForm))) {
        ++best.inKey;
        ++best.inForm;
        --best.length;
    }
    if (best.length > 0 && (splitsPair(key, best.inKey + best.length) || splitsPair(form, best.inForm + best.length)))
        --best.length;
    return best;
}

}  // namespace

InflectionRule inflectionRule(std::u16string_view key, std::u16string_view form, FoldFunction fold) {
    InflectionRule rule;
    const size_t common = commonBeginning(key, form, fold);
    if (common == key.size() && common == form.size()) return rule;
    if (common > 0) {
        const size_t lastCommon = characterBefore(key, common);
        const size_t from = lastCommon > 0 ? lastCommon : common;
        rule.takeOffEnding = key.substr(from);
        rule.addEnding = form.substr(from);
        return rule;
    }
    const CommonRun run = longestCommonRun(key, form, fold);
    if (run.length == 0) {
        rule.takeOffEnding = key;
        rule.addEnding = form;
        return rule;
    }
    // The beginnings differ; the boundary character joins both unless the run is a single character, which
    // the ending's boundary takes.
    const size_t firstWidth = splitsPair(key, run.inKey + 1) ? 2 : 1;
    const size_t boundary = run.length > firstWidth ? firstWidth : 0;
    rule.putInFront = form.substr(0, run.inForm + boundary);
    rule.takeOffBeginning = key.substr(0, run.inKey + boundary);
    const size_t keyTail = run.inKey + run.length;
    const size_t formTail = run.inForm + run.length;
    if (keyTail < key.size() || formTail < form.size()) {
        rule.takeOffEnding = key.substr(characterBefore(key, keyTail));
        rule.addEnding = form.substr(characterBefore(form, formTail));
    }
    return rule;
}

std::optional<std::u16string> applyRule(std::u16string_view key, const InflectionRule& rule) {
    const size_t front = rule.takeOffBeginning.size();
    const size_t back = rule.takeOffEnding.size();
    if (front + back > key.size() || !key.starts_with(rule.takeOffBeginning) || !key.ends_with(rule.takeOffEnding))
        return std::nullopt;
    return rule.putInFront + std::u16string(key.substr(front, key.size() - front - back)) + rule.addEnding;
}

std::optional<std::string> encodeRuleText(std::u16string_view text, bool utf8) {
    if (std::any_of(text.begin(), text.end(), isCode)) return std::nullopt;
    if (utf8) return utf16ToUtf8(text);
    std::string bytes;
    for (char16_t unit : text) {
        if (unit > 0xFF) return std::nullopt;
        bytes.push_back(static_cast<char>(unit));
    }
    return bytes;
}

std::u16string decodeRuleText(std::string_view bytes, bool utf8) {
    if (utf8) return utf8ToUtf16(bytes);
    std::u16string units;
    for (char byte : bytes) units.push_back(static_cast<uint8_t>(byte));
    return units;
}

std::optional<std::string> encodeRule(const InflectionRule& rule, bool utf8) {
    std::string bytes;
    auto append = [&](char code, std::u16string_view characters, bool reversed) {
        if (characters.empty()) return true;
        const std::u16string ordered = reversed ? reversedCharacters(characters) : std::u16string(characters);
        const std::optional<std::string> text = encodeRuleText(ordered, utf8);
        if (!text) return false;
        bytes.push_back(code);
        bytes += *text;
        return true;
    };
    if (!append(kPutInFront, rule.putInFront, false) || !append(kTakeOffBeginning, rule.takeOffBeginning, false) ||
        !append(kAddEnding, rule.addEnding, true) || !append(kTakeOffEnding, rule.takeOffEnding, true))
        return std::nullopt;
    return bytes;
}

std::optional<InflectionRule> decodeRule(std::string_view bytes, bool utf8) {
    InflectionRule rule;
    size_t i = 0;
    while (i < bytes.size()) {
        const char code = bytes[i++];
        if (!isCode(static_cast<uint8_t>(code))) return std::nullopt;
        size_t end = i;
        while (end < bytes.size() && !isCode(static_cast<uint8_t>(bytes[end]))) ++end;
        std::u16string characters = decodeRuleText(bytes.substr(i, end - i), utf8);
        i = end;
        switch (code) {
            case kPutInFront: rule.putInFront = characters; break;
            case kTakeOffBeginning: rule.takeOffBeginning = characters; break;
            case kAddEnding: rule.addEnding = reversedCharacters(characters); break;
            default: rule.takeOffEnding = reversedCharacters(characters); break;
        }
    }
    return rule;
}

std::optional<OldStyleRule> oldStyleRule(std::u16string_view key, std::u16string_view form, FoldFunction fold) {
    size_t common = commonBeginning(key, form, fold);
    if (common == key.size() && common == form.size()) return std::nullopt;
    if (common == form.size() && common > 0) --common;  // the form is the beginning of the key
    if (common < 2) return std::nullopt;
    auto remainder = [common](std::u16string_view text) {
        std::u16string part(text.substr(common));
        std::replace(part.begin(), part.end(), u'\0', u' ');
        return part;
    };
    return OldStyleRule{remainder(key), remainder(form)};
}

std::optional<std::string> encodeOldStyleRule(const OldStyleRule& rule, std::optional<unsigned> number, bool utf8) {
    const std::optional<std::string> first = encodeRuleText(rule.first, utf8);
    const std::optional<std::string> second = encodeRuleText(rule.second, utf8);
    if (!first || !second) return std::nullopt;
    std::string bytes(1, '\0');
    bytes += *first;
    bytes.push_back('\0');
    bytes += *second;
    if (number) {
        bytes.push_back('\0');
        bytes += std::to_string(*number);
    }
    return bytes;
}

}  // namespace qp
