// SPDX-License-Identifier: GPL-3.0-or-later
// The writer's failures, metadata limits and statistics as they reach the message sink.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "captured_sink.h"
#include "container/book_writer.h"
#include "container/temp_record_store.h"
#include "container/text_records.h"
#include "kova_book.h"
#include "test_support.h"

using Bytes = std::vector<uint8_t>;
using qp::Compression;

namespace {

Bytes textOf(size_t length) { return Bytes(length, 'x'); }

std::vector<std::string> leftoverStores() { return qptest::tempEntries(qp::temporaryFilePrefix()); }

}  // namespace

TEST(BookWriterFailure, UnwritableOutputIsReportedAndNothingIsWritten) {
    qptest::TempDir dir;
    CapturedSink sink;
    {
        qp::BookWriter writer(dir / "missing-directory" / "b.kova", Compression::PalmDoc, &sink);
        EXPECT_TRUE(writer.failed());
        EXPECT_EQ(writer.lastError, qp::ErrorCode::OutputNotWritable);
        Bytes text = textOf(10);
        EXPECT_FALSE(writer.assemble(true, text));
        EXPECT_FALSE(writer.save());
    }
    EXPECT_EQ(sink.errorCodes(), std::vector<qp::ErrorCode>{qp::ErrorCode::OutputNotWritable});
    EXPECT_FALSE(std::filesystem::exists(dir / "missing-directory"));
    EXPECT_TRUE(leftoverStores().empty());
}

