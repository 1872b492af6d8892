// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A generated book text for compression benchmarks: chapters of prose in English, French, German and Spanish
// (UTF-8, with accented letters) and, in the multilingual text, also Russian and Chinese, in the book's HTML
// markup (<p>, <b>, <i>, links with filepos= positions, headings and page breaks). Words follow a Zipf-like
// distribution over a vocabulary of common words and generated ones; sentences mix in set phrases of each
// language. Deterministic for a given size.
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
    // Chinese writes no space between words and has its own comma and full stop.
    std::string_view space = " ";
    std::string_view comma = ", ";
    std::string_view stop = ".";
};

// The Latin-script languages and, with `otherScripts`, Russian and Chinese after them.
inline std::vector<Language> languages(bool otherScripts) {
    std::vector<Language> all = {
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
    if (!otherScripts) return all;
    all.push_back(
        {"Глава",
         {"и",     "в",      "не",     "на",     "он",      "что",    "я",      "с",       "она",    "как",  "а",
          "то",    "все",    "его",    "но",     "так",     "к",      "было",   "из",      "у",      "же",   "за",
          "бы",    "по",     "только", "её",     "мне",     "нет",    "вот",    "от",      "меня",   "ещё",  "были",
          "о",     "когда",  "уже",    "для",    "вдруг",   "ничего", "ну",     "ли",      "если",   "дом",  "окно",
          "дверь", "дорога", "река",   "письмо", "утро",    "ночь",   "вечер",  "отец",    "мать",   "брат", "свет",
          "вода",  "рука",   "глаза",  "сказал", "сказала", "потом",  "теперь", "никогда", "всегда", "здесь"},
         {"в конце концов", "на другой стороне", "в середине ночи", "в то же время", "время от времени", "жил-был",
          "она ничего не сказала", "перед домом", "через некоторое время", "как будто"},
         {"б", "в", "г", "д", "ж", "з", "к", "л", "м", "н", "п", "р", "с", "т", "ф", "х", "ч", "ш", "щ", "пр", "ст"},
         {"а", "е", "и", "о", "у", "ы", "я", "ю", "ё"},
         {"", "", "й", "н", "р", "с", "т", "л", "ть", "ний", "ость", "ка", "ство", "ный", "ая"},
         ""});
    all.push_back({"第",
                   {"的",   "了",   "是",   "在",   "我",     "他",   "她",   "不",   "有",   "这",   "个",   "们",
                    "来",   "到",   "说",   "就",   "你",     "也",   "地",   "着",   "那",   "要",   "时候", "没有",
                    "我们", "他们", "自己", "一个", "什么",   "知道", "看见", "房子", "窗户", "门口", "河边", "信",
                    "早上", "晚上", "父亲", "母亲", "哥哥",   "灯光", "水",   "手",   "眼睛", "路上", "已经", "忽然",
                    "从来", "总是", "这里", "那里", "为什么", "怎么", "可是", "因为"},
                   {"过了一会儿", "与此同时", "在房子前面", "从前有一个", "她什么也没说", "在夜里", "一天早上",
                    "不知不觉", "就在这时", "说来话长"},
                   {"天", "山", "风", "雨", "花", "月", "光", "明", "长", "安", "心", "书", "海", "家", "石",
                    "云", "林", "江", "春", "秋", "夜", "城", "门", "东", "西", "南", "北", "金", "木", "火"},
                   {""},
                   {"", "", "子", "儿", "头", "上", "下", "里", "中", "人"},
                   "",
                   "",
                   "，",
                   "。"});
    return all;
}

class BookTextGenerator {
public:
    BookTextGenerator(uint32_t seed, bool otherScripts) : engine_(seed), languages_(languages(otherScripts)) {
        for (const Language& language : languages_) vocabularies_.push_back(vocabulary(language));
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
            const size_t language = chapter % languages_.size();
            out += "<h2>" + std::string(languages_[language].chapter) + " " + std::to_string(chapter) + "</h2>";
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
        const Language& lang = languages_[language];
        const bool question = engine_() % 8 == 0;
        if (question) out += lang.questionOpen;
        const size_t words = 4 + engine_() % 24;
        for (size_t w = 0; w < words; ++w) {
            if (w > 0) out += engine_() % 11 == 0 ? lang.comma : lang.space;
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
        out += question ? "?" : (engine_() % 12 == 0 ? "!" : lang.stop);
    }

    void paragraph(size_t language, std::string& out) {
        out += engine_() % 10 == 0 ? "<p align=\"center\">" : "<p>";
        const size_t sentences = 2 + engine_() % 7;
        for (size_t s = 0; s < sentences; ++s) {
            if (s > 0) out += languages_[language].space;
            sentence(language, out);
        }
        out += "</p>\n";
    }

    std::mt19937 engine_;
    std::vector<Language> languages_;
    std::vector<std::vector<std::string>> vocabularies_;
    std::vector<double> cumulative_;
};

// The generated text of `size` bytes (cut at that length, possibly inside a character).
inline std::string bookText(size_t size) { return BookTextGenerator(20240917, false).text(size); }

// The same with Russian and Chinese chapters between the others.
inline std::string multilingualBookText(size_t size) { return BookTextGenerator(20240917, true).text(size); }

}  // namespace benchtext
