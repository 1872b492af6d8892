// Dictionaries with inflected forms and spell data, looked up through the inflection rules and the spell
// index with kovadump's library.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "build_fixture.h"
#include "headword_lookup.h"
#include "lookup_printer.h"

namespace {

struct Word {
    std::string headword;  // UTF-8
    std::vector<std::string> forms;
};

// English headwords made of syllables, nouns with their plural, verbs with past and -ing forms.
std::vector<Word> englishWords(size_t count) {
    const std::vector<std::string> first = {"bar", "cal", "dor", "fen", "gil", "har", "jum", "kel", "lom", "mar",
                                            "nid", "pol", "rud", "sal", "tem", "vor", "wil", "zan", "bek", "dov"};
    const std::vector<std::string> last = {"ket", "ly", "ton", "sh", "dge", "ry", "ber", "nox", "lip", "ward"};
    std::vector<Word> words = {{"go", {"went", "gone", "goes"}}, {"mouse", {"mice"}}, {"try", {"tried", "tries"}}};
    for (size_t i = 0; words.size() < count; ++i) {
        const std::string stem = first[i % first.size()] + first[(i / first.size()) % first.size()] +
                                 first[(i / 400) % first.size()] + last[(i / 8000) % last.size()];
        Word word{stem, {}};
        const char end = stem.back();
        if (i % 2 == 0) {  // a noun
            word.forms.push_back(end == 'y'                   ? stem.substr(0, stem.size() - 1) + "ies"
                                 : (end == 'h' || end == 'x') ? stem + "es"
                                                              : stem + "s");
        } else {  // a verb
            word.forms.push_back(end == 'y' ? stem.substr(0, stem.size() - 1) + "ied" : stem + "ed");
            word.forms.push_back(stem + "ing");
        }
        words.push_back(word);
    }
    return words;
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
    kova::Book build(const std::vector<Word>& words, const std::string& language, bool spell) {
        write("d.html", page(words, spell));
        write("d.opf",
              buildtest::package(
                  buildtest::dcMetadata("<dc:Title>D</dc:Title><dc:Language>" + language + "</dc:Language>",
                                        "<DefaultLookupIndex>words</DefaultLookupIndex>"),
                  "<item id=\"d\" href=\"d.html\" media-type=\"text/x-oeb1-document\"/>", "<itemref idref=\"d\"/>"));
        const auto run = compile({"d.opf", "-verbose"});
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

TEST_F(InflectionBuild, EveryFormOfTwentyThousandEnglishEntriesLeadsToItsHeadword) {
    const std::vector<Word> words = englishWords(20000);
    const kova::Book book = build(words, "en", false);
    EXPECT_TRUE(book.sound()) << (book.faults().empty() ? "" : book.faults()[0]);
    EXPECT_NE(book.kova().inflectionIndex, 0xFFFFFFFFu);
    EXPECT_EQ(book.kova().orthographicIndex, book.indexes().front().headerRecord);
    for (size_t i = 0; i < words.size(); i += i < 10 ? 1 : 37)
        for (const std::string& form : words[i].forms) expectFound(book, form, i, kova::MatchKind::inflection);
}

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
