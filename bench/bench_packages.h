// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Generated source packages for the whole-build benchmarks, written to a directory; each function returns the
// bytes of HTML it wrote. Deterministic, so that runs compare.
//   writeProseBook:  chapters of prose with paragraph anchors and links between chapters;
//                    with a table of contents, also an NCX of four levels over the headings.
//   writeLinkedPages: many short pages whose links mostly name pages that are not in the book.
//   writeDictionary: a dictionary of distinct headwords with definitions, a spell index and, if asked,
//                    inflected forms of nouns and verbs (one or two each, or one).
//   writeMultilingualBook: the multilingual generated book text (Latin, Cyrillic and CJK chapters) in files of
//                    about 1 MB.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "book_text_generator.h"

namespace benchpackage {

namespace fs = std::filesystem;

inline constexpr std::string_view kWords[] = {
    "harbour", "lamp",   "wind",   "keeper", "stairs", "gallery", "north", "storm", "oil",  "tide", "rock",   "boat",
    "log",     "letter", "season", "light",  "wave",   "salt",    "café",  "naïve", "élan", "rôle", "façade", "über"};

// A deterministic word stream.
class WordStream {
public:
    explicit WordStream(uint32_t seed) : state_(seed * 2654435761u + 1) {}
    std::string_view next() {
        state_ = state_ * 1103515245u + 12345u;
        return kWords[(state_ >> 16) % std::size(kWords)];
    }
    void sentences(std::string& out, size_t words) {
        for (size_t word = 0; word < words; ++word) {
            out += next();
            out += word % 12 == 11 ? ". " : " ";
        }
    }

private:
    uint32_t state_;
};

inline std::string htmlHead(const std::string& title) {
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"><title>" + title +
           "</title></head><body>\n";
}

inline void writePackage(const fs::path& file, const std::string& dcMetadata, const std::string& xMetadata,
                         const std::string& items, const std::string& spine) {
    std::ofstream(file, std::ios::binary)
        << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<package><metadata><dc-metadata>" << dcMetadata
        << "</dc-metadata><x-metadata>" << xMetadata << "</x-metadata></metadata>\n<manifest>\n"
        << items << "</manifest>\n<spine>\n"
        << spine << "</spine></package>\n";
}

inline std::string navPoint(const std::string& label, const std::string& source, const std::string& inner) {
    return "<navPoint><navLabel><text>" + label + "</text></navLabel><content src=\"" + source + "\"/>" + inner +
           "</navPoint>";
}

// `chapters` chapters of about `chapterBytes` each, as book.opf. With `withToc`, toc.ncx holds per chapter
// the chapter, six sections, two parts in each of the first two sections and a leaf under the first part of
// the first section (and of the second, in even chapters): 12.5 entries a chapter on average, four levels,
// placed on the headings.
inline size_t writeProseBook(const fs::path& directory, int chapters, size_t chapterBytes, bool withToc) {
    constexpr int kParagraphsPerSection = 150;
    fs::create_directories(directory);
    std::string items, spine, navMap;
    size_t bytes = 0;
    for (int chapter = 0; chapter < chapters; ++chapter) {
        const std::string c = std::to_string(chapter);
        const std::string name = "chapter" + c + ".html";
        std::string text = htmlHead("Chapter " + c) + "<h1 id=\"c" + c + "\">Chapter " + c + "</h1>\n";
        std::string sections;
        WordStream words(static_cast<uint32_t>(chapter));
        for (int paragraph = 0; text.size() < chapterBytes; ++paragraph) {
            const std::string p = std::to_string(paragraph);
            const int section = paragraph / kParagraphsPerSection;
            if (paragraph % kParagraphsPerSection == 0 && section < 6) {
                const std::string id = "c" + c + "s" + std::to_string(section);
                text += "<h2 id=\"" + id + "\">Section " + std::to_string(section) + "</h2>\n";
                std::string parts;
                for (int part = 0; section < 2 && part < 2; ++part) {
                    const std::string partId = id + "u" + std::to_string(part);
                    text += "<h3 id=\"" + partId + "\">Part</h3>\n";
                    std::string leaf;
                    if (part == 0 && (section == 0 || chapter % 2 == 0)) {
                        text += "<h4 id=\"" + partId + "l\">Leaf</h4>\n";
                        leaf = navPoint("Leaf", name + "#" + partId + "l", "");
                    }
                    parts += navPoint("Part " + std::to_string(part), name + "#" + partId, leaf);
                }
                sections += navPoint("Section " + std::to_string(section), name + "#" + id, parts);
            }
            text += "<p id=\"p" + p + "\">";
            words.sentences(text, 60);
            if (paragraph % 10 == 0) {
                text += "<a href=\"chapter" + std::to_string((chapter + 1) % chapters) + ".html#p" +
                        std::to_string(paragraph / 2) + "\">next</a>";
            }
            text += "</p>\n";
        }
        text += "</body></html>\n";
        std::ofstream(directory / name, std::ios::binary) << text;
        bytes += text.size();
        navMap += navPoint("Chapter " + c, name + "#c" + c, sections);
        items += "<item id=\"c" + c + "\" href=\"" + name + "\" media-type=\"text/x-oeb1-document\"/>\n";
        spine += "<itemref idref=\"c" + c + "\"/>\n";
    }
    if (withToc) {
        std::ofstream(directory / "toc.ncx", std::ios::binary)
            << "<?xml version=\"1.0\" encoding=\"utf-8\"?><ncx><navMap>" << navMap << "</navMap></ncx>\n";
        items += "<item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/>\n";
    }
    writePackage(directory / "book.opf", "<dc:Title>Benchmark Book</dc:Title><dc:Language>en</dc:Language>", "", items,
                 spine);
    return bytes;
}

// `pages` pages of about `pageBytes` each, as book.opf, with `missingLinks` links in all to distinct pages that
// are not in the book (spread evenly) and one link per page to the next page.
inline size_t writeLinkedPages(const fs::path& directory, int pages, size_t pageBytes, int missingLinks) {
    fs::create_directories(directory);
    std::string items, spine;
    size_t bytes = 0;
    int linked = 0;
    for (int page = 0; page < pages; ++page) {
        const std::string n = std::to_string(page);
        const std::string name = "page" + n + ".html";
        std::string text = htmlHead("Page " + n) + "<h2 id=\"top\">Page " + n + "</h2>\n";
        const int linksHere = missingLinks * (page + 1) / pages - linked;
        WordStream words(static_cast<uint32_t>(page));
        for (int paragraph = 0; text.size() < pageBytes || paragraph < linksHere; ++paragraph) {
            text += "<p>";
            words.sentences(text, 24);
            if (paragraph < linksHere)
                text += "<a href=\"archive/old" + std::to_string(linked + paragraph) + ".html\">old</a>";
            text += "</p>\n";
        }
        linked += linksHere;
        text += "<p><a href=\"page" + std::to_string((page + 1) % pages) + ".html#top\">next</a></p></body></html>\n";
        std::ofstream(directory / name, std::ios::binary) << text;
        bytes += text.size();
        items += "<item id=\"p" + n + "\" href=\"" + name + "\" media-type=\"text/x-oeb1-document\"/>\n";
        spine += "<itemref idref=\"p" + n + "\"/>\n";
    }
    writePackage(directory / "book.opf", "<dc:Title>Linked Pages</dc:Title><dc:Language>en</dc:Language>", "", items,
                 spine);
    return bytes;
}

// The i-th distinct headword: its number written in base 20 over syllables.
inline std::string headword(size_t i) {
    static constexpr std::string_view kSyllables[] = {"ka",  "lo", "mer", "sti", "an", "bel", "dor", "é",   "ri", "tu",
                                                      "gna", "ve", "sch", "ö",   "pa", "lin", "ço",  "ter", "wa", "nu"};
    std::string word;
    do {
        word += kSyllables[i % std::size(kSyllables)];
        i /= std::size(kSyllables);
    } while (i > 0);
    return word + (word.size() < 4 ? "sel" : "");
}

enum class Forms { None, One, OneOrTwo };

// The entries of a dictionary in HTML files of about 2 MB (entries0.html, …), and then its package dict.opf.
class DictionaryFiles {
public:
    explicit DictionaryFiles(fs::path directory) : directory_(std::move(directory)) {
        fs::create_directories(directory_);
    }

