#include "wordnet_nouns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "test_support.h"

namespace qptest {

namespace {

const std::string kDatabase = "/usr/share/wordnet/";
const std::set<std::string> kIrregular = {"tooth", "mouse", "goose", "child", "ox", "foot", "man"};

bool plainLetters(const std::string& word) {
    return word.size() >= 2 && word.size() <= 20 &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

std::string capitalised(std::string word) {
    if (!word.empty() && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 'a' + 'A');
    return word;
}

std::string regularPlural(const std::string& noun) {
    const char last = noun.back();
    const bool vowelBeforeY = noun.size() >= 2 && std::string("aeiou").find(noun[noun.size() - 2]) != std::string::npos;
    if (last == 'y' && !vowelBeforeY) return noun.substr(0, noun.size() - 1) + "ies";
    if (last == 's' || last == 'x' || last == 'z' || noun.ends_with("ch") || noun.ends_with("sh")) return noun + "es";
    return noun + "s";
}

// The gloss of the synset at a byte offset of data.noun: the text after "| ".
std::string glossAt(const std::string& data, size_t offset) {
    const size_t end = data.find('\n', offset);
    const size_t bar = data.find("| ", offset);
    if (bar == std::string::npos || bar > end) return "";
    std::string gloss = data.substr(bar + 2, end - bar - 2);
    while (!gloss.empty() && gloss.back() == ' ') gloss.pop_back();
    return gloss;
}

}  // namespace

std::vector<DictionaryWord> wordnetNouns(size_t count, size_t inflectedEvery) {
    const std::string index = readFile(kDatabase + "index.noun");
    const std::string data = readFile(kDatabase + "data.noun");
    const std::string exceptions = readFile(kDatabase + "noun.exc");
    EXPECT_FALSE(index.empty() || data.empty() || exceptions.empty())
        << "the WordNet database (Debian package wordnet-base) is missing: run scripts/install-deps";

    std::map<std::string, std::vector<std::string>> irregularPlurals;
    std::istringstream exceptionLines(exceptions);
    for (std::string line; std::getline(exceptionLines, line);) {
        std::istringstream fields(line);
        std::string form, lemma;
        if (fields >> form >> lemma) irregularPlurals[lemma].push_back(form);
    }

    // Lemma and the offset of its first synset (the last field of its line).
    std::vector<std::pair<std::string, size_t>> nouns;
    std::istringstream lines(index);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == ' ') continue;
        std::istringstream fields(line);
        std::string lemma, field, lastOffset;
        fields >> lemma;
        while (fields >> field) lastOffset = field.size() == 8 ? field : lastOffset;
        if (plainLetters(lemma) && !lastOffset.empty()) nouns.emplace_back(lemma, std::stoul(lastOffset));
    }
    const size_t stride = std::max<size_t>(1, nouns.size() / std::max<size_t>(1, count));
    std::vector<DictionaryWord> words;
    for (size_t i = 0; i < nouns.size(); ++i) {
        const auto& [lemma, offset] = nouns[i];
        const bool irregular = kIrregular.count(lemma) > 0;
        if (i % stride != 0 && !irregular) continue;
        DictionaryWord word;
        word.headword = capitalised(lemma);
        word.gloss = glossAt(data, offset);
        if (irregular || words.size() % inflectedEvery == 0) {
            const auto listed = irregularPlurals.find(lemma);
            word.forms = listed != irregularPlurals.end() ? listed->second : std::vector{regularPlural(lemma)};
            for (std::string& form : word.forms) form = capitalised(form);
        }
        words.push_back(std::move(word));
    }
    return words;
}

}  // namespace qptest
