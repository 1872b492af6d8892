// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// BookWriter: collects the records of one build in six temporary stores and assembles them, in the book's
// fixed order, into the output database.
//
// How a build drives it:
//
//   BookWriter writer(outputPath, Compression::PalmDoc);  // binds the output
//   if (writer.failed()) ...                               // the error is already reported
//   writer.setTextEncoding(65001);                         // first: names and metadata are converted to it
//   writer.setFullName(title);
//   writer.setDatabaseName(databaseName);                  // only when the source gives one
//   writer.addMetadata(exth::kCreator, author);            // ... and the other settings
//   uint32_t image = writer.addMediaRecord(bytes);         // numbers count from 1
//   writer.setCoverOffsets(cover, thumbnail, false);
//   writer.setTargets(positions);                          // where links and the table of contents point
//   writer.indexStore() ...; writer.setIndexRecords(indexes);  // stores are made on first use
//   writer.writeText(text, trailingInputs);                // cut, compress, keep the trailing-entry inputs
//   writer.assemble(minimize, text);                       // all records in order, record 0 last, checked
//   writer.save();                                         // the book replaces the output file only now
//
// Destruction deletes the temporary stores. A writer that is not saved leaves the output path untouched.
// The stores are quiet: a stage that writes into one reports failures of its record operations itself.
#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "compress/record_threads.h"
#include "container/exth.h"
#include "container/fdst_records.h"
#include "container/pdb_database.h"
#include "container/record_zero.h"
#include "container/temp_record_store.h"
#include "container/trailing_entries.h"
#include "core/fault.h"
#include "core/progress.h"
#include "core/string.h"

namespace qp {

// What the trailing entries of the text records are made from.
struct TrailingInputs {
    std::vector<MarkedPosition> positions;  // ascending; present -> position list entries
    std::vector<TocEntry> tocEntries;       // entries with a parent level; present -> index entries
};

// Where the frames store keeps its FDST, FLIS and FCIS records (positions inside the store).
struct FramePlacement {
    uint32_t fdstPosition = kNoIndex;  // kNoIndex: no FDST record
    uint32_t sectionCount = 1;
    uint32_t flisPosition = 0;
    uint32_t flisCount = 0;
    uint32_t fcisPosition = 0;
    uint32_t fcisCount = 0;
};

// Byte and record counts of the assembled book, as the final statistics print them.
struct BookStatistics {
    uint64_t textBytes = 0;  // text records, trailing entries included
    uint64_t trailingBytes = 0;
    uint64_t huffmanBytes = 0;  // HUFF and CDIC records
    uint64_t pictureBytes = 0;
    uint64_t indexBytes = 0;
    uint64_t frameBytes = 0;
    uint64_t totalBytes = 0;
    uint32_t textRecords = 0;
    uint32_t huffmanRecords = 0;
    uint32_t pictureRecords = 0;
    uint32_t indexRecords = 0;
    uint32_t frameRecords = 0;
    uint32_t totalRecords = 0;
};

class BookWriter : public FaultHeader {
public:
    // Binds the output database (`OutputNotWritable` when the output cannot be written).
    // Messages go to `sink` (none: they are only recorded).
    BookWriter(const std::filesystem::path& output, Compression compression, MessageSink* sink);
    ~BookWriter();
    BookWriter(const BookWriter&) = delete;
    BookWriter& operator=(const BookWriter&) = delete;

    // --- Settings (before assemble) ---
    void setTextEncoding(int32_t codePage);  // 1252 or 65001
    void setFullName(const String& title);
    void setDatabaseName(const String& name);
    void setBookType(uint32_t code);
    void setLanguages(uint16_t locale, uint16_t inputLanguage, uint16_t outputLanguage);
    void setExthFlags(uint32_t flags);
    void setVersionRequests(VersionRequests requests);
    // Index record numbers relative to the index store.
    void setIndexRecords(const IndexRecords& indexes);
    void setFramePlacement(const FramePlacement& placement);
    // The text's sections (one per content file), for the FDST records of the frames store.
    void setTextSections(std::vector<TextSection> sections) { sections_ = std::move(sections); }
    // Cover and thumbnail, counted from the first image record.
    void setCoverOffsets(uint32_t cover, uint32_t thumbnail, bool fakeCover);
    // The text positions that links and table-of-contents entries open: each must stand on a tag, where a
    // reader starts reading.
    void setTargets(std::vector<uint64_t> positions) { targets_ = std::move(positions); }
    void addChildBook(const std::filesystem::path& path);
    // Threads for compressing and verifying the text records (default: one per core); the book is the same
    // for any number.
    void setThreadCount(unsigned threads) { threads_ = std::max(1u, threads); }
    // Where compressing the text tells how far it is.
    void setProgress(Progress& progress) { progress_ = &progress; }

    // --- Metadata (EXTH) ---
    // Converts the value to the text encoding and appends it, keeping the metadata within 30 KB: Review,
    // then Description are cut (`MetadataTruncated`); if that is not enough, `TooMuchMetadata` and the item is
    // not kept.
    bool addMetadata(uint32_t type, const String& value);
    // A value already in its stored form (numbers), under the same limit.
    bool addMetadataValue(uint32_t type, std::vector<uint8_t> value);
    ExthList& exthItems() { return exth_; }

