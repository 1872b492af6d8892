// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The WordNet lexical database of Debian's wordnet-base, read for dictionaries of real words in tests and
// benchmarks: each lemma of a part of speech with the glosses and synonyms of its senses, and the irregular
// inflected forms the database lists.
#include <cstddef>
#include <string>
#include <vector>

namespace wordnet {

enum class Part { Noun, Verb, Adjective, Adverb };

// A sense: its gloss, and the first word and gloss of the broader sense it is a kind of (when it has one).
struct Sense {
    std::string gloss;
    std::string broader;
    std::string broaderGloss;
};

struct Lemma {
    std::string word;  // spaces where the database writes underscores
    Part part = Part::Noun;
    std::vector<Sense> senses;                // the most common first
    std::vector<std::string> synonyms;        // the other words of those senses
    std::vector<std::string> irregularForms;  // from the database's exception list
};

// The lemmas of a part of speech in the database's order, with at most `senses` senses each. Empty when the
// database is not installed.
std::vector<Lemma> lemmas(Part part, size_t senses);

// The regular forms of a word: a noun's plural; a verb's third person, past and -ing forms; an adjective's
// comparative and superlative; none for an adverb.
std::vector<std::string> regularForms(const std::string& word, Part part);

const char* partName(Part part);

// Text as HTML markup writes it: &, <, > and " escaped.
std::string escaped(const std::string& text);

}  // namespace wordnet
