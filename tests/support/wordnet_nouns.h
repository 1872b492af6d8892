// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Real English words for dictionary tests: the nouns of the WordNet lexical database (Debian's wordnet-base),
// each with its first gloss and, where WordNet lists them, its irregular plurals.
#include <cstddef>
#include <string>
#include <vector>

namespace qptest {

struct DictionaryWord {
    std::string headword;            // capitalised
    std::vector<std::string> forms;  // capitalised
    std::string gloss;
};

// About `count` nouns spread over the whole list, all in plain letters, and always "tooth", "mouse", "goose",
// "child", "ox", "foot" and "man". Every `inflectedEvery`-th noun, and each of those seven, has its plurals as
// forms: the irregular ones WordNet lists, else the regular plural. Fails the calling test when the database
// is missing.
std::vector<DictionaryWord> wordnetNouns(size_t count, size_t inflectedEvery);

}  // namespace qptest