    // The text of the file being filled; an entry goes in whole.
    std::string& text() {
        if (text_.empty()) text_ = htmlHead("Entries");
        return text_;
    }
    // Closes the file once it is full.
    void entryWritten() {
        if (text_.size() >= kFileBytes) flush();
    }
    // Writes the package with the title given; returns the bytes of HTML.
    size_t finish(const std::string& title) {
        if (!text_.empty()) flush();
        writePackage(directory_ / "dict.opf", "<dc:Title>" + title + "</dc:Title><dc:Language>en</dc:Language>",
                     "<DictionaryInLanguage>en</DictionaryInLanguage><DictionaryOutLanguage>en</DictionaryOutLanguage>"
                     "<DefaultLookupIndex>words</DefaultLookupIndex>",
                     items_, spine_);
        return bytes_;
    }

private:
    static constexpr size_t kFileBytes = 2 * 1024 * 1024;

    void flush() {
        text_ += "</body></html>\n";
        const std::string name = "entries" + std::to_string(files_) + ".html";
        std::ofstream(directory_ / name, std::ios::binary) << text_;
        bytes_ += text_.size();
        items_ += "<item id=\"e" + std::to_string(files_) + "\" href=\"" + name +
                  "\" media-type=\"text/x-oeb1-document\"/>\n";
        spine_ += "<itemref idref=\"e" + std::to_string(files_) + "\"/>\n";
        ++files_;
        text_.clear();
    }

