#include "index/inflection_rule.h"

#include <algorithm>
#include <vector>

namespace qp {

namespace {

constexpr char kPutInFront = 1;
constexpr char kAddEnding = 2;
constexpr char kTakeOffEnding = 3;
constexpr char kTakeOffBeginning = 4;

struct CommonRun {
    size_t inHeadword = 0;
    size_t inForm = 0;
    size_t length = 0;
};

// The longest common run by dynamic programming over the suffix lengths, one row at a time.
CommonRun longestCommonRun(std::string_view headword, std::string_view form) {
    CommonRun best;
    std::vector<size_t> previous(form.size() + 1, 0);
    std::vector<size_t> current(form.size() + 1, 0);
    for (size_t i = 1; i <= headword.size(); ++i) {
        for (size_t j = 1; j <= form.size(); ++j) {
            current[j] = headword[i - 1] == form[j - 1] ? previous[j - 1] + 1 : 0;
            if (current[j] > best.length) best = {i - current[j], j - current[j], current[j]};
        }
        std::swap(previous, current);
    }
    return best;
}

void appendPart(std::string& rule, char code, std::string_view characters, bool reversed) {
    if (characters.empty()) return;
    rule.push_back(code);
    if (reversed) {
        rule.append(characters.rbegin(), characters.rend());
    } else {
        rule.append(characters);
    }
}

// The parts of a rule as (code, characters in reading order).
struct RuleParts {
    std::string putInFront;
    std::string takeOffBeginning;
    std::string addEnding;
    std::string takeOffEnding;
};

std::optional<RuleParts> partsOf(std::string_view rule) {
    RuleParts parts;
    size_t i = 0;
    while (i < rule.size()) {
        const char code = rule[i++];
        size_t end = i;
        while (end < rule.size() && (rule[end] < kPutInFront || rule[end] > kTakeOffBeginning)) ++end;
        std::string characters(rule.substr(i, end - i));
        i = end;
        switch (code) {
            case kPutInFront: parts.putInFront = characters; break;
            case kTakeOffBeginning: parts.takeOffBeginning = characters; break;
            case kAddEnding: parts.addEnding.assign(characters.rbegin(), characters.rend()); break;
            case kTakeOffEnding: parts.takeOffEnding.assign(characters.rbegin(), characters.rend()); break;
            default: return std::nullopt;
        }
    }
    return parts;
}

}  // namespace

std::string inflectionRule(std::string_view headword, std::string_view form) {
    if (headword == form) return {};
    const CommonRun run = longestCommonRun(headword, form);
    std::string rule;
    if (run.length == 0) {
        appendPart(rule, kAddEnding, form, true);
        appendPart(rule, kTakeOffEnding, headword, true);
        return rule;
    }
    // The beginnings differ when either text has characters before the run; the boundary character joins both
    // unless the run is a single character, which the ending's boundary takes.
    if (run.inHeadword > 0 || run.inForm > 0) {
        const size_t boundary = run.length >= 2 ? 1 : 0;
        appendPart(rule, kPutInFront, form.substr(0, run.inForm + boundary), false);
        appendPart(rule, kTakeOffBeginning, headword.substr(0, run.inHeadword + boundary), false);
    }
    const size_t headwordTail = run.inHeadword + run.length;
    const size_t formTail = run.inForm + run.length;
    if (headwordTail < headword.size() || formTail < form.size()) {
        appendPart(rule, kAddEnding, form.substr(formTail - 1), true);
        appendPart(rule, kTakeOffEnding, headword.substr(headwordTail - 1), true);
    }
    return rule;
}

std::optional<std::string> headwordOf(std::string_view form, std::string_view rule) {
    const std::optional<RuleParts> parts = partsOf(rule);
    if (!parts || !form.starts_with(parts->putInFront) || !form.ends_with(parts->addEnding) ||
        parts->putInFront.size() + parts->addEnding.size() > form.size()) {
        return std::nullopt;
    }
    const std::string_view stem =
        form.substr(parts->putInFront.size(), form.size() - parts->putInFront.size() - parts->addEnding.size());
    return parts->takeOffBeginning + std::string(stem) + parts->takeOffEnding;
}

std::optional<std::string> oldStyleRule(std::string_view first, std::string_view second,
                                        std::optional<unsigned> number) {
    if (first == second) return std::nullopt;
    size_t common = 0;
    while (common < first.size() && common < second.size() && first[common] == second[common]) ++common;
    if (common == second.size() && common > 0) --common;  // the second text is the beginning of the first
    if (common < 2) return std::nullopt;
    auto remainder = [](std::string_view text) {
        std::string part(text);
        std::replace(part.begin(), part.end(), '\0', ' ');
        return part;
    };
    std::string rule(1, '\0');
    rule += remainder(first.substr(common));
    rule.push_back('\0');
    rule += remainder(second.substr(common));
    if (number) {
        rule.push_back('\0');
        rule += std::to_string(*number);
    }
    return rule;
}

}  // namespace qp
