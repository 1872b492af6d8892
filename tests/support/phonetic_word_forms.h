// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Phonetic forms worked out by hand from each language's rule string, sound map and class map, for the
// spell-index writer's tests and the book reader's tests alike: both must give these forms. Words are
// windows-1252 ("\xDF" sharp s, "\x9C" and "\x8C" the oe ligature, "\xF1" n with tilde, "\xF6" o with
// diaeresis).
#include <cstdint>
#include <vector>

namespace phonetic_test {

struct WordForm {
    const char* word;
    const char* form;
};

struct WordPair {
    const char* first;
    const char* second;
};

struct LanguageForms {
    const char* name;  // also the name of the language's table file, tests/data/phonetic/<name>.spell
    uint32_t language;
    std::vector<WordForm> forms;
    std::vector<WordPair> misspellings;  // a misspelling and its word: one form
    std::vector<WordPair> otherWords;    // different words: different forms
};

inline const std::vector<LanguageForms>& languageForms() {
    static const std::vector<LanguageForms> languages = {
        {"english",
         9,
         {{"phonetic", "fntk"},  {"photo", "ft"},    {"schedule", "Stl"}, {"back", "bk"},      {"net", "nt"},
          {"ballet", "blt"},     {"knight", "nt"},   {"write", "rt"},     {"thumb", "Tn"},     {"lamb", "ln"},
          {"science", "znz"},    {"nation", "nSn"},  {"mission", "nSn"},  {"special", "zbSl"}, {"quick", "kwk"},
          {"box", "bkz"},        {"church", "SrS"},  {"judge", "jj"},     {"gem", "jn"},       {"edge", "Aj"},
          {"ghost", "kzt"},      {"wrong", "rnk"},   {"city", "zt"},      {"apple", "Abl"},    {"letter", "ltr"},
          {"xylophone", "zlfn"}, {"honest", "hnzt"}, {"yes", "yz"},       {"which", "wS"},     {"ship", "Sb"},
          {"thin", "Tn"}},
         {{"fonetik", "phonetic"},
          {"shedule", "schedule"},
          {"nite", "knight"},
          {"kwik", "quick"},
          {"sience", "science"},
          {"jem", "gem"},
          {"leter", "letter"},
          {"aple", "apple"},
          {"wich", "which"},
          {"mision", "mission"},
          {"sity", "city"},
          {"rong", "wrong"},
          {"zylofone", "xylophone"},
          {"fone", "phone"},
          {"chip", "ship"}},
         {{"thin", "tin"}, {"ship", "sip"}, {"gem", "game"}, {"bat", "mat"}, {"apple", "pool"}, {"lamb", "lamp"}}},
        {"german",
         7,
         {{"Stra\xDF"
           "e",
           "Strz"},
          {"K\xF6nig", "knX"},
          {"Spiel", "Sbl"},
          {"Vater", "ftr"},
          {"Katze", "kZ"},
          {"Stadt", "Stt"},
          {"Bach", "bX"},
          {"Fuchs", "fkz"},
          {"Philosophie", "flzf"},
          {"deutsch", "tS"},
          {"Nation", "nZn"},
          {"Haus", "hz"},
          {"Apfel", "Afl"},
          {"Theater", "ttr"},
          {"Quelle", "kwl"},
          {"Ecke", "Ak"},
          {"sechs", "zkz"},
          {"Cent", "Znt"},
          {"gehen", "kn"},
          {"Tag", "tk"},
          {"Hund", "hnt"}},
         {{"K\xF6nich", "K\xF6nig"},
          {"Schpiel", "Spiel"},
          {"Fater", "Vater"},
          {"Kaze", "Katze"},
          {"Stat", "Stadt"},
          {"Fux", "Fuchs"},
          {"Filosofie", "Philosophie"},
          {"Nazion", "Nation"},
          {"Teater", "Theater"},
          {"Kwelle", "Quelle"},
          {"Strasse", "Stra\xDF"
                      "e"},
          {"Tak", "Tag"},
          {"Hunt", "Hund"}},
         {{"Bach", "Back"}, {"Sahne", "Zahne"}, {"Haus", "Maus"}}},
        {"spanish",
         10,
         {{"llave", "yb"},     {"hola", "Al"},  {"vaca", "bk"},          {"cero", "zr"},        {"gente", "jnt"},
          {"guerra", "gr"},    {"queso", "kz"}, {"extra\xF1o", "Aztrn"}, {"acci\xF3n", "Akzn"}, {"huevo", "wb"},
          {"hoy", "A"},        {"chico", "Ck"}, {"cinco", "znk"},        {"invierno", "Anbrn"}, {"ahora", "Ar"},
          {"guitarra", "gtr"}, {"yave", "yb"},  {"webo", "wb"},          {"axion", "Akzn"},     {"sero", "zr"}},
         {{"yave", "llave"},
          {"ola", "hola"},
          {"baca", "vaca"},
          {"zero", "cero"},
          {"sero", "cero"},
          {"jente", "gente"},
          {"keso", "queso"},
          {"estra\xF1o", "extra\xF1o"},
          {"axion", "acci\xF3n"},
          {"webo", "huevo"},
          {"imbierno", "invierno"},
          {"aora", "ahora"},
          {"oy", "hoy"}},
         {{"gato", "pato"}, {"guerra", "gerra"}, {"llama", "lama"}, {"perro", "berro"}}},
        {"french",
         12,
         {{"chat", "S"},        {"bateau", "bt"},  {"homme", "An"},    {"oiseau", "wz"},   {"nation", "nzn"},
          {"montagne", "nntn"}, {"deux", "d"},     {"photo", "ft"},    {"quatre", "ktr"},  {"c\x9Cur", "kr"},
          {"\x9Cuvre", "Avr"},  {"soleil", "zly"}, {"famille", "fny"}, {"fille", "fy"},    {"gar\xE7on", "grkn"},
          {"genou", "jn"},      {"nez", "n"},      {"guerre", "gr"},   {"accent", "Akzn"}, {"\x8Cuvre", "Avr"}},
         {{"cha", "chat"},
          {"bato", "bateau"},
          {"ome", "homme"},
          {"wazo", "oiseau"},
          {"nasion", "nation"},
          {"montanie", "montagne"},
          {"deu", "deux"},
          {"foto", "photo"},
          {"katre", "quatre"},
          {"keur", "c\x9Cur"},
          {"euvre", "\x9Cuvre"},
          {"jenou", "genou"},
          {"aksent", "accent"}},
         {{"chat", "sac"}, {"gare", "car"}, {"pain", "bain"}}},
        {"italian",
         16,
         {{"famiglia", "fnl"},       {"compagnia", "knpn"}, {"acqua", "Akw"},     {"accento", "ACnt"}, {"hanno", "An"},
          {"impossibile", "Anpsbl"}, {"scena", "Sn"},       {"pesce", "pS"},      {"schiena", "skn"},  {"chiesa", "ks"},
          {"ghiaccio", "gC"},        {"gelato", "Jlt"},     {"oggi", "AJ"},       {"quando", "kwnd"},  {"cena", "Cn"},
          {"taxi", "tks"},           {"familia", "fnl"},    {"compania", "knpn"}, {"anno", "An"},      {"kiesa", "ks"}},
         {{"familia", "famiglia"},
          {"compania", "compagnia"},
          {"aqua", "acqua"},
          {"acento", "accento"},
          {"anno", "hanno"},
          {"inpossibile", "impossibile"},
          {"kiesa", "chiesa"},
          {"ogi", "oggi"}},
         {{"cena", "scena"}, {"pane", "cane"}, {"cena", "chena"}}},
    };
    return languages;
}

// Keys without a phonetic form in any language: they hold no letters.
inline const std::vector<const char*>& keysWithoutForm() {
    static const std::vector<const char*> keys = {"", "1984", "-- ?"};
    return keys;
}

}  // namespace phonetic_test
