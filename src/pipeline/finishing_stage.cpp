// SPDX-License-Identifier: GPL-3.0-or-later
// The finishing stage that every source build ends in: closes the text, resolves the links and the start
// reading location, adds the cover and the media, compresses the text, assembles the records and saves the
// book. Nothing is written when a step fails.
#include <filesystem>
#include <new>
#include <vector>

#include "container/book_writer.h"
#include "container/exth.h"
#include "convert/character_ranges.h"
#include "convert/image_decode.h"
#include "core/big_endian.h"
#include "core/free_memory.h"
#include "core/message_sink.h"
#include "index/dictionary_indexes.h"
#include "index/index_records.h"
#include "pipeline/book_builder.h"
#include "pipeline/toc_index.h"

namespace qp {

namespace {

namespace fs = std::filesystem;

constexpr int kMinimumCoverSide = 500;
constexpr int32_t kThumbnailBox = 240;

// The writer's media store as the media table's record sink.
class WriterRecordSink : public RecordSink {
public:
    explicit WriterRecordSink(BookWriter& writer) : writer_(writer) {}
    bool addRecord(const uint8_t* data, size_t size) override {
        return writer_.addMediaRecord(std::span<const uint8_t>(data, size)) != 0;
    }

private:
    BookWriter& writer_;
};

struct CoverRecords {
    int32_t cover = -1;
    int32_t thumbnail = -1;
};

// The cover's problems are warnings: a missing, unreadable or small cover still leaves a book.
struct CoverProblem {
    Message<MessageText> warning;
    bool unusable;  // the cover is left out of the book
};

std::optional<CoverProblem> coverProblem(const std::string& path) {
    std::error_code error;
    const bool regular = fs::is_regular_file(path, error);
    const uintmax_t size = regular ? fs::file_size(path, error) : 0;
    if (!regular || error || size == 0) return CoverProblem{WarningCode::CoverNotFound, true};
    String file;
    file.quiet = true;
    DecodedImage image;
    if (!file.loadFile(String::fromUtf8(path)) ||
        decodeImage(std::span<const uint8_t>(file.data(), file.length()), image) != ImageFault::None ||
        image.frames.empty()) {
        return CoverProblem{WarningCode::CoverInvalid, true};
    }
    if (image.first().width < kMinimumCoverSide || image.first().height < kMinimumCoverSide) {
        return CoverProblem{WarningCode::CoverTooSmall, false};
    }
    return std::nullopt;
}

}  // namespace

BuildResult BookBuilder::finish(const std::string& outputPath) {
    progress().begin("converting");
    closeText();
    if (failed()) return abandon();

    links_.resolveLinks();
    resolveStartReading();
    if (!readTableOfContents()) return abandon();

    if (!openWriter(outputPath)) return abandon();
    handOverMetadata();
    if (!addCoverAndMedia()) return abandon();
    progress().begin("building indexes");
    if (!writeIndexes()) return abandon();
    returnFreeMemory();  // what the indexes were built from, before the text is read back

    WrittenText text;
    if (!readText(text) || !writeBook(text.bytes())) return abandon();
    return result();
}

BuildResult BookBuilder::abandon() {
    report(InfoCode::Failed);
    return BuildResult::Failed;
}

void BookBuilder::closeText() {
    if (stream_.isOpen() && stream_.position() > 0 && metadata_.bookType != book_type::kPlainText) {
        // A package whose spine holds no content still gets a body, so the markup stays balanced.
        stream_.write(bodyWritten_ ? "</body></html>" : "<body></body></html>");
    }
}

void BookBuilder::resolveStartReading() {
    if (!metadata_.startReading) return;
    report(InfoCode::ResolvingStart);
    const auto position = links_.resolve(metadata_.startReading->baseFile, metadata_.startReading->href);
    if (!position || *position > UINT32_MAX) {
        report(WarningCode::StartNotResolved);
        return;
    }
    std::vector<uint8_t> stored;
    appendBigEndian32(stored, static_cast<uint32_t>(*position));
    metadata_.entries.push_back({exth::kStartReading, {}, std::move(stored)});
    announceMetadata(exthLabel(exth::kStartReading), std::to_string(*position));
}

// The table of contents is read and placed as soon as the text is complete; it is written with the indexes.
bool BookBuilder::readTableOfContents() {
    if (metadata_.ncxPath.empty()) return true;
    report(InfoCode::BuildingToc, metadata_.ncxPath);
    TableOfContents toc;
    const bool read = metadata_.navigationDocument ? readNavigationDocument(metadata_.ncxPath, toc, faults_)
                                                   : readNcx(metadata_.ncxPath, toc, faults_);
    if (!read || !placeTableOfContents(toc, links_, metadata_.ncxPath, stream_.position(), faults_)) {
        report(ErrorCode::TocNotBuilt);
        return false;
    }
    toc_ = std::move(toc);
    return true;
}

// The indexes go into the writer's index store, the dictionary's first; record 0 points at them.
bool BookBuilder::writeIndexes() {
    if (!toc_ && index_.empty()) return true;
    PdbDatabase* store = writer_->indexStore();
    if (!store) return false;
    IndexRecords records;
    if (!writeDictionaryIndexes(*store, records) || !writeTocIndex(*store, records)) return false;
    writer_->setIndexRecords(records);
    return !failed();
}

bool BookBuilder::writeDictionaryIndexes(PdbDatabase& store, IndexRecords& records) {
    if (index_.empty()) return true;
    const uint16_t language = metadata_.inputLanguage != 0 ? metadata_.inputLanguage : metadata_.locale;
    DictionaryIndexes dictionary(
        index_, {textCodePage_, language, metadata_.defaultLookupIndex, metadata_.defaultLookupKey}, faults_);
    return dictionary.build() && dictionary.write(store, records);
}

bool BookBuilder::writeTocIndex(PdbDatabase& store, IndexRecords& records) {
    if (!toc_) return true;
    TocIndex toc = buildTocIndex(*toc_, textCodePage_, metadata_.locale, media_);
    const int32_t tocRecord = writeIndex(*toc.index, store);
    absorbFaults(*toc.index);
    if (tocRecord < 0) {
        if (toc.index->entryCount() == 0) return true;
        report(ErrorCode::TocNotBuilt);
        return false;
    }
    records.ncx = static_cast<uint32_t>(tocRecord);
    tocEntries_ = std::move(toc.trailingEntries);
    return true;
}

bool BookBuilder::openWriter(const std::string& outputPath) {
    writer_ = std::make_unique<BookWriter>(fs::path(outputPath), options_.compression, faults_.messages);
    if (options_.oneThread) writer_->setThreadCount(1);
    writer_->setProgress(progress());
    return !writer_->failed();
}

void BookBuilder::handOverMetadata() {
    BookWriter& writer = *writer_;
    writer.setTextEncoding(textCodePage_);
    writer.setFullName(String::fromUtf8(metadata_.title));
    if (metadata_.databaseName) writer.setDatabaseName(String::fromUtf8(*metadata_.databaseName));
    writer.setBookType(metadata_.bookType);
    writer.setLanguages(metadata_.locale, metadata_.inputLanguage, metadata_.outputLanguage);
    uint32_t flags = metadata_.exthFlags;
    if (textCodePage_ == kCodePageUtf8) flags |= exth_flag::kUtf8Text;
    writer.setExthFlags(flags);
    for (const std::string& child : metadata_.childBooks) writer.addChildBook(child);
    for (const MetadataEntry& entry : metadata_.entries) {
        if (entry.stored) {
            writer.addMetadataValue(entry.type, *entry.stored);
        } else {
            writer.addMetadata(entry.type, String::fromUtf8(entry.text));
        }
    }
}

// The cover goes in twice: as itself and as a thumbnail within the box. Then the links are written into
// the text (image references need the record numbers) and every image and media file becomes records.
bool BookBuilder::addCoverAndMedia() {
    CoverRecords cover;
    const std::string& path = metadata_.coverPath;
    if (!path.empty()) {
        const std::optional<CoverProblem> problem = coverProblem(path);
        if (problem) report(problem->warning, path);
        if (!problem || !problem->unusable) {
            const MediaSelectors thumbnail{
                kThumbnailBox, kThumbnailBox,
                options_.allowJpeg ? MediaSelectors::kThumbnailJpeg : MediaSelectors::kThumbnailGif};
            cover.cover = media_.registerFile(path);
            if (cover.cover >= 0) cover.thumbnail = media_.registerFile(path, {}, thumbnail);
        }
    }
    links_.writeLinks(stream_, media_);
    if (failed()) return false;
    WriterRecordSink recordSink(*writer_);
    if (!media_.writeRecords(recordSink)) return false;
    if (cover.cover >= 0 && cover.thumbnail >= 0) {
        writer_->setCoverOffsets(static_cast<uint32_t>(cover.cover), static_cast<uint32_t>(cover.thumbnail), false);
    }
    return !failed();
}

bool BookBuilder::readText(WrittenText& text) {
    try {
        return stream_.readAll(text);
    } catch (const std::bad_alloc&) {
        report(ErrorCode::NotEnoughContiguousMemory);
    }
    return false;
}

// Names the Unicode blocks of the text and keeps them in metadata record 300.
bool BookBuilder::recordCharacterRanges(std::span<const uint8_t> text) {
    report(InfoCode::ComputingUnicodeRanges);
    const std::vector<CharacterRange> ranges = characterRanges(text, textCodePage_);
    for (const CharacterRange& range : ranges) {
        report(InfoCode::UnicodeRangeFound, describeCharacterRange(range));
    }
    return writer_->addMetadataValue(exth::kCharacterRanges, encodeCharacterRanges(ranges));
}

bool BookBuilder::writeBook(std::span<const uint8_t> text) {
    if (!recordCharacterRanges(text)) return false;
    std::vector<TextSection> sections;
    for (size_t i = 0; i < sectionStarts_.size(); ++i) {
        const uint32_t end = i + 1 < sectionStarts_.size() ? sectionStarts_[i + 1] : static_cast<uint32_t>(text.size());
        sections.push_back({sectionStarts_[i], end});
    }
    writer_->setTextSections(std::move(sections));
    writer_->setTargets(targetPositions());
    TrailingInputs inputs;
    inputs.tocEntries = tocEntries_;
    for (uint64_t position : converter_ ? converter_->nonCrossableBreaks() : std::vector<uint64_t>{}) {
        if (position <= UINT32_MAX) inputs.positions.push_back({static_cast<uint32_t>(position), false});
    }
    if (!writer_->writeText(text, std::move(inputs))) return false;
    progress().begin("writing");
    if (!writer_->assemble(options_.minimize, text) || failed()) return false;
    if (!writer_->save()) return false;
    report(InfoCode::Saving);
    return true;
}

// Where the links and the table of contents open the text: the writer checks that each is a tag. A navigation
// list itself (depth 0 in the lists) points nowhere.
std::vector<uint64_t> BookBuilder::targetPositions() const {
    std::vector<uint64_t> targets = links_.resolvedTargets();
    if (!toc_) return targets;
    for (const TocNode& node : toc_->navMap) targets.push_back(node.position);
    for (const TocNode& node : toc_->navLists)
        if (node.depth > 0) targets.push_back(node.position);
    return targets;
}

BuildResult BookBuilder::result() {
    if (failed()) return abandon();
    return warned() ? BuildResult::GeneratedWithWarnings : BuildResult::Generated;
}

}  // namespace qp
