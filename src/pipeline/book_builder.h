#pragma once
// BookBuilder: the state of one build, from the first stage of a driver to the written book. The stages
// report into its fault header; the pipeline reads that header to decide the result.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/html_converter.h"
#include "convert/link_table.h"
#include "convert/media_table.h"
#include "convert/text_stream.h"
#include "core/fault.h"
#include "core/string.h"
#include "index/index_markup.h"

namespace qp {

// Bits of the builder's flags, stored as the book's EXTH flags.
namespace book_flag {
constexpr uint32_t kUtf8Text = 0x1;
constexpr uint32_t kAllScriptsAuthorised = 0x2;
constexpr uint32_t kCopyPasteForbidden = 0x20;
}  // namespace book_flag

// One metadata entry that becomes an EXTH record: a text (UTF-8) or a value already in its stored form.
struct MetadataEntry {
    uint32_t type = 0;
    std::string text;
    std::optional<std::vector<uint8_t>> stored;
};

// A link target given as an href relative to a file (the guide's start reference).
struct StartLocation {
    std::string baseFile;
    std::string href;
};

class BookBuilder : public FaultHeader {
public:
    BookBuilder();
    BookBuilder(const BookBuilder&) = delete;
    BookBuilder& operator=(const BookBuilder&) = delete;
    ~BookBuilder();

    // Adds a text metadata entry; the writer announces it when it stores it.
    void addMetadata(uint32_t type, std::string_view value);
    // Splits a list of names at ";" and adds each non-empty one as a creator.
    void addCreators(std::string_view names);
    // Announces a value under a label of 16 characters (info 38).
    void announceMetadata(std::string_view label, std::string_view value);

    // Opens the text stream and writes the head of the book text; the text code page must be chosen.
    bool startText(std::string_view headMarkup);
    // Reads a content file (its encoding detected from the document) and converts it into the text.
    bool convertContentFile(const std::string& path);
    // Converts markup composed by the build, named as `path` for its links.
    bool convertContent(const String& source, const std::string& path);
    // Text in the book's code page, with the characters of markup escaped, for attribute values.
    std::string attributeText(std::string_view utf8) const;
    // Takes the warnings and errors that a helper object recorded into the builder.
    void absorbFaults(const FaultHeader& other);
    // Positions before the page breaks that the reader may not cross, in text order.
    std::vector<uint64_t> nonCrossableBreaks() const;

    TextStream stream;
    LinkTable links{*this};
    MediaTable media;
    IndexMarkup index;

    std::string title;  // UTF-8
    std::optional<std::string> databaseName;
    std::vector<MetadataEntry> metadata;
    int32_t textCodePage = kCodePageWestern;
    uint32_t flags = 0;
    uint32_t contentType = 2;
    std::string coverPath;  // absolute, UTF-8
    std::optional<StartLocation> startReading;
    std::string ncxPath;
    uint16_t locale = 0;
    uint16_t inputLanguage = 0;
    uint16_t outputLanguage = 0;

private:
    std::unique_ptr<HtmlConverter> converter_;
    bool bodyWritten_ = false;
};

}  // namespace qp
