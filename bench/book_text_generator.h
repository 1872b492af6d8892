#pragma once
// A generated book text for compression benchmarks: chapters of prose in English, French, German and Spanish
// (UTF-8, with accented letters), in the book's HTML markup (<p>, <b>, <i>, links with filepos= positions,
// headings and page breaks). Words follow a Zipf-like distribution over a vocabulary of common words and
// generated ones; sentences mix in set phrases of each language. Deterministic for a given size.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace benchtext {

struct Language {
    std::string_view chapter;
    std::vector<std::string_view> common;   // the most frequent words, most frequent first
    std::vector<std::string_view> phrases;  // set phrases that recur as a whole
    std::vector<std::string_view> onsets;   // syllable parts for the rarer words
    std::vector<std::string_view> nuclei;
    std::vector<std::string_view> codas;
    std::string_view questionOpen;  // "¿" in Spanish
};

inline const std::vector<Language>& languages() {
    static const std::vector<Language> all = {
        {"Chapter",
         {"the",    "and",    "of",    "to",    "a",       "in",      "was",       "he",      "that",  "it",
          "his",    "her",    "with",  "had",   "as",      "for",     "she",       "on",      "at",    "but",
          "not",    "they",   "be",    "him",   "by",      "all",     "from",      "said",    "were",  "there",
          "one",    "which",  "have",  "you",   "so",      "an",      "when",      "what",    "no",    "them",
          "could",  "would",  "into",  "their", "out",     "up",      "been",      "more",    "then",  "who",
          "little", "old",    "time",  "down",  "like",    "over",    "before",    "again",   "house", "door",
          "long",   "man",    "eyes",  "hand",  "night",   "water",   "morning",   "through", "never", "road",
          "window", "letter", "river", "light", "himself", "nothing", "something", "away",    "back",  "only"},
         {"at the end of", "in the middle of the", "for a long time", "as if he had", "on the other side of the",
          "there was nothing", "she said nothing", "by the time they", "in front of the house", "at the same time"},
         {"b", "br", "c", "ch", "cl", "d", "f",  "fl", "g", "gr", "h",  "k", "l",
          "m", "n",  "p", "pl", "r",  "s", "sh", "st", "t", "th", "tr", "w", "wh"},
         {"a", "e", "i", "o", "u", "ea", "ee", "oo", "ai", "ou"},
         {"", "", "n", "nd", "r", "rt", "s", "st", "t", "ck", "ll", "ng", "ght", "ble", "ness", "ing", "ed"},
         ""},
        {"Chapitre",
         {"de",       "la",     "le",       "et",       "les",    "des",  "en",      "un",     "du",      "une",
          "que",      "il",     "elle",     "est",      "pour",   "dans", "qui",     "pas",    "au",      "sur",
          "se",       "ne",     "plus",     "par",      "avec",   "tout", "mais",    "comme",  "on",      "son",
          "sa",       "était",  "avait",    "été",      "même",   "où",   "très",    "après",  "déjà",    "là",
          "à",        "ça",     "ses",      "leur",     "nous",   "vous", "fenêtre", "maison", "porte",   "rivière",
          "lettre",   "matin",  "soir",     "chemin",   "père",   "mère", "frère",   "enfant", "lumière", "première",
          "dernière", "pensée", "histoire", "toujours", "jamais", "rien"},
         {"il y a", "c'est à dire", "au bout de la", "tout à coup", "de temps en temps", "à la fin de la",
          "il n'y avait personne", "elle ne dit rien", "au milieu de la nuit", "en même temps"},
         {"b", "br", "c", "ch", "d",  "f", "fr", "g", "gr", "j", "l",
          "m", "n",  "p", "pl", "qu", "r", "s",  "t", "tr", "v"},
         {"a", "e", "é", "è", "i", "o", "ou", "au", "eau", "ai", "ê", "oi", "u", "â", "ô"},
         {"", "", "", "n", "r", "s", "t", "x", "ment", "tion", "ette", "ière", "eur", "çon", "ée"},
         ""},
        {"Kapitel",
         {"der",    "die",    "und",    "in",     "den",       "von",       "zu",      "das",   "mit",
          "sich",   "des",    "auf",    "für",    "ist",       "im",        "dem",     "nicht", "ein",
          "eine",   "als",    "auch",   "es",     "an",        "er",        "sie",     "hatte", "war",
          "aus",    "bei",    "nach",   "über",   "schon",     "noch",      "nur",     "wie",   "müssen",
          "können", "würde",  "hätte",  "Tür",    "Haus",      "Straße",    "Fenster", "Brief", "Mädchen",
          "Vater",  "Mutter", "Bruder", "Abend",  "Morgen",    "Nacht",     "Wasser",  "Fluss", "Licht",
          "Hände",  "Augen",  "Weg",    "zurück", "plötzlich", "natürlich", "größer",  "schön", "früh"},
         {"es gibt", "zum Beispiel", "am Ende der", "in der Mitte des", "zur gleichen Zeit", "von Zeit zu Zeit",
          "auf der anderen Seite", "es war einmal", "nach einer Weile", "vor dem Haus"},
         {"b", "br", "d",  "f", "fl", "g",   "gr", "h", "k",  "kl", "l", "m",
          "n", "p",  "pf", "r", "s",  "sch", "st", "t", "tr", "w",  "z"},
         {"a", "e", "i", "o", "u", "ä", "ö", "ü", "ei", "au", "ie", "eu"},
         {"", "", "n", "r", "s", "t", "ch", "ng", "nd", "lt", "rt", "ß", "ung", "heit", "keit", "lich", "en", "er"},
         ""},
        {"Capítulo",
         {"de",     "la",    "que",    "el",      "en",   "y",     "a",      "los",     "se",      "del",
          "las",    "un",    "por",    "con",     "no",   "una",   "su",     "para",    "es",      "al",
          "lo",     "como",  "más",    "pero",    "sus",  "le",    "ya",     "o",       "este",    "sí",
          "porque", "esta",  "entre",  "cuando",  "muy",  "sin",   "sobre",  "también", "después", "había",
          "estaba", "así",   "aquí",   "allí",    "día",  "noche", "mañana", "ventana", "puerta",  "casa",
          "río",    "carta", "camino", "corazón", "niño", "señor", "señora", "años",    "pequeño", "último",
          "música", "qué",   "cómo",   "dónde"},
         {"sin embargo", "por supuesto", "al final de la", "en medio de la", "al mismo tiempo", "de vez en cuando",
          "había una vez", "no dijo nada", "delante de la casa", "a lo largo del"},
         {"b", "br", "c", "ch", "d",  "f",  "g", "gr", "j", "l",  "ll",
          "m", "n",  "ñ", "p",  "pr", "qu", "r", "s",  "t", "tr", "v"},
         {"a", "e", "i", "o", "u", "á", "é", "í", "ó", "ú", "ia", "ie", "ue", "io"},
         {"", "", "", "n", "r", "s", "l", "d", "z", "ción", "dad", "mente", "ado", "ido"},
         "¿"},
    };
    return all;
}

