// SPDX-License-Identifier: GPL-3.0-or-later
// Dictionaries built end to end and looked up as a reading device does, through kovadump's library.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "build_fixture.h"
#include "headword_lookup.h"
#include "lookup_printer.h"

namespace {

struct Headword {
    std::string word;  // UTF-8
    std::string definition;
};

// Words of a language: a stem list combined into distinct headwords, every tenth one a homograph of the one
// before, every seventh made of two words.
std::vector<Headword> dictionaryWords(const std::vector<std::string>& stems, size_t count) {
    std::vector<Headword> words;
    for (size_t i = 0; words.size() < count; ++i) {
        std::string word = stems[i % stems.size()] + stems[(i / stems.size()) % stems.size()];
        if (i >= stems.size() * stems.size()) word += stems[(i / (stems.size() * stems.size())) % stems.size()];
        if (i % 7 == 3) word += " " + stems[(i + 3) % stems.size()];
        if (i % 10 == 9 && !words.empty()) word = words.back().word;  // a homograph
        words.push_back({word, "meaning number " + std::to_string(i)});
    }
    return words;
}

std::string dictionaryPage(const std::vector<Headword>& words) {
    std::string body;
    for (size_t i = 0; i < words.size(); ++i) {
        body += "<idx:entry name=\"main\"><p><b><idx:orth>" + words[i].word + "</idx:orth></b> " + words[i].definition;
        if (i % 5 == 0) body += "<idx:key name=\"codes\" value=\"k" + std::to_string(i) + "\"/>";
        if (i % 4 == 0) body += "<idx:string name=\"note\" value=\"n" + std::to_string(i) + "\"/>";
        body += "</p></idx:entry>\n";
    }
    return buildtest::htmlPage(body, "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">");
}

class DictionaryBuild : public buildtest::BuildTest {
protected:
    // Builds the words as a dictionary in the given language; returns the book.
    kova::Book build(const std::vector<Headword>& words, const std::string& language,
                     const std::vector<std::string>& options) {
        write("dict.html", dictionaryPage(words));
        write("dict.opf",
              buildtest::package(
                  buildtest::dcMetadata("<dc:Title>Dictionary</dc:Title><dc:Language>" + language + "</dc:Language>",
                                        "<DictionaryInLanguage>" + language +
                                            "</DictionaryInLanguage>"
                                            "<DefaultLookupIndex>main</DefaultLookupIndex>"),
                  "<item id=\"d\" href=\"dict.html\" media-type=\"text/x-oeb1-document\"/>", "<itemref idref=\"d\"/>"));
        std::vector<std::string> args{"dict.opf"};
        args.insert(args.end(), options.begin(), options.end());
        const auto run = compile(args);
        EXPECT_EQ(run.exitCode, 0) << run.out.substr(run.out.size() > 3000 ? run.out.size() - 3000 : 0);
        return book("dict.kova");
    }

    // Every headword is found and leads to its entries' texts; the index holds one entry per distinct key.
    static void checkLookups(const kova::Book& book, const std::vector<Headword>& words) {
        EXPECT_TRUE(book.sound()) << (book.faults().empty() ? "" : book.faults()[0]);
        std::set<std::string> distinct;
        for (const Headword& word : words) distinct.insert(word.word);
        size_t checked = 0;
        for (size_t i = 0; i<words.size(); i += words.size()> 5000 ? 97 : 1) {
            const kova::Lookup lookup = kova::lookUp(book, words[i].word);
            ASSERT_FALSE(lookup.matches.empty()) << words[i].word;
            ASSERT_TRUE(lookup.index);
            std::string texts;
            for (const kova::LookupMatch& match : lookup.matches) {
                const kova::IndexEntry& entry = lookup.index->entries[match.rank];
                const std::vector<uint32_t> starts = entry.tag(1)->column(0);
                const std::vector<uint32_t> lengths = entry.tag(2)->column(0);
                for (size_t g = 0; g < starts.size(); ++g) texts += kova::plainText(book, starts[g], lengths[g]) + "|";
            }
            EXPECT_NE(texts.find(words[i].definition), std::string::npos) << words[i].word << ": " << texts;
            ++checked;
        }
        EXPECT_GT(checked, 0u);
        const kova::BookIndex* orthographic = book.indexAt(book.kova().orthographicIndex);
        ASSERT_TRUE(orthographic);
        EXPECT_EQ(orthographic->entries.size(), distinct.size());
    }
};

const std::vector<std::string> kEnglish = {"ap", "bel", "cor", "dun", "eft", "fir", "gal", "hum", "ink", "jot"};
const std::vector<std::string> kWestern = {"caf\xC3\xA9",
                                           "\xC3\xA9t\xC3\xA9",
                                           "na\xC3\xAFve",
                                           "gar\xC3\xA7on",
                                           "stra\xC3\x9F"
                                           "e",
                                           "\xC3\x86sop",
                                           "pi\xC3\xB1"
                                           "a",
                                           "z\xC3\xBCrich"};
const std::vector<std::string> kRussian = {"дом", "кот", "лес", "мир", "нос", "пир", "сад", "ток", "уж", "юг"};
const std::vector<std::string> kJapanese = {"あい", "かさ", "さくら", "たこ", "なつ",
                                            "はな", "まど", "やま",   "ゆき", "カメラ"};

TEST_F(DictionaryBuild, WesternDictionaryWithAccentedHeadwords) {
    const auto words = dictionaryWords(kWestern, 1000);
    checkLookups(build(words, "fr", {}), words);
}

TEST_F(DictionaryBuild, Utf8EnglishDictionary) {
    const auto words = dictionaryWords(kEnglish, 1000);
    const kova::Book book = build(words, "en", {"-unicode"});
    checkLookups(book, words);
    EXPECT_NE(book.kova().indexKeys, 0xFFFFFFFFu);   // the key index "codes"
    EXPECT_NE(book.kova().indexNames, 0xFFFFFFFFu);  // the naming index
}

TEST_F(DictionaryBuild, RussianAndJapaneseDictionariesUseTheCharacterTable) {
    for (const auto& [stems, language] :
         {std::pair{kRussian, std::string("ru")}, std::pair{kJapanese, std::string("ja")}}) {
        const auto words = dictionaryWords(stems, 1000);
        checkLookups(build(words, language, {"-unicode"}), words);
    }
}

// Keys that compare equal through the index's folding are one key, unless the key index is exact.
struct ExactCase {
    const char* name;
    std::vector<std::string> options;
    std::string first;
    std::string second;
    bool exact;
};

class ExactKeys : public DictionaryBuild, public ::testing::WithParamInterface<ExactCase> {};

TEST_P(ExactKeys, AreToldApartOnlyInAnExactKeyIndex) {
    const ExactCase& c = GetParam();
    const std::string exact = c.exact ? " exact=\"yes\"" : "";
    std::string body;
    for (const std::string& key : {c.first, c.second})
        body += "<idx:entry name=\"main\"><idx:orth>" + key + "</idx:orth><idx:key name=\"k\"" + exact + " value=\"" +
                key + "\"/> text</idx:entry>\n";
    write("dict.html", buildtest::htmlPage(body, "<meta charset=\"utf-8\">"));
    write("dict.opf", buildtest::package(buildtest::dcMetadata("<dc:Title>D</dc:Title><dc:Language>en</dc:Language>"),
                                         "<item id=\"d\" href=\"dict.html\" media-type=\"text/x-oeb1-document\"/>",
                                         "<itemref idref=\"d\"/>"));
    std::vector<std::string> args{"dict.opf"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    ASSERT_EQ(compile(args).exitCode, 0);
    const kova::Book built = book("dict.kova");
    ASSERT_TRUE(built.sound()) << built.faults().front();
    const kova::BookIndex* keys = built.indexAt(built.kova().indexKeys);
    ASSERT_TRUE(keys);
    EXPECT_EQ(keys->exact(), c.exact);
    EXPECT_EQ(keys->entries.size(), c.exact ? 2u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Indexes, ExactKeys,
                         ::testing::Values(ExactCase{"WesternExact", {}, "\xC3\x86sop", "aesop", true},
                                           ExactCase{"Western", {}, "\xC3\x86sop", "aesop", false},
                                           ExactCase{"UnicodeExact",
                                                     {"-unicode"},
                                                     "\xC3\x89"
                                                     "clair",
                                                     "eclair",
                                                     true},
                                           ExactCase{"Unicode",
                                                     {"-unicode"},
                                                     "\xC3\x89"
                                                     "clair",
                                                     "eclair",
                                                     false}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(DictionaryBuild, HundredThousandEntries) {
    const auto words = dictionaryWords(kEnglish, 100000);
    checkLookups(build(words, "en", {}), words);
}

}  // namespace
