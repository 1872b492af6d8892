// SPDX-License-Identifier: GPL-3.0-or-later
#include "html_preview.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "book_header.h"
#include "html_text.h"
#include "json_writer.h"
#include "locale_names.h"
#include "preview_assets.h"
#include "preview_output.h"
#include "preview_pages.h"
#include "preview_search.h"
#include "text_encoding.h"
#include "toc_tree.h"

namespace kova {

namespace fs = std::filesystem;

namespace {

// Nothing but the preview's own files: no network, no inline script.
constexpr const char* kContentPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self' 'unsafe-inline'; img-src 'self'";

struct PreviewBook {
    const Book& book;
    std::string title;     // UTF-8
    std::string language;  // "en", or empty
    std::optional<uint64_t> startReading;
    std::optional<TocTree> toc;
    std::vector<PreviewImage> images;
    bool search = false;
};

std::string text(const PreviewBook& preview, const std::vector<uint8_t>& bytes) {
    return utf8FromTextEncoding(ByteView(bytes), preview.book.kova().textEncoding);
}

std::string escaped(std::string_view utf8) {
    std::string out;
    appendHtmlText(out, decodeBasicReferences(utf8));
    return out;
}

// A page of the preview, before and after its main content; `root` leads from the page to the preview's folder.
struct Document {
    std::string head;
    std::string tail;
};

Document document(const PreviewBook& preview, const std::string& root, const std::string& title,
                  const std::string& navigation) {
    std::string html = "<!DOCTYPE html>\n<html";
    if (!preview.language.empty()) html += " lang=\"" + preview.language + "\"";
    html += " data-root=\"" + root + "\">\n<head>\n<meta charset=\"utf-8\">\n";
    html += "<meta http-equiv=\"Content-Security-Policy\" content=\"" + std::string(kContentPolicy) + "\">\n";
    html += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
    html += "<title>" + escaped(title) + "</title>\n";
    html += "<link rel=\"stylesheet\" href=\"" + root + "assets/preview.css\">\n";
    html += "<script src=\"" + root + "data/contents.js\" defer></script>\n";
    html += "<script src=\"" + root + "assets/preview.js\" defer></script>\n</head>\n<body>\n";
    html += "<header class=\"bar\"><a class=\"home\" href=\"" + root + "index.html\">" + escaped(preview.title) +
            "</a>" + navigation;
    if (preview.search)
        html += "<form class=\"search\" id=\"search\" role=\"search\"><input type=\"search\" id=\"query\" "
                "name=\"q\" autocomplete=\"off\" spellcheck=\"false\" placeholder=\"Look a word up\" "
                "aria-label=\"Look a word up\"><button type=\"submit\">Look up</button></form>";
    html +=
        "</header>\n<div class=\"layout\">\n<nav id=\"contents\" class=\"sidebar\" aria-label=\"Contents\"></nav>\n";
    if (preview.search) html += "<div id=\"results\" class=\"results\" aria-live=\"polite\" hidden></div>\n";
    html += "<main class=\"book\">\n";
    return {html, "</main>\n</div>\n</body>\n</html>\n"};
}

std::string fileLink(size_t n, const char* rel, const char* label) {
    return std::string("<a rel=\"") + rel + "\" href=\"" + previewFileName(n) + "\">" + label + "</a>";
}

bool writePages(const PreviewBook& preview, const PreviewText& pages, const fs::path& folder, std::string& error) {
    const size_t count = pages.files.size();
    for (size_t n = 0; n < count; ++n) {
        std::string navigation =
            "<span class=\"where\">Part " + std::to_string(n + 1) + " of " + std::to_string(count) + "</span>";
        if (n > 0) navigation += fileLink(n - 1, "prev", "Previous");
        if (n + 1 < count) navigation += fileLink(n + 1, "next", "Next");
        const std::string title = preview.title + " \u2013 part " + std::to_string(n + 1);
        const Document around = document(preview, kPagesToRoot, title, navigation);
        const fs::path path = folder / kPagesFolder / previewFileName(n);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << around.head;
        writeLinkedHtml(pages, pages.files[n], out);
        out << around.tail;
        out.close();
        if (!out) {
            error = "cannot write " + path.string() + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

std::string href(const PreviewText& pages, uint64_t target) {
    return std::string(kPagesFolder) + previewFileName(pages.fileOf(target)) + "#p" + std::to_string(target);
}

// The sidebar's data: the guide, the start reading position and the table of contents in reading order, each
// entry as [level, label, href or null, holds the start reading position].
std::string contentsJson(const PreviewBook& preview, const PreviewText& pages) {
    std::string json = "{\"title\":" + JsonWriter::quote(preview.title) + ",\"files\":[";
    for (size_t n = 0; n < pages.files.size(); ++n)
        json += (n ? ",\"" : "\"") + std::string(kPagesFolder) + previewFileName(n) + "\"";
    json += "],\"start\":" + (preview.startReading ? JsonWriter::quote(href(pages, *preview.startReading)) : "null");
    json += ",\"guide\":[";
    for (size_t i = 0; i < pages.guide.size(); ++i) {
        const GuideReference& reference = pages.guide[i];
        const std::string link = reference.target ? href(pages, *reference.target) : reference.imageFile;
        json += std::string(i ? "," : "") + "{\"title\":" + JsonWriter::quote(reference.title) +
                ",\"type\":" + JsonWriter::quote(reference.type) +
                ",\"href\":" + (link.empty() ? "null" : JsonWriter::quote(link)) + "}";
    }
    json += "],\"toc\":";
    if (!preview.toc) return json + "null,\"search\":" + (preview.search ? "true" : "false") + "}";
    const std::vector<TocLine> order = tocReadingOrder(*preview.toc);
    // The deepest entry of the navigation map whose text holds the start reading position.
    std::optional<size_t> startEntry;
    for (const TocLine& line : order) {
        const TocTreeNode& node = preview.toc->nodes[line.rank];
        if (preview.startReading && !node.inNavigationList && node.position <= *preview.startReading &&
            *preview.startReading < uint64_t{node.position} + node.length)
            startEntry = line.rank;
    }
    json += "[";
    for (size_t i = 0; i < order.size(); ++i) {
        const TocTreeNode& node = preview.toc->nodes[order[i].rank];
        const bool linked = !node.inNavigationList || node.depth > 0;
        json += std::string(i ? ",[" : "[") + std::to_string(order[i].level) + "," + JsonWriter::quote(node.label) +
                "," + (linked ? JsonWriter::quote(href(pages, node.position)) : "null") + "," +
                (startEntry == node.rank ? "true" : "false") + "]";
    }
    return json + "],\"search\":" + (preview.search ? "true" : "false") + "}";
}

std::string definition(const std::string& term, const std::string& value) {
    return "<dt>" + escaped(term) + "</dt><dd>" + value + "</dd>\n";
}

std::string imageTag(const PreviewBook& preview, std::optional<uint32_t> offset, const char* role) {
    if (!offset || *offset >= preview.images.size() || !preview.images[*offset].picture) return "";
    return std::string("<figure class=\"") + role + "\"><img src=\"" + htmlAttribute(preview.images[*offset].file) +
           "\" alt=\"" + role + "\"><figcaption>" + role + "</figcaption></figure>\n";
}

std::string compressionName(uint16_t compression) {
    switch (compression) {
        case compressionNone: return "none";
        case compressionPalmDoc: return "PalmDOC";
        case compressionHuffman: return "Huffman dictionary";
    }
    return "unknown (" + std::to_string(compression) + ")";
}

std::string exthValue(const PreviewBook& preview, const ExthRecord& record) {
    if (isNumericExthType(record.type) && record.value.size() == 4)
        return std::to_string(ByteView(record.value).u32(0));
    return escaped(record.type == 300 ? exthValueText(record) : text(preview, record.value));
}

std::string titlePanel(const PreviewBook& preview, const PreviewText& pages) {
    const Book& book = preview.book;
    std::string html = "<section class=\"page title-panel\">\n";
    html += imageTag(preview, book.exthNumber(201), "cover");
    html += "<h1>" + escaped(preview.title) + "</h1>\n";
    std::string authors;
    for (const ExthRecord& record : book.exthRecords())
        if (record.type == 100) authors += (authors.empty() ? "" : ", ") + escaped(text(preview, record.value));
    if (!authors.empty()) html += "<p class=\"authors\">" + authors + "</p>\n";
    const std::string start =
        preview.startReading ? href(pages, *preview.startReading) : std::string(kPagesFolder) + previewFileName(0);
    html += "<p><a class=\"start\" href=\"" + htmlAttribute(start) + "\">Start reading</a></p>\n";
    html += imageTag(preview, book.exthNumber(202), "thumbnail");
    html += "<dl class=\"facts\">\n";
    html += definition("Language", escaped(preview.language.empty() ? "unknown" : preview.language) + " (locale " +
                                       std::to_string(book.kova().locale) + ")");
    html += definition("Text", std::to_string(book.text().size()) + " bytes in " +
                                   std::to_string(book.textRecords().size()) + " records, " +
                                   compressionName(book.palmDoc().compression) + ", " +
                                   (book.kova().textEncoding == codePageUtf8 ? "UTF-8" : "Windows-1252"));
    html += definition("Pages", std::to_string(pages.files.size()) + (pages.files.size() == 1 ? " file" : " files"));
    html += definition("Images", std::to_string(book.imageRecords().size()) + " records");
    html += definition("Table of contents",
                       preview.toc ? std::to_string(preview.toc->nodes.size()) + " entries" : std::string("none"));
    if (const BookIndex* lookup = searchIndex(book))
        html += definition("Dictionary", std::to_string(lookup->entries.size()) + " entries");
    html += "</dl>\n";
    if (!book.faults().empty()) {
        html += "<div class=\"faults\"><h2>The book is unsound</h2><p>A reading device would reject what follows; "
                "the pages show the book as far as it can be read.</p><ul>\n";
        for (const std::string& fault : book.faults()) html += "<li>" + escaped(fault) + "</li>\n";
        html += "</ul></div>\n";
    }
    html += "<h2>Metadata</h2>\n<table class=\"exth\"><thead><tr><th>Type</th><th>Name</th><th>Value</th></tr>"
            "</thead><tbody>\n";
    for (const ExthRecord& record : book.exthRecords())
        html += "<tr><td>" + std::to_string(record.type) + "</td><td>" + escaped(exthTypeName(record.type)) +
                "</td><td>" + exthValue(preview, record) + "</td></tr>\n";
    html += "</tbody></table>\n</section>\n";
    return html;
}

bool writeTitlePanel(const PreviewBook& preview, const PreviewText& pages, const fs::path& path, std::string& error) {
    const Document around = document(preview, "", preview.title, "");
    return writePreviewFile(path, around.head + titlePanel(preview, pages) + around.tail, error);
}

std::vector<uint64_t> targets(const PreviewBook& preview) {
    std::vector<uint64_t> positions = searchTargets(preview.book);
    if (preview.startReading) positions.push_back(*preview.startReading);
    if (preview.toc)
        for (const TocTreeNode& node : preview.toc->nodes) positions.push_back(node.position);
    return positions;
}

std::vector<PreviewImage> previewImages(const Book& book) {
    std::vector<PreviewImage> images;
    for (const ImageRecord& image : book.imageRecords())
        images.push_back({"images/" + imageFileName(image), image.kind != ImageKind::media});
    return images;
}

bool makeFolders(const fs::path& folder, std::string& error) {
    for (const fs::path& sub : {folder, folder / "text", folder / "assets", folder / "data"}) {
        std::error_code failure;
        fs::create_directories(sub, failure);
        if (failure || !fs::is_directory(sub)) {
            error = "cannot create " + sub.string() + (failure ? ": " + failure.message() : ": not a directory");
            return false;
        }
    }
    return true;
}

}  // namespace

bool writeHtmlPreview(const Book& book, const fs::path& folder, std::string& error) {
    PreviewBook preview{book,
                        utf8FromTextEncoding(book.fullName(), book.kova().textEncoding),
                        languageOfLocale(book.kova().locale),
                        std::nullopt,
                        readTocTree(book),
                        previewImages(book),
                        searchIndex(book) != nullptr};
    if (preview.title.empty()) preview.title = "Untitled book";
    if (const std::optional<uint32_t> start = book.exthNumber(116)) preview.startReading = *start;
    if (!makeFolders(folder, error) || !extractImages(book, folder / "images", error)) return false;

    const PreviewText pages = renderPreviewText(book, targets(preview), preview.startReading, preview.images);
    return writePages(preview, pages, folder, error) && writeTitlePanel(preview, pages, folder / "index.html", error) &&
           writePreviewData(folder / "data" / "contents.js", "contents", contentsJson(preview, pages), error) &&
           writeSearchData(book, pages, folder / "data", error) &&
           writePreviewFile(folder / "assets" / "preview.css", previewStyle(), error) &&
           writePreviewFile(folder / "assets" / "preview.js", previewScript(), error);
}

}  // namespace kova