class BookTextGenerator {
public:
    explicit BookTextGenerator(uint32_t seed) : engine_(seed) {
        for (const Language& language : languages()) vocabularies_.push_back(vocabulary(language));
        // Zipf-like weights over word ranks: 1 / (rank + 2.7).
        double sum = 0;
        for (size_t rank = 0; rank < vocabularySize; ++rank) {
            sum += 1.0 / (static_cast<double>(rank) + 2.7);
            cumulative_.push_back(sum);
        }
    }

    std::string text(size_t size) {
        std::string out = "<html><head><guide></guide></head><body>";
        out.reserve(size + 4096);
        for (size_t chapter = 1; out.size() < size; ++chapter) {
            const size_t language = chapter % languages().size();
            out += "<h2>" + std::string(languages()[language].chapter) + " " + std::to_string(chapter) + "</h2>";
            const size_t paragraphs = 20 + engine_() % 60;
            for (size_t p = 0; p < paragraphs && out.size() < size; ++p) paragraph(language, out);
            out += "<tqp:pagebreak/>";
        }
        out.resize(size);
        return out;
    }

private:
    static constexpr size_t vocabularySize = 12000;

    std::vector<std::string> vocabulary(const Language& language) {
        std::vector<std::string> words(language.common.begin(), language.common.end());
        while (words.size() < vocabularySize) {
            std::string word;
            const size_t syllables = 1 + engine_() % 3;
            for (size_t s = 0; s < syllables; ++s) {
                word += pick(language.onsets);
                word += pick(language.nuclei);
            }
            word += pick(language.codas);
            words.push_back(word);
        }
        return words;
    }

    std::string_view pick(const std::vector<std::string_view>& list) { return list[engine_() % list.size()]; }

    const std::string& word(size_t language) {
        const double u = std::uniform_real_distribution<double>(0, cumulative_.back())(engine_);
        const size_t rank = std::lower_bound(cumulative_.begin(), cumulative_.end(), u) - cumulative_.begin();
        return vocabularies_[language][std::min(rank, vocabularySize - 1)];
    }

    void sentence(size_t language, std::string& out) {
        const Language& lang = languages()[language];
        const bool question = engine_() % 8 == 0;
        if (question) out += lang.questionOpen;
        const size_t words = 4 + engine_() % 24;
        for (size_t w = 0; w < words; ++w) {
            if (w > 0) out += engine_() % 11 == 0 ? ", " : " ";
            const unsigned roll = engine_() % 100;
            std::string piece = roll < 6 ? std::string(pick(lang.phrases)) : word(language);
            if (w == 0 && piece[0] >= 'a' && piece[0] <= 'z') piece[0] = static_cast<char>(piece[0] - 'a' + 'A');
            if (roll >= 6 && roll < 9) {
                out += "<b>" + piece + "</b>";
            } else if (roll >= 9 && roll < 11) {
                out += "<i>" + piece + "</i>";
            } else if (roll == 11) {
                char position[16];
                std::snprintf(position, sizeof position, "%010u", static_cast<unsigned>(engine_() % 90000000));
                out += "<a filepos=" + std::string(position) + ">" + piece + "</a>";
            } else {
                out += piece;
            }
        }
        out += question ? "?" : (engine_() % 12 == 0 ? "!" : ".");
    }

    void paragraph(size_t language, std::string& out) {
        out += engine_() % 10 == 0 ? "<p align=\"center\">" : "<p>";
        const size_t sentences = 2 + engine_() % 7;
        for (size_t s = 0; s < sentences; ++s) {
            if (s > 0) out += ' ';
            sentence(language, out);
        }
        out += "</p>\n";
    }

    std::mt19937 engine_;
    std::vector<std::vector<std::string>> vocabularies_;
    std::vector<double> cumulative_;
};

// The generated text of `size` bytes (cut at that length, possibly inside a character).
inline std::string bookText(size_t size) { return BookTextGenerator(20240917).text(size); }

}  // namespace benchtext
