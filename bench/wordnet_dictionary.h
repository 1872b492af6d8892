// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A dictionary with the shape of a real one, made of the WordNet lexical database (Debian's wordnet-base):
// capitalised headwords of every part of speech in alphabetical order, spell="yes" on every entry, the glosses
// of up to eight senses with the broader term of each, the synonyms as italic cross-references, the inflected
// forms of one entry in seven
// (1 to 6 forms: the irregular ones the database lists, else the regular ones), and a key index entry on one
// entry in fifty. About 500 bytes of HTML per entry.
#include <algorithm>
#include <string>
#include <vector>

#include "bench_packages.h"
#include "wordnet.h"

namespace benchpackage {

namespace detail {

inline std::string capitalised(std::string word) {
    if (!word.empty() && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 'a' + 'A');
    return word;
}

inline std::string entryHtml(const wordnet::Lemma& lemma, size_t entry) {
    std::string html = "<idx:entry name=\"words\" spell=\"yes\"><p><b><idx:orth>" +
                       wordnet::escaped(capitalised(lemma.word)) + "</idx:orth></b>";
    if (entry % 7 == 0) {
        std::vector<std::string> forms = lemma.irregularForms;
        for (const std::string& form : wordnet::regularForms(lemma.word, lemma.part))
            if (forms.size() < 6 && std::find(forms.begin(), forms.end(), form) == forms.end()) forms.push_back(form);
        if (forms.empty()) forms.push_back(lemma.word + "s");
        html += "<idx:infl>";
        for (const std::string& form : forms)
            html += "<idx:iform value=\"" + wordnet::escaped(capitalised(form)) + "\"/>";
        html += "</idx:infl>";
    }
    if (entry % 50 == 0) html += "<idx:key name=\"numbers\" value=\"w" + std::to_string(entry) + "\"/>";
    html += " <i>" + std::string(wordnet::partName(lemma.part)) + "</i>";
    for (size_t number = 0; number < lemma.senses.size(); ++number) {
        const wordnet::Sense& sense = lemma.senses[number];
        html += " <b>" + std::to_string(number + 1) + ".</b> " + wordnet::escaped(sense.gloss) + ";";
        if (!sense.broader.empty())
            html += " <i>a kind of</i> <i>" + wordnet::escaped(sense.broader) +
                    "</i>: " + wordnet::escaped(sense.broaderGloss) + ";";
    }
    if (!lemma.synonyms.empty()) {
        html += " <i>see also</i>";
        for (size_t i = 0; i < lemma.synonyms.size() && i < 12; ++i)
            html += std::string(i == 0 ? " " : ", ") + "<i>" + wordnet::escaped(lemma.synonyms[i]) + "</i>";
    }
    return html + "</p></idx:entry>\n";
}

}  // namespace detail

// `entries` lemmas spread evenly over the alphabetical list of all of WordNet's, as DIR/dict.opf in files of
// about 2 MB. Returns the bytes of HTML, or 0 when the database is missing.
inline size_t writeWordnetDictionary(const fs::path& directory, size_t entries) {
    std::vector<wordnet::Lemma> all;
    for (wordnet::Part part :
         {wordnet::Part::Noun, wordnet::Part::Verb, wordnet::Part::Adjective, wordnet::Part::Adverb}) {
        std::vector<wordnet::Lemma> lemmas = wordnet::lemmas(part, 8);
        std::move(lemmas.begin(), lemmas.end(), std::back_inserter(all));
    }
    if (all.empty()) return 0;
    std::stable_sort(all.begin(), all.end(),
                     [](const wordnet::Lemma& a, const wordnet::Lemma& b) { return a.word < b.word; });
    DictionaryFiles files(directory);
    const size_t count = std::min(entries, all.size());
    for (size_t i = 0; i < count; ++i) {
        files.text() += detail::entryHtml(all[i * all.size() / count], i);
        files.entryWritten();
    }
    return files.finish("WordNet Dictionary");
}

}  // namespace benchpackage