    // --- Records written by the stages ---
    // Appends an image or media record; returns its number counted from 1, or 0 after `NotEnoughMemory`.
    uint32_t addMediaRecord(std::span<const uint8_t> bytes);
    // The temporary stores, each made when a stage first asks for it; nullptr after `CannotCreateTempFile` (reported).
    PdbDatabase* textStore() { return store(Store::Text); }
    PdbDatabase* huffmanStore() { return store(Store::Huffman); }
    PdbDatabase* dictionaryStore() { return store(Store::Dictionary); }
    PdbDatabase* indexStore() { return store(Store::Index); }
    PdbDatabase* mediaStore() { return store(Store::Media); }
    PdbDatabase* frameStore() { return store(Store::Frames); }

    // Cuts the whole uncompressed text into records of the nominal size and compresses them into the text
    // store (compression 1: stored as they are; 2: PalmDOC). Dictionary compression is its own stage: a
    // writer asked to compress the text itself uses PalmDOC, as when that stage declines. `TooMuchText` for a
    // text over the limit.
    bool writeText(std::span<const uint8_t> text, TrailingInputs inputs);
    // For the dictionary compressor, which fills the text, HUFF and CDIC stores itself: the uncompressed
    // length of every text record it wrote.
    void setDictionaryCompressedText(uint64_t textLength, uint32_t recordSize, std::vector<uint32_t> recordLengths,
                                     TrailingInputs inputs);

    // Assembles the book from the stores; text is the whole uncompressed text given to writeText.
    bool assemble(bool minimize, std::span<const uint8_t> text);
    // Replaces the output file with the assembled book. Nothing is written after a failure.
    bool save();

    Compression compression() const { return palmDoc_.compression; }
    const PdbDatabase& output() const { return output_; }
    const BookStatistics& statistics() const { return statistics_; }
    uint32_t extraRecordDataFlags() const { return kova_.extraRecordDataFlags; }

private:
    // Text records compressed or verified between two hand-overs to the calling thread: 1 MB of 4,096-byte
    // records.
    static constexpr size_t kRecordBatch = 256;
    enum class HuffmanText { Written, Declined, Failed };
    HuffmanText writeHuffmanText(std::span<const uint8_t> text, uint32_t recordSize, TrailingInputs& inputs);
    bool verifyHuffmanText(std::span<const uint8_t> text);
    bool verifyIndexEntries();
    bool verifyTargets(std::span<const uint8_t> text);
    bool failTocTooDeep(size_t record, uint64_t start, uint64_t end);
    bool appendDatpRecords();
    void acceptText(uint64_t textLength, uint32_t recordSize, std::vector<uint32_t> recordLengths,
                    TrailingInputs inputs);
    // Reports the error; always false.
    template <typename... Arguments>
    bool fail(MessageFor<Arguments...> message, Arguments&&... arguments) {
        report(*this, message, std::forward<Arguments>(arguments)...);
        return false;
    }
    bool failWithPath(Message<MessageText> message, const std::filesystem::path& path);
    enum class Store { Text, Huffman, Dictionary, Index, Media, Frames, Count };
    PdbDatabase* store(Store kind);
    // The store's records, read back from its file; an empty database for a store no stage made.
    PdbDatabase* readBack(Store kind);
    // Appends a record to the book, padded with zero bytes to paddedLength; `BookTooLarge` past 65,535 records.
    bool appendToBook(std::vector<uint8_t> record, size_t paddedLength = 0);
    bool moveRecords(PdbDatabase& from, bool padded, uint64_t* bytes = nullptr);
    std::vector<uint8_t> toTextEncoding(const String& text) const;

    // The assembly steps, in their order.
    void startAssembly();
    bool createRecordZero();
    bool copyTextRecords(std::span<const uint8_t> text);
    bool padTextRecords();
    bool copyIndexRecords();
    bool copyHuffmanRecords();
    bool copyMediaRecords();
    void addCoverRecords();
    bool buildFramesStore();
    bool copyFrameRecords();
    bool mergeChildBooks();
    bool appendEndOfFile();
    bool fillRecordZero(bool minimize);
    void setDocumentIdentifier();
    void printStatistics();

    PdbDatabase output_;
    std::array<std::unique_ptr<TempRecordStore>, static_cast<size_t>(Store::Count)> stores_;
    PdbDatabase noRecords_;

    PalmDocHeader palmDoc_;
    KovaHeader kova_;
    VersionRequests versionRequests_;
    ExthList exth_;
    String fullName_;
    std::optional<String> databaseName_;
    std::vector<uint32_t> recordLengths_;  // uncompressed length of every text record
    TrailingInputs trailingInputs_;
    std::vector<uint64_t> targets_;
    FramePlacement framePlacement_;
    std::vector<TextSection> sections_;
    std::optional<uint32_t> coverOffset_;
    std::optional<uint32_t> thumbnailOffset_;
    bool fakeCover_ = false;
    std::vector<std::filesystem::path> childBooks_;
    BookStatistics statistics_;
    unsigned threads_ = hardwareThreads();
    Progress silent_;
    Progress* progress_ = &silent_;
    bool assemblyStarted_ = false;
    bool assembled_ = false;
};

}  // namespace qp
