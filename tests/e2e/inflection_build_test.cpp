// SPDX-License-Identifier: GPL-3.0-or-later
// Dictionaries with inflected forms and spell data, looked up through the inflection rules and the spell
// index with kovadump's library.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "build_fixture.h"
#include "headword_lookup.h"
#include "inflected_forms.h"
#include "lookup_printer.h"
#include "text_encoding.h"
#include "wordnet_nouns.h"

namespace {

struct Word {
    std::string headword;  // UTF-8
    std::vector<std::string> forms;
    std::vector<std::string> typed = {};  // the forms as a reader types them, when not their ASCII lower case
};

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string page(const std::vector<Word>& words, bool spell) {
    std::string body;
    for (size_t i = 0; i < words.size(); ++i) {
        body += std::string("<idx:entry name=\"words\"") + (spell ? " spell=\"yes\"" : "") + "><b><idx:orth>" +
                words[i].headword + "</idx:orth></b>";
        if (!words[i].forms.empty()) {
            body += "<idx:infl>";
            for (const std::string& form : words[i].forms) body += "<idx:iform value=\"" + form + "\"/>";
            body += "</idx:infl>";
        }
        body += " sense " + std::to_string(i) + ".</idx:entry><p/>\n";
    }
    return buildtest::htmlPage(body, "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">");
}

class InflectionBuild : public buildtest::BuildTest {
protected:
    kova::Book build(const std::vector<Word>& words, const std::string& language, bool spell,
                     const std::vector<std::string>& flags = {}) {
        write("d.html", page(words, spell));
        write("d.opf",
              buildtest::package(
                  buildtest::dcMetadata("<dc:Title>D</dc:Title><dc:Language>" + language + "</dc:Language>",
                                        "<DefaultLookupIndex>words</DefaultLookupIndex>"),
                  "<item id=\"d\" href=\"d.html\" media-type=\"text/x-oeb1-document\"/>", "<itemref idref=\"d\"/>"));
        std::vector<std::string> arguments = {"d.opf", "-verbose"};
        arguments.insert(arguments.end(), flags.begin(), flags.end());
        const auto run = compile(arguments);
        EXPECT_EQ(run.exitCode, 0) << run.out.substr(run.out.size() > 2000 ? run.out.size() - 2000 : 0);
        return book("d.kova");
    }

    // The word leads (by the given way) to the entry whose text holds "sense <number>".
    static void expectFound(const kova::Book& book, const std::string& word, size_t number, kova::MatchKind how) {
        const kova::Lookup lookup = kova::lookUp(book, word);
        bool found = false;
        for (const kova::LookupMatch& match : lookup.matches) {
            if (match.how != how) continue;
            const kova::IndexEntry& entry = lookup.index->entries[match.rank];
            const auto starts = entry.tag(1)->column(0);
            const auto lengths = entry.tag(2)->column(0);
            for (size_t g = 0; g < starts.size(); ++g)
                found = found ||
                        kova::plainText(book, starts[g], lengths[g]).find("sense " + std::to_string(number) + ".") !=
                            std::string::npos;
        }
        EXPECT_TRUE(found) << word << " -> entry " << number << " by " << kova::matchKindName(how);
    }
};

// 20,000 capitalised WordNet nouns, a fifth with their plurals (the irregular ones WordNet lists among them),
// and words whose forms differ from them in accents; built as a western book, as a UTF-8 book (single-byte
// Unicode index) and with Cyrillic words that make the Unicode index double-byte.
struct DictionaryKind {
    const char* name;
    std::vector<std::string> flags;
    bool cyrillic;
};

class RealDictionary : public InflectionBuild, public ::testing::WithParamInterface<DictionaryKind> {
protected:
    static std::vector<Word> words(bool cyrillic) {
        std::vector<Word> words;
        for (qptest::DictionaryWord& noun : qptest::wordnetNouns(20000, 5))
            words.push_back({noun.headword, noun.forms, {}});
        words.push_back({"\xC3\x89lan", {"\xC3\x89lans"}, {"\xC3\xA9lans"}});
        words.push_back({"Caf\xC3\xA9", {"Caf\xC3\xA9s"}, {}});
        words.push_back({"Canci\xC3\xB3n", {"Canciones"}, {}});
        words.push_back({"Cheval", {"Chevaux"}, {}});
        if (cyrillic) {
            words.push_back({"\xD0\x9A\xD0\xBE\xD1\x82",
                             {"\xD0\x9A\xD0\xBE\xD1\x82\xD1\x8B"},
                             {"\xD0\xBA\xD0\xBE\xD1\x82\xD1\x8B"}});  // Кот, Коты
            words.push_back({"\xD0\xA7\xD0\xB5\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xB5\xD0\xBA",
                             {"\xD0\x9B\xD1\x8E\xD0\xB4\xD0\xB8"},
                             {"\xD0\xBB\xD1\x8E\xD0\xB4\xD0\xB8"}});  // Человек, Люди
        }
        return words;
    }

    static std::vector<uint32_t> characters(const std::string& utf8) { return *kova::utf8Characters(utf8); }
    static std::string text(uint32_t character) {
        std::string utf8;
        kova::appendUtf8(utf8, character);
        return utf8;
    }
};

TEST_P(RealDictionary, EveryFormTypedInLowerCaseLeadsToItsHeadwordByRulesThatApplyStrictly) {
    const std::vector<Word> source = words(GetParam().cyrillic);
    const kova::Book book = build(source, "en", false, GetParam().flags);
    // Sound includes every rule applied strictly to the key as the index decodes it.
    ASSERT_TRUE(book.sound()) << book.faults().front();
    const kova::BookIndex& index = *book.indexAt(book.kova().orthographicIndex);
    const kova::BookIndex& inflections = *book.indexAt(book.kova().inflectionIndex);
    EXPECT_EQ(index.keyForm(), GetParam().cyrillic        ? kova::KeyForm::positions16
                               : GetParam().flags.empty() ? kova::KeyForm::bytes
                                                          : kova::KeyForm::positions8);
    const kova::IndexCollation collation = index.collation();
    auto folded = [&](const std::string& text) {
        const auto key = kova::keyFromText(text, index.keyForm(), index.codePage(), index.tables);
        return key ? collation.foldedText(*key) : std::string("?");
    };

    // Each made form by its folded text, with the entries it leads to.
    std::map<std::string, std::set<size_t>> made;
    for (const kova::InflectedForm& form : kova::inflectedForms(index, inflections).forms) {
        made[folded(form.text())].insert(form.entry);
        // Where the form shares its headword's first letter, the rule also applies to the key as written.
        const std::vector<uint32_t> written = characters(index.keyText(index.entries[form.entry].key));
        if (!form.rule || folded(text(form.characters[0])) != folded(text(written[0]))) continue;
        std::string problem;
        EXPECT_TRUE(kova::applyInflectionRule(written, inflections, *form.rule, problem))
            << index.keyText(index.entries[form.entry].key) << ": " << problem;
    }
    size_t checked = 0;
    for (const Word& word : source) {
        const auto headword = kova::keyFromText(word.headword, index.keyForm(), index.codePage(), index.tables);
        ASSERT_TRUE(headword) << word.headword;
        const std::vector<size_t> ranks = kova::findKey(index, *headword);
        ASSERT_FALSE(ranks.empty()) << word.headword;
        for (size_t i = 0; i < word.forms.size(); ++i, ++checked) {
            const std::string typed = i < word.typed.size() ? word.typed[i] : lowerAscii(word.forms[i]);
            EXPECT_TRUE(made[folded(typed)].count(ranks.front())) << typed << " -> " << word.headword;
        }
    }
    EXPECT_GT(checked, 4000u);
    for (const char* typed : {"teeth", "mice", "geese", "children", "oxen", "feet", "men"}) {
        const kova::Lookup lookup = kova::lookUp(book, typed);
        EXPECT_TRUE(std::any_of(lookup.matches.begin(), lookup.matches.end(), [](const kova::LookupMatch& match) {
            return match.how == kova::MatchKind::inflection;
        })) << typed;
    }
}

INSTANTIATE_TEST_SUITE_P(Builds, RealDictionary,
                         ::testing::Values(DictionaryKind{"Western", {}, false},
                                           DictionaryKind{"Utf8", {"-unicode"}, false},
                                           DictionaryKind{"DoubleByteIndex", {"-unicode"}, true}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(InflectionBuild, FrenchAndGermanForms) {
    const std::vector<Word> french = {{"cheval", {"chevaux"}},
                                      {"aller", {"allons", "allez", "vont", "allé"}},
                                      {"œil", {"yeux"}},
                                      {"être", {"été", "suis", "es"}}};
    const kova::Book frenchBook = build(french, "fr", false);
    for (size_t i = 0; i < french.size(); ++i)
        for (const std::string& form : french[i].forms) expectFound(frenchBook, form, i, kova::MatchKind::inflection);
    const std::vector<Word> german = {{"Haus", {"Häuser", "Hauses"}},
                                      {"machen", {"gemacht", "machte"}},
                                      {"gehen", {"ging", "gegangen"}},
                                      {"Straße", {"Straßen"}}};
    const kova::Book germanBook = build(german, "de", false);
    for (size_t i = 0; i < german.size(); ++i)
        for (const std::string& form : german[i].forms) expectFound(germanBook, form, i, kova::MatchKind::inflection);
}

TEST_F(InflectionBuild, MisspellingsThatSoundTheSameAreFoundThroughTheSpellIndex) {
    const std::vector<Word> words = {
        {"phonetic", {}}, {"schedule", {}}, {"knight", {}}, {"quick", {}}, {"science", {}}};
    const kova::Book book = build(words, "en", true);
    EXPECT_TRUE(book.sound()) << (book.faults().empty() ? "" : book.faults()[0]);
    expectFound(book, "fonetik", 0, kova::MatchKind::spelling);
    expectFound(book, "shedule", 1, kova::MatchKind::spelling);
    expectFound(book, "nite", 2, kova::MatchKind::spelling);
    expectFound(book, "kwik", 3, kova::MatchKind::spelling);
    expectFound(book, "sience", 4, kova::MatchKind::spelling);
}

}  // namespace
