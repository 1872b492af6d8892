// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordnet.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace wordnet {

namespace {

const std::string kDatabase = "/usr/share/wordnet/";

const char* fileSuffix(Part part) {
    switch (part) {
        case Part::Noun: return "noun";
        case Part::Verb: return "verb";
        case Part::Adjective: return "adj";
        case Part::Adverb: return "adv";
    }
    return "";
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string spaced(std::string word) {
    std::replace(word.begin(), word.end(), '_', ' ');
    return word;
}

// A synset line of data.*: offset, file number, type, word count (hexadecimal), words with their lexical ids,
// a pointer count and pointers (symbol, offset, part of speech, source/target), then "| " and the gloss. A
// hypernym pointer ("@", or "@i" for an instance) names the broader synset.
struct Synset {
    std::vector<std::string> words;
    std::string gloss;
    size_t broader = 0;  // offset of the hypernym in the same file, 0 when none
};

Synset synsetAt(const std::string& data, size_t offset) {
    Synset synset;
    const size_t end = data.find('\n', offset);
    if (offset >= data.size() || end == std::string::npos) return synset;
    const std::string line = data.substr(offset, end - offset);
    std::istringstream fields(line);
    std::string skip, count;
    fields >> skip >> skip >> skip >> count;
    const unsigned long words = std::strtoul(count.c_str(), nullptr, 16);
    for (unsigned long i = 0; i < words; ++i) {
        std::string word, id;
        fields >> word >> id;
        // Adjectives may carry a marker in parentheses: "big(a)".
        if (const size_t paren = word.find('('); paren != std::string::npos) word.resize(paren);
        synset.words.push_back(spaced(word));
    }
    size_t pointers = 0;
    fields >> pointers;
    for (size_t i = 0; i < pointers; ++i) {
        std::string symbol, target, part, ends;
        fields >> symbol >> target >> part >> ends;
        if (synset.broader == 0 && (symbol == "@" || symbol == "@i") && target.size() == 8)
            synset.broader = std::stoul(target);
    }
    if (const size_t bar = line.find("| "); bar != std::string::npos) {
        synset.gloss = line.substr(bar + 2);
        while (!synset.gloss.empty() && synset.gloss.back() == ' ') synset.gloss.pop_back();
    }
    return synset;
}

std::map<std::string, std::vector<std::string>> exceptions(Part part) {
    std::map<std::string, std::vector<std::string>> forms;
    std::istringstream lines(readAll(kDatabase + fileSuffix(part) + ".exc"));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string form, lemma;
        if (fields >> form >> lemma) forms[spaced(lemma)].push_back(spaced(form));
    }
    return forms;
}

bool sameLetters(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool endsWith(const std::string& word, std::string_view ending) {
    return word.size() >= ending.size() && word.compare(word.size() - ending.size(), ending.size(), ending) == 0;
}

bool consonantBeforeY(const std::string& word) {
    return endsWith(word, "y") && word.size() >= 2 &&
           std::string("aeiou").find(word[word.size() - 2]) == std::string::npos;
}

// The plural of a noun, or the third person of a verb.
std::string plural(const std::string& word) {
    if (consonantBeforeY(word)) return word.substr(0, word.size() - 1) + "ies";
    if (endsWith(word, "s") || endsWith(word, "x") || endsWith(word, "z") || endsWith(word, "ch") ||
        endsWith(word, "sh"))
        return word + "es";
    return word + "s";
}

// An ending that begins with "e" ("ed", "er", "est").
std::string withEnding(const std::string& word, const std::string& ending) {
    if (consonantBeforeY(word)) return word.substr(0, word.size() - 1) + "i" + ending;
    if (endsWith(word, "e")) return word + ending.substr(1);
    return word + ending;
}

std::string presentParticiple(const std::string& word) {
    if (endsWith(word, "ie")) return word.substr(0, word.size() - 2) + "ying";
    if (endsWith(word, "e") && !endsWith(word, "ee") && word.size() > 2) return word.substr(0, word.size() - 1) + "ing";
    return word + "ing";
}

}  // namespace

const char* partName(Part part) {
    switch (part) {
        case Part::Noun: return "noun";
        case Part::Verb: return "verb";
        case Part::Adjective: return "adjective";
        case Part::Adverb: return "adverb";
    }
    return "";
}

std::vector<Lemma> lemmas(Part part, size_t senses) {
    const std::string index = readAll(kDatabase + "index." + fileSuffix(part));
    const std::string data = readAll(kDatabase + "data." + fileSuffix(part));
    if (index.empty() || data.empty()) return {};
    const auto irregular = exceptions(part);
    std::vector<Lemma> found;
    std::istringstream lines(index);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == ' ') continue;  // the licence at the top
        std::istringstream fields(line);
        std::string word, field;
        fields >> word;
        std::vector<size_t> offsets;  // the synsets are the last fields, 8 digits each
        while (fields >> field)
            if (field.size() == 8 && std::all_of(field.begin(), field.end(), ::isdigit))
                offsets.push_back(std::stoul(field));
        Lemma lemma;
        lemma.word = spaced(word);
        lemma.part = part;
        for (size_t i = 0; i < offsets.size() && i < senses; ++i) {
            Synset synset = synsetAt(data, offsets[i]);
            Sense sense{std::move(synset.gloss), "", ""};
            if (synset.broader != 0) {
                Synset broader = synsetAt(data, synset.broader);
                if (!broader.words.empty()) sense.broader = broader.words.front();
                sense.broaderGloss = std::move(broader.gloss);
            }
            if (!sense.gloss.empty()) lemma.senses.push_back(std::move(sense));
            for (std::string& synonym : synset.words)
                if (!sameLetters(synonym, lemma.word) &&
                    std::find(lemma.synonyms.begin(), lemma.synonyms.end(), synonym) == lemma.synonyms.end())
                    lemma.synonyms.push_back(std::move(synonym));
        }
        if (const auto listed = irregular.find(lemma.word); listed != irregular.end())
            lemma.irregularForms = listed->second;
        found.push_back(std::move(lemma));
    }
    return found;
}

std::vector<std::string> regularForms(const std::string& word, Part part) {
    switch (part) {
        case Part::Noun: return {plural(word)};
        case Part::Verb: return {plural(word), withEnding(word, "ed"), presentParticiple(word)};
        case Part::Adjective: return {withEnding(word, "er"), withEnding(word, "est")};
        case Part::Adverb: return {};
    }
    return {};
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace wordnet