    fs::path directory_;
    std::string items_, spine_, text_;
    size_t bytes_ = 0;
    int files_ = 0;
};

// `entries` entries in HTML files of about 2 MB, about `htmlBytes` in all, as dict.opf.
inline size_t writeDictionary(const fs::path& directory, size_t entries, size_t htmlBytes, Forms forms) {
    DictionaryFiles files(directory);
    const size_t entryBytes = htmlBytes / entries;
    WordStream words(11);
    for (size_t i = 0; i < entries; ++i) {
        std::string& text = files.text();
        const size_t start = text.size();
        const std::string word = headword(i);
        text += "<idx:entry name=\"words\" spell=\"yes\"><p><b><idx:orth>" + word + "</idx:orth></b>";
        if (forms != Forms::None) {
            text += "<idx:infl>";
            if (forms == Forms::One || i % 2 == 0) {
                text += "<idx:iform value=\"" + word + "s\"/>";
            } else {
                text += "<idx:iform value=\"" + word + "ed\"/><idx:iform value=\"" + word + "ing\"/>";
            }
            text += "</idx:infl>";
        }
        text += " <i>" + std::string(i % 2 == 0 ? "noun" : "verb") + "</i> ";
        while (text.size() - start < entryBytes) words.sentences(text, 12);
        text += "</p></idx:entry>\n";
        files.entryWritten();
    }
    return files.finish("Benchmark Dictionary");
}

// About `htmlBytes` of the multilingual book text as book.opf (a UTF-8 book), cut between chapters into files of
// about 1 MB.
inline size_t writeMultilingualBook(const fs::path& directory, size_t htmlBytes) {
    constexpr std::string_view kBody = "<body>";
    constexpr std::string_view kChapterEnd = "<tqp:pagebreak/>";
    constexpr size_t kFileBytes = 1024 * 1024;
    fs::create_directories(directory);
    const std::string text = benchtext::multilingualBookText(htmlBytes);
    std::string items, spine;
    size_t bytes = 0;
    int files = 0;
    for (size_t start = text.find(kBody) + kBody.size(); start < text.size(); ++files) {
        size_t end = text.find(kChapterEnd, start + kFileBytes);
        end = end == std::string::npos ? text.size() : end + kChapterEnd.size();
        const std::string name = "part" + std::to_string(files) + ".html";
        const std::string html =
            htmlHead("Part " + std::to_string(files)) + text.substr(start, end - start) + "</body></html>\n";
        std::ofstream(directory / name, std::ios::binary) << html;
        bytes += html.size();
        items +=
            "<item id=\"p" + std::to_string(files) + "\" href=\"" + name + "\" media-type=\"text/x-oeb1-document\"/>\n";
        spine += "<itemref idref=\"p" + std::to_string(files) + "\"/>\n";
        start = end;
    }
    writePackage(directory / "book.opf", "<dc:Title>Multilingual Book</dc:Title><dc:Language>en</dc:Language>",
                 "<output encoding=\"utf-8\"/>", items, spine);
    return bytes;
}

}  // namespace benchpackage
