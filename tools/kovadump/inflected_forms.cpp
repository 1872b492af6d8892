// SPDX-License-Identifier: GPL-3.0-or-later
#include "inflected_forms.h"

#include <algorithm>

#include "text_encoding.h"

namespace kova {

namespace {

constexpr uint8_t tagInflections = 42;
constexpr uint8_t tagRule = 26;
constexpr uint8_t tagOldRule = 7;
constexpr uint8_t tagNumberedOldRule = 11;

using Characters = std::vector<uint32_t>;

std::string utf8Of(const Characters& characters) {
    std::string text;
    for (uint32_t c : characters) appendUtf8(text, c);
    return text;
}

std::string quoted(const Characters& characters) { return "\"" + utf8Of(characters) + "\""; }

// Bytes of the inflection index (windows-1252 or UTF-8) as characters; nothing for malformed UTF-8.
std::optional<Characters> charactersOf(const std::vector<uint8_t>& bytes, uint32_t codePage) {
    if (codePage == codePageUtf8) return utf8Characters(std::string(bytes.begin(), bytes.end()));
    Characters characters;
    for (uint8_t byte : bytes) characters.push_back(characterOf1252(byte));
    return characters;
}

// The key of a lookup entry as a device decodes it: folds of a UTF-16 index's positions, else the bytes.
Characters decodedKey(const BookIndex& lookup, const IndexKey& key) {
    if (lookup.keyForm() == KeyForm::bytes)
        return charactersOf(key.bytes, lookup.codePage()).value_or(Characters{replacementCharacter});
    Characters characters;
    for (uint16_t position : key.units)
        characters.push_back(position < lookup.tables.folds.size() ? lookup.tables.folds[position]
                                                                   : replacementCharacter);
    return characters;
}

struct RulePart {
    uint8_t code = 0;
    Characters characters;  // as written
};

std::optional<std::vector<RulePart>> ruleParts(const Characters& rule) {
    std::vector<RulePart> parts;
    for (uint32_t c : rule) {
        if (c >= 1 && c <= 4) {
            parts.push_back({static_cast<uint8_t>(c), {}});
        } else if (parts.empty()) {
            return std::nullopt;
        } else {
            parts.back().characters.push_back(c);
        }
    }
    return parts;
}

// Applies the parts with the two cursors; on a mismatch, says what the rule took off against what was there.
std::optional<Characters> applyParts(Characters word, const std::vector<RulePart>& parts, std::string& mismatch) {
    size_t front = 0;
    size_t end = word.size();
    // The character at `at` (before the end cursor) must be the one the rule takes off.
    auto differs = [&](size_t at, uint32_t expected) {
        const bool left = front < end;
        if (left && word[at] == expected) return false;
        mismatch = "it takes off " + quoted({expected}) + " where the key has " +
                   (left ? quoted({word[at]}) : std::string("nothing"));
        return true;
    };
    for (const RulePart& part : parts) {
        for (uint32_t c : part.characters) {
            switch (part.code) {
                case 1:
                    word.insert(word.begin() + static_cast<std::ptrdiff_t>(front++), c);
                    ++end;
                    break;
                case 4:
                    if (differs(front, c)) return std::nullopt;
                    word.erase(word.begin() + static_cast<std::ptrdiff_t>(front));
                    --end;
                    break;
                case 2: word.insert(word.begin() + static_cast<std::ptrdiff_t>(end), c); break;
                default:
                    if (differs(end - 1, c)) return std::nullopt;
                    word.erase(word.begin() + static_cast<std::ptrdiff_t>(--end));
                    break;
            }
        }
    }
    return word;
}

}  // namespace

std::optional<std::vector<uint32_t>> applyInflectionRule(const std::vector<uint32_t>& key, const BookIndex& inflections,
                                                         size_t rule, std::string& problem) {
    if (rule >= inflections.entries.size()) {
        problem = "lies beyond the inflection index";
        return std::nullopt;
    }
    const std::optional<Characters> text = charactersOf(inflections.entries[rule].key.bytes, inflections.codePage());
    if (!text) {
        problem = "is not well-formed UTF-8";
        return std::nullopt;
    }
    const std::optional<std::vector<RulePart>> parts = ruleParts(*text);
    if (!parts) {
        problem = "does not begin with a code byte 1 to 4";
        return std::nullopt;
    }
    std::string mismatch;
    std::optional<Characters> form = applyParts(key, *parts, mismatch);
    if (!form) problem = "does not apply: " + mismatch;
    return form;
}

namespace {

class FormMaker {
public:
    FormMaker(const BookIndex& lookup, const BookIndex& inflections, InflectedForms& out)
        : lookup_(lookup), inflections_(inflections), out_(out) {}

