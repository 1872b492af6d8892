// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/book_writer.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <new>
#include <string>

#include "compress/palmdoc.h"
#include "container/document_identifier.h"
#include "container/text_records.h"
#include "core/big_endian.h"
#include "core/message_sink.h"

namespace qp {

namespace {

constexpr uint8_t kEndOfFileRecord[] = {0xE9, 0x8E, 0x0D, 0x0A};
constexpr size_t kRecordZeroPlaceholder = 8;
constexpr uint32_t kProgressSteps = 50;

// By BookWriter::Store.
constexpr std::string_view kStoreExtensions[] = {".mtxt", ".mhuf", ".mdic", ".midx", ".mmed", ".frm"};

size_t paddedToFour(size_t length) { return (length + 3) & ~size_t{3}; }

// Message numbers are printed from int arguments.
int messageNumber(uint64_t value) { return static_cast<int>(std::min<uint64_t>(value, INT_MAX)); }

uint32_t millisecondTicks() {
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

}  // namespace

BookWriter::BookWriter(const std::filesystem::path& output, Compression compression, MessageSink* sink) {
    messages = sink;
    palmDoc_.compression = compression;
    output_.quiet = true;
    noRecords_.quiet = true;
    if (!output_.create(output, fourCc("BOOK"), fourCc("KOVA"))) {
        failWithPath(ErrorCode::OutputNotWritable, output);
        printSystemReason(output_.systemError());
    }
}

BookWriter::~BookWriter() = default;

PdbDatabase* BookWriter::store(Store kind) {
    std::unique_ptr<TempRecordStore>& store = stores_[static_cast<size_t>(kind)];
    if (!store) {
        if (failed()) return nullptr;
        store = std::make_unique<TempRecordStore>(kStoreExtensions[static_cast<size_t>(kind)]);
        store->database().quiet = true;
    }
    if (!store->ok()) {
        if (!failed()) {
            failWithPath(ErrorCode::CannotCreateTempFile, store->location());
            printSystemReason(store->systemError());
        }
        return nullptr;
    }
    return &store->database();
}

bool BookWriter::failWithPath(Message<MessageText> message, const std::filesystem::path& path) {
    return fail(message, path.string());
}

// --- Settings ---

void BookWriter::setTextEncoding(int32_t codePage) { kova_.textEncoding = static_cast<uint32_t>(codePage); }
void BookWriter::setFullName(const String& title) { fullName_ = title; }
void BookWriter::setDatabaseName(const String& name) { databaseName_ = name; }
void BookWriter::setBookType(uint32_t code) { kova_.bookType = code; }

void BookWriter::setLanguages(uint16_t locale, uint16_t inputLanguage, uint16_t outputLanguage) {
    kova_.locale = locale;
    kova_.inputLanguage = inputLanguage;
    kova_.outputLanguage = outputLanguage;
}

void BookWriter::setExthFlags(uint32_t flags) { kova_.exthFlags = flags; }
void BookWriter::setVersionRequests(VersionRequests requests) { versionRequests_ = requests; }
void BookWriter::setIndexRecords(const IndexRecords& indexes) { kova_.indexes = indexes; }
void BookWriter::setFramePlacement(const FramePlacement& placement) { framePlacement_ = placement; }

void BookWriter::setCoverOffsets(uint32_t cover, uint32_t thumbnail, bool fakeCover) {
    coverOffset_ = cover;
    thumbnailOffset_ = thumbnail;
    fakeCover_ = fakeCover;
}

void BookWriter::addChildBook(const std::filesystem::path& path) { childBooks_.push_back(path); }

std::vector<uint8_t> BookWriter::toTextEncoding(const String& text) const {
    String converted(text);
    converted.messages = messages;
    if (!converted.empty()) converted.convertTo(static_cast<int32_t>(kova_.textEncoding));
    std::string_view bytes = converted.bytes();
    return {bytes.begin(), bytes.end()};
}

// --- Metadata ---

bool BookWriter::addMetadata(uint32_t type, const String& value) {
    std::vector<uint8_t> bytes;
    try {
        bytes = toTextEncoding(value);
    } catch (const std::bad_alloc&) {
        return fail(ErrorCode::NotEnoughMemory);
    }
    if (!addMetadataValue(type, std::move(bytes))) return false;
    std::string line = std::string(exthLabel(type)) + "\"" + value.toUtf8() + "\"";
    report(*this, InfoCode::AddedMetadata, line);
    return true;
}

bool BookWriter::addMetadataValue(uint32_t type, std::vector<uint8_t> value) {
    exth_.append(type, std::move(value));
    ExthList::LimitOutcome outcome = exth_.fitWithin(kMetadataLimit);
    for (int i = 0; i < outcome.truncations; ++i) report(*this, WarningCode::MetadataTruncated);
    if (outcome.within) return true;
    // Truncation only shortens values, so the item just appended is still the last one.
    exth_.removeLast();
    return fail(ErrorCode::TooMuchMetadata);
}

// --- Records of the stages ---

uint32_t BookWriter::addMediaRecord(std::span<const uint8_t> bytes) {
    PdbDatabase* media = mediaStore();
    if (!media) return 0;
    if (!media->appendRecord(bytes)) {
        fail(ErrorCode::NotEnoughMemory);
        return 0;
    }
    return static_cast<uint32_t>(media->recordCount());
}

bool BookWriter::writeText(std::span<const uint8_t> text, TrailingInputs inputs) {
    if (text.size() > kMaxTextLength) return fail(ErrorCode::TooMuchText);
    // A text the dictionary compressor declines is compressed with PalmDOC at the same record size.
    const uint32_t recordSize = nominalRecordSize(text.size(), palmDoc_.compression);
    if (palmDoc_.compression == Compression::Huffman) {
        switch (writeHuffmanText(text, recordSize, inputs)) {
            case HuffmanText::Written: return true;
            case HuffmanText::Failed: return false;
            case HuffmanText::Declined: palmDoc_.compression = Compression::PalmDoc; break;
        }
    }

    size_t count = text.size() / recordSize;
    // Record 0 and the end record come beside the text records; the record count of a book is 16 bits.
    if ((text.size() + recordSize - 1) / recordSize > PdbDatabase::kMaxRecords - 2)
        return fail(ErrorCode::BookTooLarge);
    PdbDatabase* records = textStore();
    if (!records) return false;
    progress_->begin("compressing");
    size_t step = count / kProgressSteps + 1;
    report(*this, InfoCode::RecordCount, messageNumber(count));
    const size_t recordCount = (text.size() + recordSize - 1) / recordSize;
    const auto piece = [&](size_t i) {
        const size_t start = i * recordSize;
        return text.subspan(start, std::min<size_t>(recordSize, text.size() - start));
    };
    // The compressor answers an empty record when it could not have its working memory.
    const auto compress = [&](size_t i) {
        const std::span<const uint8_t> bytes = piece(i);
        return palmDoc_.compression == Compression::None ? std::vector<uint8_t>(bytes.begin(), bytes.end())
                                                         : palmdocCompress(bytes.data(), bytes.size());
    };
    std::vector<uint32_t> lengths;
    const auto store = [&](size_t i, std::vector<uint8_t>&& record) {
        if (i % step == 0) report(*this, InfoCode::RecordProgress, messageNumber(i));
        if (record.empty() || !records->adoptRecord(std::move(record))) return fail(ErrorCode::NotEnoughMemory);
        lengths.push_back(static_cast<uint32_t>(piece(i).size()));
        progress_->advance(i + 1, recordCount);
        return true;
    };
    try {
        if (!forEachRecordInOrder(recordCount, threads_, kRecordBatch, compress, store)) return false;
    } catch (const std::bad_alloc&) {
        return fail(ErrorCode::NotEnoughMemory);
    }
    acceptText(text.size(), recordSize, std::move(lengths), std::move(inputs));
    return true;
}

void BookWriter::setDictionaryCompressedText(uint64_t textLength, uint32_t recordSize,
                                             std::vector<uint32_t> recordLengths, TrailingInputs inputs) {
    acceptText(textLength, recordSize, std::move(recordLengths), std::move(inputs));
}

void BookWriter::acceptText(uint64_t textLength, uint32_t recordSize, std::vector<uint32_t> recordLengths,
                            TrailingInputs inputs) {
    palmDoc_.textLength = static_cast<uint32_t>(textLength);
    palmDoc_.recordSize = static_cast<uint16_t>(recordSize);
    palmDoc_.textRecordCount = static_cast<uint16_t>(recordLengths.size());
    recordLengths_ = std::move(recordLengths);
    kova_.extraRecordDataFlags = 0;
    if (kova_.textEncoding == kCodePageUtf8) kova_.extraRecordDataFlags |= kMultibyteEntryFlag;
    if (!inputs.tocEntries.empty()) kova_.extraRecordDataFlags |= kIndexEntryFlag;
    if (!inputs.positions.empty()) kova_.extraRecordDataFlags |= kPositionListFlag;
    trailingInputs_ = std::move(inputs);
}

// --- Assembly ---

bool BookWriter::assemble(bool minimize, std::span<const uint8_t> text) {
    if (failed() || assemblyStarted_) return false;
    assemblyStarted_ = true;
    startAssembly();
    if (!createRecordZero() || !copyTextRecords(text) || !verifyIndexEntries() || !verifyTargets(text) ||
        !padTextRecords() || !copyIndexRecords() || !copyHuffmanRecords() || !copyMediaRecords())
        return false;
    addCoverRecords();
    if (!verifyHuffmanText(text) || !appendDatpRecords() || !buildFramesStore() || !copyFrameRecords() ||
        !mergeChildBooks() || !appendEndOfFile() || !fillRecordZero(minimize))
        return false;
    setDocumentIdentifier();
    printStatistics();
    assembled_ = true;
    return true;
}

void BookWriter::startAssembly() {
    kova_.uniqueId = uniqueIdFromTicks(millisecondTicks());
    exth_.setNumber(exth::kCreatorSoftware, 200);
    exth_.setNumber(exth::kCreatorMajorVersion, 1);
    exth_.setNumber(exth::kCreatorMinorVersion, 0);
    exth_.setNumber(exth::kCreatorBuildNumber, 85);
    report(*this, InfoCode::RecordSize, palmDoc_.recordSize);
}

bool BookWriter::createRecordZero() {
    if (!output_.createRecord(kRecordZeroPlaceholder, 0)) return fail(ErrorCode::NotEnoughMemory);
    return true;
}

// A store goes through its file before its records reach the book: a temporary directory that cannot take
// the records fails here, naming the store, rather than at the book's save with a misleading output error.
PdbDatabase* BookWriter::readBack(Store kind) {
    std::unique_ptr<TempRecordStore>& store = stores_[static_cast<size_t>(kind)];
    if (!store) return &noRecords_;
    if (store->readBack()) return &store->database();
    failWithPath(ErrorCode::CannotOpenFile, store->path());
    printSystemReason(store->systemError());
    return nullptr;
}

bool BookWriter::appendToBook(std::vector<uint8_t> record, size_t paddedLength) {
    if (output_.recordCount() >= PdbDatabase::kMaxRecords) return fail(ErrorCode::BookTooLarge);
    if (!output_.adoptRecord(std::move(record), paddedLength)) return fail(ErrorCode::NotEnoughMemory);
    return true;
}

// The records move from the store into the book, so that a large store is never held twice.
bool BookWriter::moveRecords(PdbDatabase& from, bool padded, uint64_t* bytes) {
    for (size_t i = 0; i < from.recordCount(); ++i) {
        std::vector<uint8_t> record = from.releaseRecord(i);
        const size_t length = padded ? paddedToFour(record.size()) : record.size();
        if (!appendToBook(std::move(record), length)) return false;
        if (bytes) *bytes += length;
    }
    return true;
}

// Each record leaves the store as it is copied, so that the compressed text is never held twice.
bool BookWriter::copyTextRecords(std::span<const uint8_t> text) {
    PdbDatabase* records = readBack(Store::Text);
    if (!records) return false;
    PdbDatabase& store = *records;
    if (store.recordCount() != recordLengths_.size() || text.size() != palmDoc_.textLength)
        return fail(ErrorCode::TrailingBytes);

    TrailingEntryWriter trailing(kova_.extraRecordDataFlags, text, trailingInputs_.positions,
                                 trailingInputs_.tocEntries);
    size_t start = 0;
    for (size_t i = 0; i < store.recordCount(); ++i) {
        size_t end = start + recordLengths_[i];
        std::vector<uint8_t> record = store.releaseRecord(i);
        const size_t compressedSize = record.size();
        try {
            if (!trailing.appendEntries(record, start, end)) return failTocTooDeep(i, start, end);
        } catch (const std::bad_alloc&) {
            return fail(ErrorCode::NotEnoughMemory);
        }
        statistics_.textBytes += record.size();
        statistics_.trailingBytes += record.size() - compressedSize;
        if (!appendToBook(std::move(record))) return false;
        ++statistics_.textRecords;
        start = end;
    }
    return true;
}

bool BookWriter::padTextRecords() {
    size_t remainder = statistics_.textBytes % 4;
    if (remainder != 0 && !appendToBook({}, 4 - remainder)) return false;
    kova_.firstNonBookRecord = static_cast<uint32_t>(output_.recordCount());
    return true;
}

bool BookWriter::copyIndexRecords() {
    PdbDatabase* records = readBack(Store::Index);
    if (!records || !moveRecords(*records, false, &statistics_.indexBytes)) return false;
    statistics_.indexRecords = static_cast<uint32_t>(records->recordCount());
    return true;
}

bool BookWriter::copyHuffmanRecords() {
    if (palmDoc_.compression != Compression::Huffman) return true;
    PdbDatabase* huffman = readBack(Store::Huffman);
    PdbDatabase* dictionary = readBack(Store::Dictionary);
    if (!huffman || !dictionary) return false;
    kova_.huffmanRecordOffset = static_cast<uint32_t>(output_.recordCount());
    if (!moveRecords(*huffman, false, &statistics_.huffmanBytes) ||
        !moveRecords(*dictionary, true, &statistics_.huffmanBytes))
        return false;
    kova_.huffmanRecordCount = static_cast<uint32_t>(1 + dictionary->recordCount());
    statistics_.huffmanRecords = static_cast<uint32_t>(output_.recordCount()) - kova_.huffmanRecordOffset;
    return true;
}

bool BookWriter::copyMediaRecords() {
    kova_.firstImageRecord = static_cast<uint32_t>(output_.recordCount());
    PdbDatabase* records = readBack(Store::Media);
    if (!records || !moveRecords(*records, true, &statistics_.pictureBytes)) return false;
    statistics_.pictureRecords = static_cast<uint32_t>(records->recordCount());
    return true;
}

void BookWriter::addCoverRecords() {
    if (!coverOffset_ || !thumbnailOffset_) return;
    exth_.setNumber(exth::kCoverOffset, *coverOffset_);
    exth_.setNumber(exth::kFakeCover, fakeCover_ ? 1 : 0);
    exth_.setNumber(exth::kThumbnailOffset, *thumbnailOffset_);
}

// The FDST records start the frames store. The store reaches the book only with FCIS records, which come
// from the text's fragments; a book without fragments keeps its FDST here and record 0 says it has none.
bool BookWriter::buildFramesStore() {
    if (sections_.size() < 2 || framePlacement_.fdstPosition != kNoIndex) return true;
    PdbDatabase* frames = frameStore();
    if (!frames) return false;
    framePlacement_.fdstPosition = static_cast<uint32_t>(frames->recordCount());
    framePlacement_.sectionCount = static_cast<uint32_t>(sections_.size());
    for (std::vector<uint8_t>& record : fdstRecords(sections_))
        if (!frames->adoptRecord(std::move(record))) return fail(ErrorCode::NotEnoughMemory);
    return true;
}

bool BookWriter::copyFrameRecords() {
    const FramePlacement& placement = framePlacement_;
    if (placement.fcisCount == 0) return true;
    uint32_t base = static_cast<uint32_t>(output_.recordCount());
    PdbDatabase* records = readBack(Store::Frames);
    if (!records || !moveRecords(*records, true, &statistics_.frameBytes)) return false;
    statistics_.frameRecords = static_cast<uint32_t>(records->recordCount());
    if (placement.fdstPosition != kNoIndex) kova_.fdstRecord = base + placement.fdstPosition;
    kova_.fdstSectionCount = placement.sectionCount;
    kova_.flisRecord = base + placement.flisPosition;
    kova_.flisCount = placement.flisCount;
    kova_.fcisRecord = base + placement.fcisPosition;
    kova_.fcisCount = placement.fcisCount;
    return true;
}

bool BookWriter::mergeChildBooks() {
    if (childBooks_.empty()) return true;
    uint32_t first = static_cast<uint32_t>(output_.recordCount());
    for (const std::filesystem::path& path : childBooks_) {
        report(*this, InfoCode::MergingFile, path.string());
        PdbDatabase child;
        child.quiet = true;
        if (!child.open(path)) return failWithPath(ErrorCode::CannotOpenFile, path);
        if (!moveRecords(child, false)) return false;
    }
    kova_.firstMergedRecord = first;
    kova_.mergedRecordCount = static_cast<uint32_t>(output_.recordCount()) - first;
    return true;
}

bool BookWriter::appendEndOfFile() {
    if (!appendToBook(std::vector<uint8_t>(std::begin(kEndOfFileRecord), std::end(kEndOfFileRecord)))) return false;
    return true;
}

bool BookWriter::fillRecordZero(bool minimize) {
    kova_.indexes.makeAbsolute(kova_.firstNonBookRecord);
    kova_.version = fileFormatVersion(kova_, versionRequests_, minimize);
    try {
        std::vector<uint8_t> record = buildRecordZero(palmDoc_, kova_, exth_.encodeBlock(), toTextEncoding(fullName_));
        if (!output_.resizeRecord(0, record.size()) || !output_.writeRecord(0, 0, record))
            return fail(ErrorCode::NotEnoughMemory);
    } catch (const std::bad_alloc&) {
        return fail(ErrorCode::NotEnoughMemory);
    }
    return true;
}

void BookWriter::setDocumentIdentifier() {
    std::u16string name = (databaseName_ ? *databaseName_ : fullName_).toUtf16();
    std::string identifier = documentIdentifier(name);
    output_.setName(identifier);
    std::u16string kept;
    for (unsigned char byte : identifier) kept.push_back(byte);
    if (databaseName_ && kept != name) report(*this, WarningCode::DatabaseNameAltered, identifier);
}

void BookWriter::printStatistics() {
    BookStatistics& s = statistics_;
    for (size_t i = 0; i < output_.recordCount(); ++i) s.totalBytes += output_.recordLength(i);
    s.totalRecords = static_cast<uint32_t>(output_.recordCount());
    uint64_t text = s.textBytes - s.trailingBytes + s.huffmanBytes;
    uint64_t other = s.totalBytes - text - s.pictureBytes - s.indexBytes - s.trailingBytes - s.frameBytes;
    uint32_t otherRecords =
        s.totalRecords - s.textRecords - s.huffmanRecords - s.pictureRecords - s.indexRecords - s.frameRecords;

    auto line = [&](Message<MessageNumber, MessageNumber> message, uint64_t bytes, uint64_t records) {
        report(*this, message, messageNumber(bytes), messageNumber(records));
    };
    line(InfoCode::StatsText, text, s.textRecords + s.huffmanRecords);
    line(InfoCode::StatsPictures, s.pictureBytes, s.pictureRecords);
    line(InfoCode::StatsIndexes, s.indexBytes, s.indexRecords);
    line(InfoCode::StatsTrailing, s.trailingBytes, s.textRecords);
    line(InfoCode::StatsFrames, s.frameBytes, s.frameRecords);
    line(InfoCode::StatsOther, other, otherRecords);
    line(InfoCode::StatsTotal, s.totalBytes, s.totalRecords);
    if (palmDoc_.textLength != 0) {
        uint64_t hundredths = text * 10000 / palmDoc_.textLength;
        report(*this, InfoCode::CompressedToPercent, messageNumber(hundredths / 100), messageNumber(hundredths % 100));
    }
    report(*this, InfoCode::DocumentIdentifier, output_.name());
    report(*this, InfoCode::FormatVersion, messageNumber(kova_.version));
}

bool BookWriter::save() {
    if (failed() || !assembled_) return false;
    if (output_.fileSize() > PdbDatabase::kMaxFileSize) return fail(ErrorCode::BookTooLarge);
    if (output_.save()) return true;
    failWithPath(ErrorCode::OutputNotWritable, output_.path());
    printSystemReason(output_.systemError());
    return false;
}

}  // namespace qp
