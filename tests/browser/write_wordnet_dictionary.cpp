// SPDX-License-Identifier: GPL-3.0-or-later
// write_wordnet_dictionary DIR COUNT: writes DIR/d.opf and DIR/d.html, an English dictionary of about COUNT
// capitalised WordNet nouns with their glosses, every fifth noun (and tooth, mouse, goose, child, ox, foot and
// man) with its plurals as inflected forms, every entry in the spell index. The browser tests preview it.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_support.h"
#include "wordnet.h"
#include "wordnet_nouns.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: write_wordnet_dictionary DIR COUNT\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const std::vector<qptest::DictionaryWord> words = qptest::wordnetNouns(std::strtoul(argv[2], nullptr, 10), 5);
    if (words.size() < 7) {
        std::fprintf(stderr, "write_wordnet_dictionary: the WordNet database (wordnet-base) is missing\n");
        return 1;
    }
    std::string body;
    for (const qptest::DictionaryWord& word : words) {
        body += "<idx:entry name=\"words\" spell=\"yes\"><p><b><idx:orth>" + word.headword + "</idx:orth></b>";
        if (!word.forms.empty()) {
            body += "<idx:infl>";
            for (const std::string& form : word.forms) body += "<idx:iform value=\"" + form + "\"/>";
            body += "</idx:infl>";
        }
        body += " <i>noun</i> " + wordnet::escaped(word.gloss) + "</p></idx:entry>\n";
    }
    qptest::writeFile(folder / "d.html",
                      "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
                      "<title>WordNet nouns</title></head><body>\n" +
                          body + "</body></html>\n");
    qptest::writeFile(folder / "d.opf",
                      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<package><metadata><dc-metadata>"
                      "<dc:Title>WordNet Nouns</dc:Title><dc:Language>en</dc:Language><dc:Creator>WordNet"
                      "</dc:Creator></dc-metadata><x-metadata><DictionaryInLanguage>en</DictionaryInLanguage>"
                      "<DictionaryOutLanguage>en</DictionaryOutLanguage><DefaultLookupIndex>words"
                      "</DefaultLookupIndex></x-metadata></metadata><manifest><item id=\"d\" href=\"d.html\" "
                      "media-type=\"text/x-oeb1-document\"/></manifest><spine><itemref idref=\"d\"/></spine>"
                      "</package>\n");
    return 0;
}