TEST(BookWriterFailure, FailedAssemblyLeavesNoBookAndNoStores) {
    qptest::TempDir dir;
    CapturedSink sink;
    Bytes text = textOf(5000);
    {
        qp::BookWriter writer(dir / "b.kova", Compression::PalmDoc, &sink);
        ASSERT_FALSE(writer.failed());
        EXPECT_TRUE(leftoverStores().empty());  // a store is made when a stage first uses it
        writer.addMediaRecord(Bytes{1, 2, 3});
        ASSERT_TRUE(writer.writeText(text, {}));
        std::vector<std::string> made;
        for (const std::string& name : leftoverStores()) {
            for (std::string extension : {".mtxt", ".mhuf", ".mdic", ".midx", ".mmed", ".frm"})
                if (name.ends_with(extension)) made.push_back(extension);
        }
        std::sort(made.begin(), made.end());
        EXPECT_EQ(made, (std::vector<std::string>{".mmed", ".mtxt"}));
        writer.addChildBook(dir / "no-such-child.kova");
        EXPECT_FALSE(writer.assemble(true, text));
        EXPECT_EQ(writer.lastError, qp::ErrorCode::CannotOpenFile);
        EXPECT_FALSE(writer.save());
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    EXPECT_TRUE(leftoverStores().empty());
}

// A book the writer cannot vouch for is not saved: the old book stays as it was, and nothing else is left.
TEST(BookWriterFailure, OldBookSurvivesAFailedBuild) {
    Bytes text = textOf(100);
    text[0] = '<';
    qp::TrailingInputs tooDeep;
    for (uint32_t depth = 0; depth < 7000; ++depth) tooDeep.tocEntries.push_back({0, 100, depth, depth});
    const struct {
        const char* what;
        Bytes assembled;  // the text handed to assemble
        qp::TrailingInputs inputs;
        std::vector<uint64_t> targets;
        qp::ErrorCode error;
        std::string printed;
    } cases[] = {
        {"not the text that was written: the entries cannot be made",
         textOf(99),
         {},
         {},
         qp::ErrorCode::TrailingBytes,
         "Error(mkbook): internal error: could not write trailing bytes."},
        {"a link that opens the text off a tag",
         text,
         {},
         {0, 5},
         qp::ErrorCode::TargetNotOnTag,
         "Error(mkbook): internal error: a link or table of content target is not on a tag, at text position 5"},
        {"more nested entries than one record's trailing entries hold",
         text,
         tooDeep,
         {},
         qp::ErrorCode::TocTooDeep,
         "Error(mkbook): The table of content nests too deep for the text records: 7000 levels; text record 1 would "
         "name 7000 entries, more than its 32768 bytes of trailing entries hold."},
    };
    for (const auto& c : cases) {
        qptest::TempDir dir;
        qptest::writeFile(dir / "b.kova", "the old book");
        CapturedSink sink;
        {
            qp::BookWriter writer(dir / "b.kova", Compression::PalmDoc, &sink);
            writer.setTargets(c.targets);
            ASSERT_TRUE(writer.writeText(text, c.inputs)) << c.what;
            EXPECT_FALSE(writer.assemble(true, c.assembled)) << c.what;
            EXPECT_EQ(writer.lastError, c.error) << c.what;
            EXPECT_FALSE(writer.save()) << c.what;
        }
        EXPECT_TRUE(sink.printed(c.printed)) << c.what;
        EXPECT_EQ(qptest::readFile(dir / "b.kova"), "the old book") << c.what;
        std::filesystem::directory_iterator entries(dir.path());
        EXPECT_EQ(std::distance(entries, std::filesystem::directory_iterator{}), 1) << c.what;
        EXPECT_TRUE(leftoverStores().empty()) << c.what;
    }
}

TEST(BookWriterFailure, UnsavedWriterWritesNothing) {
    qptest::TempDir dir;
    Bytes text = textOf(100);
    {
        qp::BookWriter writer(dir / "b.kova", Compression::PalmDoc, nullptr);
        ASSERT_TRUE(writer.writeText(text, {}));
        ASSERT_TRUE(writer.assemble(true, text));
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    EXPECT_TRUE(leftoverStores().empty());
}

TEST(BookWriterMetadata, CreatorsInOrderAndTheAddedMessage) {
    qptest::TempDir dir;
    CapturedSink sink;
    Bytes text = textOf(10);
    {
        qp::BookWriter writer(dir / "b.kova", Compression::PalmDoc, &sink);
        writer.setTextEncoding(1252);
        ASSERT_TRUE(writer.addMetadata(100, qp::String::fromUtf8("Ann Author")));
        ASSERT_TRUE(writer.addMetadata(100, qp::String::fromUtf8("Bob B\xC3\xA9")));
        ASSERT_TRUE(writer.writeText(text, {}));
        ASSERT_TRUE(writer.assemble(true, text));
        ASSERT_TRUE(writer.save());
    }
    EXPECT_TRUE(sink.printed("Info(mkbook): Added metadata dc:Creator      \"Ann Author\""));
    kova::Book book = kova::Book::fromFile(dir / "b.kova");
    // The second creator is stored in Windows-1252.
    EXPECT_EQ(book.exthStrings(100), (std::vector<std::string>{"Ann Author", "Bob B\xE9"}));
}

TEST(BookWriterMetadata, ReviewIsTruncatedOnceWithAWarning) {
    qptest::TempDir dir;
    CapturedSink sink;
    qp::BookWriter writer(dir / "b.kova", Compression::PalmDoc, &sink);
    ASSERT_TRUE(writer.addMetadata(107, qp::String::fromUtf8(std::string(1000, 'r'))));
    ASSERT_TRUE(writer.addMetadata(103, qp::String::fromUtf8(std::string(20000, 'd'))));
    ASSERT_TRUE(writer.addMetadata(109, qp::String::fromUtf8(std::string(10000, 'c'))));  // 31,000 in all
    EXPECT_EQ(sink.count(qp::WarningCode::MetadataTruncated), 1);
    EXPECT_EQ(writer.exthItems().items()[0].value.size(), 720u);

    EXPECT_FALSE(writer.addMetadata(109, qp::String::fromUtf8(std::string(25000, 'c'))));
    EXPECT_EQ(sink.count(qp::ErrorCode::TooMuchMetadata), 1);
    EXPECT_EQ(writer.exthItems().items().size(), 3u);
}

TEST(BookWriterStatistics, FinalStatsLines) {
    qptest::TempDir dir;
    CapturedSink sink;
    Bytes text = textOf(8190);
    {
        qp::BookWriter writer(dir / "b.kova", Compression::None, &sink);
        writer.setFullName(qp::String::fromUtf8("Hello"));
        writer.addMediaRecord(Bytes(6, 7));
        ASSERT_TRUE(writer.writeText(text, {}));
        ASSERT_TRUE(writer.assemble(true, text));
        const qp::BookStatistics& s = writer.statistics();
        EXPECT_EQ(s.textBytes, 8190u);
        EXPECT_EQ(s.trailingBytes, 0u);
        EXPECT_EQ(s.pictureBytes, 8u);
    }
    // Records: 0 (248 + EXTH 60 + name 5 + 3 + 2,048 = 2,364), text records of 4,096 and 4,094, pad of 2,
    // image of 8, end of file 4: 10,568 bytes in 6 records.
    EXPECT_TRUE(sink.printed("Info(mkbook): Final stats - TEXT:      000008190 bytes 000000002 records "));
    EXPECT_TRUE(sink.printed("Info(mkbook): Final stats - PICTURES:  000000008 bytes 000000001 records "));
    EXPECT_TRUE(sink.printed("Info(mkbook): Final stats - INDEXES:   000000000 bytes 000000000 records "));
    EXPECT_TRUE(sink.printed("Info(mkbook): Final stats - TRAILING:  000000000 bytes 000000002 records "));
    EXPECT_TRUE(sink.printed("Info(mkbook): Final stats - OTHER:     000002370 bytes 000000003 records "));
    EXPECT_TRUE(sink.printed("Info(mkbook): Final stats - TOTAL:     000010568 bytes 000000006 records "));
    EXPECT_TRUE(sink.printed("Info(mkbook): Final stats - text compressed to (in % of original size):  100.00%"));
    EXPECT_TRUE(sink.printed("Info(mkbook): The file format version is V4"));
    EXPECT_TRUE(sink.printed("Info(mkbook): Uncompressed record size:   0004096"));
    EXPECT_TRUE(sink.printed("Info(mkbook): Building KOVA file, record count:   0000001"));
}

TEST(TextRecords, NominalRecordSizeTable) {
    EXPECT_EQ(qp::nominalRecordSize(0, Compression::PalmDoc), 4096u);
    EXPECT_EQ(qp::nominalRecordSize(251658239, Compression::PalmDoc), 4096u);
    EXPECT_EQ(qp::nominalRecordSize(251658240, Compression::PalmDoc), 8192u);
    EXPECT_EQ(qp::nominalRecordSize(220200960, Compression::Huffman), 8192u);
    EXPECT_EQ(qp::nominalRecordSize(1006632959, Compression::None), 16384u);
    EXPECT_EQ(qp::nominalRecordSize(1887436800, Compression::Huffman), 61440u);
    EXPECT_EQ(qp::nominalRecordSize(1992294399, Compression::PalmDoc), 32768u);
    EXPECT_EQ(qp::nominalRecordSize(qp::kMaxTextLength, Compression::PalmDoc), 61440u);
}

// Record 0, one text record, its pad and the end record leave room for 65,531 media records in a book file;
// one more is refused with its own message, not taken for a lack of memory, and no book is written.
TEST(BookWriterFailure, RecordCountPastSixteenBitsIsRefused) {
    qptest::TempDir dir;
    CapturedSink sink;
    Bytes text = textOf(10);
    for (size_t media : {size_t{65'531}, size_t{65'532}}) {
        SCOPED_TRACE(media);
        sink.errors.clear();
        {
            qp::BookWriter writer(dir / "b.kova", Compression::None, &sink);
            writer.setFullName(qp::String::fromUtf8("Many"));
            for (size_t i = 0; i < media; ++i) ASSERT_NE(writer.addMediaRecord(Bytes{7}), 0u);
            ASSERT_TRUE(writer.writeText(text, {}));
            const bool written = writer.assemble(true, text) && writer.save();
            EXPECT_EQ(written, media == 65'531);
        }
        if (media == 65'531) {
            EXPECT_EQ(kova::Book::fromFile(dir / "b.kova").recordCount(), 65'535u);
            std::filesystem::remove(dir / "b.kova");
        } else {
            EXPECT_EQ(sink.errorCodes(), std::vector<qp::ErrorCode>{qp::ErrorCode::BookTooLarge});
            EXPECT_FALSE(std::filesystem::exists(dir / "b.kova"));
        }
    }
    EXPECT_TRUE(leftoverStores().empty());
}