    void entry(size_t rank) {
        const TagValues* groups = lookup_.entries[rank].tag(tagInflections);
        if (!groups) return;
        const Characters key = decodedKey(lookup_, lookup_.entries[rank].key);
        for (uint32_t group : groups->column(0)) {
            if (group >= inflections_.entries.size()) {
                fault(rank, key,
                      "names inflection group " + std::to_string(group) + ", beyond the " +
                          std::to_string(inflections_.entries.size()) + " entries of the inflection index");
                continue;
            }
            const IndexEntry& groupEntry = inflections_.entries[group];
            if (const TagValues* rules = groupEntry.tag(tagRule)) {
                for (uint32_t rule : rules->column(0)) applyRule(rank, key, group, rule);
            } else {
                applyOldStyle(rank, key, group, groupEntry);
            }
        }
    }

private:
    void fault(size_t rank, const Characters& key, const std::string& what) {
        out_.faults.push_back(lookup_.label() + ": entry " + std::to_string(rank) + " (key " + quoted(key) +
                              "): " + what);
    }

    void applyRule(size_t rank, const Characters& key, size_t group, uint32_t rule) {
        std::string problem;
        const std::optional<Characters> form = applyInflectionRule(key, inflections_, rule, problem);
        if (!form) {
            fault(rank, key,
                  "inflection rule " + std::to_string(rule) + " of group " + std::to_string(group) + " " + problem);
            return;
        }
        out_.forms.push_back({rank, group, rule, *form});
    }

    void applyOldStyle(size_t rank, const Characters& key, size_t group, const IndexEntry& groupEntry) {
        const TagValues* pairs = groupEntry.tag(tagOldRule);
        const TagValues* triples = groupEntry.tag(tagNumberedOldRule);
        if (!pairs && !triples) {
            fault(rank, key, "names inflection group " + std::to_string(group) + ", which holds no rule");
            return;
        }
        const Characters ending =
            charactersOf(groupEntry.key.bytes, inflections_.codePage()).value_or(Characters{replacementCharacter});
        if (ending.size() > key.size() || !std::equal(ending.begin(), ending.end(), key.end() - ending.size())) {
            fault(rank, key,
                  "old-style group " + std::to_string(group) + " does not apply: the key does not end with " +
                      quoted(ending));
            return;
        }
        for (const TagValues* tag : {pairs, triples}) {
            if (!tag) continue;
            for (uint32_t location : tag->column(1)) {
                const std::optional<std::string> second = inflections_.stringAt(location);
                if (!second) continue;  // the index check reports locations outside the string records
                Characters form(key.begin(), key.end() - static_cast<std::ptrdiff_t>(ending.size()));
                const Characters added = charactersOf({second->begin(), second->end()}, inflections_.codePage())
                                             .value_or(Characters{replacementCharacter});
                form.insert(form.end(), added.begin(), added.end());
                out_.forms.push_back({rank, group, std::nullopt, form});
            }
        }
    }

    const BookIndex& lookup_;
    const BookIndex& inflections_;
    InflectedForms& out_;
};

}  // namespace

std::string InflectedForm::text() const { return utf8Of(characters); }

InflectedForms inflectedForms(const BookIndex& lookup, const BookIndex& inflections) {
    InflectedForms result;
    FormMaker maker(lookup, inflections, result);
    for (size_t rank = 0; rank < lookup.entries.size(); ++rank) maker.entry(rank);
    return result;
}

std::vector<std::string> listedInflectionFaults(const BookIndex& lookup, const InflectedForms& forms) {
    // A broken rule fails many entries alike: the first few name them, a last line counts the rest.
    constexpr size_t listed = 10;
    const std::vector<std::string>& found = forms.faults;
    std::vector<std::string> faults(found.begin(),
                                    found.begin() + static_cast<std::ptrdiff_t>(std::min(listed, found.size())));
    if (found.size() > listed)
        faults.push_back(lookup.label() + ": " + std::to_string(found.size() - listed) +
                         " more entries whose inflections do not apply");
    return faults;
}

}  // namespace kova
