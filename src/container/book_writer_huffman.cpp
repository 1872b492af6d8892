// SPDX-License-Identifier: GPL-3.0-or-later
// The Huffman dictionary steps of the book writer: compressing the text into the text, HUFF and CDIC stores
// (falling back to PalmDOC when the compressor declines), verifying the assembled records by decoding them,
// and the DATP records that follow.
#include <algorithm>
#include <bit>
#include <climits>

#include "compress/huffman.h"
#include "compress/record_threads.h"
#include "container/book_writer.h"
#include "container/datp_records.h"
#include "core/message_sink.h"

namespace qp {

namespace {

// One verified text record (a result per record that workers write side by side, so no bool).
enum class Verdict : uint8_t { Differs, Same };

int messageNumber(uint64_t value) { return static_cast<int>(std::min<uint64_t>(value, INT_MAX)); }

// The compressor's progress as console messages.
class CompressionMessages : public HuffmanProgress {
public:
    CompressionMessages(FaultHeader& faults, Progress& progress) : faults_(faults), progress_(progress) {}

    // The console names passes 1, 2, 4, 8, ...
    void compilingPass(uint32_t pass) override {
        if (std::has_single_bit(pass)) report(faults_, InfoCode::CompilingForCompression, messageNumber(pass));
        // The passes stop when they no longer pay, so the display counts them instead of a percentage.
        progress_.begin("compressing (Huffman pass " + std::to_string(pass) + ")");
    }
    void compressionPass(uint32_t pass) override {
        report(faults_, InfoCode::CompressionPass, messageNumber(pass));
        if (pass > 2) progress_.begin("compressing (Huffman round " + std::to_string(pass - 2) + ")");
    }
    void roundResult(uint64_t compressedBytes, uint64_t textBytes, uint64_t dictionaryBytes,
                     uint32_t entryCount) override {
        const uint64_t hundredths = textBytes == 0 ? 0 : compressedBytes * 10000 / textBytes;
        report(faults_, InfoCode::CompressedPercent, messageNumber(hundredths / 100), messageNumber(hundredths % 100));
        report(faults_, InfoCode::DictionaryStatistics, messageNumber(dictionaryBytes), messageNumber(entryCount));
    }

private:
    FaultHeader& faults_;
    Progress& progress_;
};

}  // namespace

BookWriter::HuffmanText BookWriter::writeHuffmanText(std::span<const uint8_t> text, uint32_t recordSize,
                                                     TrailingInputs& inputs) {
    CompressionMessages console(*this, *progress_);
    HuffmanRecords records;
    switch (compressHuffman(text, recordSize, threads_, records, console)) {
        case HuffmanOutcome::Compressed: break;
        case HuffmanOutcome::Declined: report(*this, InfoCode::CompressionDeclined); return HuffmanText::Declined;
        case HuffmanOutcome::Canceled: fail(ErrorCode::UserCanceled); return HuffmanText::Failed;
        case HuffmanOutcome::OutOfMemory: fail(ErrorCode::NotEnoughMemory); return HuffmanText::Failed;
    }
    // Record 0 and the end record come beside the text records; the record count of a book is 16 bits.
    if (records.text.size() > PdbDatabase::kMaxRecords - 2) {
        fail(ErrorCode::BookTooLarge);
        return HuffmanText::Failed;
    }
    PdbDatabase* textRecords = textStore();
    PdbDatabase* huff = huffmanStore();
    PdbDatabase* dictionary = dictionaryStore();
    if (!textRecords || !huff || !dictionary) return HuffmanText::Failed;
    report(*this, InfoCode::RecordCount, messageNumber(records.text.size()));
    bool stored = huff->adoptRecord(std::move(records.huff));
    for (std::vector<uint8_t>& record : records.cdic) stored = stored && dictionary->adoptRecord(std::move(record));
    for (std::vector<uint8_t>& record : records.text) stored = stored && textRecords->adoptRecord(std::move(record));
    if (!stored) {
        fail(ErrorCode::NotEnoughMemory);
        return HuffmanText::Failed;
    }
    acceptText(text.size(), recordSize, std::move(records.textLengths), std::move(inputs));
    return HuffmanText::Written;
}

// Every text record is read back from the book, its trailing entries taken off, decoded with the HUFF and
// CDIC records as written and compared with the text it was made from.
bool BookWriter::verifyHuffmanText(std::span<const uint8_t> text) {
    if (palmDoc_.compression != Compression::Huffman) return true;
    std::vector<std::span<const uint8_t>> cdic;
    for (uint32_t i = 1; i < kova_.huffmanRecordCount; ++i)
        cdic.push_back(output_.record(kova_.huffmanRecordOffset + i));
    HuffmanDecoder decoder;
    bool same = decoder.load(output_.record(kova_.huffmanRecordOffset), cdic);
    std::vector<size_t> starts(recordLengths_.size() + 1, 0);
    for (size_t i = 0; i < recordLengths_.size(); ++i) starts[i + 1] = starts[i] + recordLengths_[i];
    same = same && starts.back() == text.size();
    const auto decodesToText = [&](size_t i) {
        const std::span<const uint8_t> record = output_.record(1 + i);
        const std::optional<size_t> trailing = trailingEntriesSize(record, kova_.extraRecordDataFlags);
        std::vector<uint8_t> decoded;
        const bool decodes = trailing && decoder.decodeRecord(record.first(record.size() - *trailing), decoded);
        return decodes && std::ranges::equal(decoded, text.subspan(starts[i], recordLengths_[i])) ? Verdict::Same
                                                                                                  : Verdict::Differs;
    };
    try {
        same = same && forEachRecordInOrder(recordLengths_.size(), threads_, kRecordBatch, decodesToText,
                                            [](size_t, Verdict verdict) { return verdict == Verdict::Same; });
    } catch (const std::bad_alloc&) {
        return fail(ErrorCode::NotEnoughMemory);
    }
    if (!same) return fail(ErrorCode::HuffmanVerificationFailed);
    report(*this, InfoCode::CompressionVerified);
    return true;
}

bool BookWriter::appendDatpRecords() {
    if (palmDoc_.compression != Compression::Huffman) return true;
    kova_.datpRecordOffset = static_cast<uint32_t>(output_.recordCount());
    std::vector<std::vector<uint8_t>> records = datpRecords(recordLengths_);
    kova_.datpRecordCount = static_cast<uint32_t>(records.size());
    for (std::vector<uint8_t>& record : records)
        if (!appendToBook(std::move(record))) return false;
    return true;
}

}  // namespace qp
