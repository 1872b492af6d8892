// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// BookBuilder: the state of one build, from the first stage of a source build to the saved book.
//
// A source build fills the metadata, writes the head of the text, converts the content files and registers
// the media, then hands over to finish(), which resolves the links, writes the records and saves the book.
// The build's status is read from its own fault header and from every part it owns (the text stream, the
// media table, the dictionary markup, the writer), so that no stage's fault can be lost on the way; faults of objects a
// stage makes and drops (a loaded file, the package) are taken over with absorbFaults().
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "container/trailing_entries.h"
#include "convert/html_converter.h"
#include "convert/link_table.h"
#include "convert/media_table.h"
#include "convert/table_of_contents.h"
#include "convert/text_stream.h"
#include "core/fault.h"
#include "core/string.h"
#include "index/index_markup.h"
#include "package/opf_package.h"
#include "pipeline/book_metadata.h"
#include "pipeline/build_options.h"

namespace qp {

class BookWriter;
class PdbDatabase;
struct IndexRecords;

class BookBuilder {
public:
    explicit BookBuilder(const BuildOptions& options);
    ~BookBuilder();
    BookBuilder(const BookBuilder&) = delete;
    BookBuilder& operator=(const BookBuilder&) = delete;

    const BuildOptions& options() const { return options_; }
    // Where the build shows how far it is.
    Progress& progress() { return options_.progress ? *options_.progress : silent_; }
    BookMetadata& metadata() { return metadata_; }

    bool failed() const;
    bool warned() const;
    template <typename... Arguments>
    void report(MessageFor<Arguments...> message, Arguments&&... arguments) {
        qp::report(faults_, message, std::forward<Arguments>(arguments)...);
    }
    void absorbFaults(const FaultHeader& faults);
    // Announces a value under a label of 16 characters (info "Added metadata").
    void announceMetadata(std::string_view label, std::string_view value);

    // --- The text, in this order ---
    // Opens the text stream in the chosen code page (1252 or 65001) and writes the start of the head.
    bool startText(int32_t textCodePage, std::string_view headMarkup);
    int32_t textCodePage() const { return textCodePage_; }
    // The guide block of a package: one reference element per reference, its href a link placeholder.
    bool writeGuide(const std::vector<GuideReference>& guide, const std::string& packagePath);
    bool writeText(std::string_view markup);
    // True once the text stream can take no more (its temporary file failed).
    bool textFailed() const;
    // Starts the stage that converts the content files, `files` of them.
    void beginParsing(uint64_t files);
    // Reads a content file (its encoding detected from the document) and converts it into the text.
    bool convertContentFile(const std::string& path);
    // Converts markup composed by the build, named as `path` for its links.
    bool convertContent(const String& source, const std::string& path);
    // An audio or other media file the book carries.
    void registerMedia(const std::string& path, std::string_view mediaType);

    // The finishing stage: links, start location, cover, media, compression, assembly and the saved book.
    BuildResult finish(const std::string& outputPath);
    // Ends a build that failed before the finishing stage (info "could not be generated").
    BuildResult abandon();

private:
    // Steps of the finishing stage (finishing_stage.cpp).
    void closeText();
    void resolveStartReading();
    bool readTableOfContents();
    bool openWriter(const std::string& outputPath);
    void handOverMetadata();
    bool addCoverAndMedia();
    bool writeIndexes();
    bool writeDictionaryIndexes(PdbDatabase& store, IndexRecords& records);
    bool writeTocIndex(PdbDatabase& store, IndexRecords& records);
    bool readText(WrittenText& text);
    bool recordCharacterRanges(std::span<const uint8_t> text);
    bool writeBook(std::span<const uint8_t> text);
    std::vector<uint64_t> targetPositions() const;
    BuildResult result();

    // Text in the book's code page, with the characters of markup escaped, for attribute values.
    std::string attributeText(std::string_view utf8) const;

    BuildOptions options_;
    BookMetadata metadata_;
    int32_t textCodePage_ = kCodePageWestern;
    FaultHeader faults_;  // the build's own faults, and those of the stages that report into it
    TextStream stream_;
    LinkTable links_{faults_};
    MediaTable media_;
    IndexMarkup index_;
    std::unique_ptr<HtmlConverter> converter_;
    std::unique_ptr<BookWriter> writer_;
    std::optional<TableOfContents> toc_;
    std::vector<TocEntry> tocEntries_;     // the navigation map as the trailing index entries see it
    std::vector<uint32_t> sectionStarts_;  // where each content file's text begins
    bool bodyWritten_ = false;
    Progress silent_;
    std::optional<PartOfStage> fileProgress_;  // the content file being converted, as a part of the stage
    uint64_t filesConverted_ = 0;
};

}  // namespace qp
