// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordnet_nouns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "wordnet.h"

namespace qptest {

namespace {

const std::set<std::string> kIrregular = {"tooth", "mouse", "goose", "child", "ox", "foot", "man"};

bool plainLetters(const std::string& word) {
    return word.size() >= 2 && word.size() <= 20 &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

std::string capitalised(std::string word) {
    if (!word.empty() && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 'a' + 'A');
    return word;
}

}  // namespace

std::vector<DictionaryWord> wordnetNouns(size_t count, size_t inflectedEvery) {
    std::vector<wordnet::Lemma> nouns = wordnet::lemmas(wordnet::Part::Noun, 1);
    EXPECT_FALSE(nouns.empty()) << "the WordNet database (Debian package wordnet-base) is missing: run "
                                   "scripts/install-deps";
    std::erase_if(nouns, [](const wordnet::Lemma& noun) { return !plainLetters(noun.word); });
    const size_t stride = std::max<size_t>(1, nouns.size() / std::max<size_t>(1, count));
    std::vector<DictionaryWord> words;
    for (size_t i = 0; i < nouns.size(); ++i) {
        const wordnet::Lemma& noun = nouns[i];
        const bool irregular = kIrregular.count(noun.word) > 0;
        if (i % stride != 0 && !irregular) continue;
        DictionaryWord word{capitalised(noun.word), {}, noun.senses.empty() ? "" : noun.senses.front().gloss};
        if (irregular || words.size() % inflectedEvery == 0) {
            word.forms = noun.irregularForms.empty() ? wordnet::regularForms(noun.word, wordnet::Part::Noun)
                                                     : noun.irregularForms;
            for (std::string& form : word.forms) form = capitalised(form);
        }
        words.push_back(std::move(word));
    }
    return words;
}

}  // namespace qptest
