// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/book_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "captured_sink.h"
#include "core/big_endian.h"
#include "kova_book.h"
#include "test_support.h"

using Bytes = std::vector<uint8_t>;
using qp::Compression;

namespace {

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes tail(const Bytes& bytes, size_t count) {
    return Bytes(bytes.end() - static_cast<std::ptrdiff_t>(count), bytes.end());
}

// Western text of the given length: words and line breaks, with a few 1252 letters.
Bytes westernText(size_t length) {
    static const std::string pattern =
        "The quick brown fox jumps over the lazy dog. Caf\xE9 na\xEFve \x80 r\xE9sum\xE9.\n";
    Bytes text(length);
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<uint8_t>(pattern[i % pattern.size()]);
    return text;
}

// UTF-8 text of the given length; it may end inside a character, like any cut.
Bytes utf8Text(size_t length) {
    static const std::string pattern = "Gr\xC3\xBC\xC3\x9F"
                                       "e \xE2\x82\xAC 5, \xF0\x9F\x93\x96 lesen! ";
    Bytes text(length);
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<uint8_t>(pattern[i % pattern.size()]);
    return text;
}

struct BookOptions {
    Compression compression = Compression::PalmDoc;
    int32_t encoding = 1252;
    std::string title = "Test Book";
    qp::TrailingInputs inputs;
    unsigned threads = 2;
};

// Writes a book from a text in memory and returns the writer's success.
bool writeBook(const std::filesystem::path& path, const Bytes& text, const BookOptions& options = {}) {
    qp::BookWriter writer(path, options.compression, nullptr);
    writer.setThreadCount(options.threads);
    writer.setTextEncoding(options.encoding);
    writer.setFullName(qp::String::fromUtf8(options.title));
    writer.setLanguages(0x0409, 0, 0);
    return writer.writeText(text, options.inputs) && writer.assemble(true, text) && writer.save();
}

}  // namespace

struct RoundTripCase {
    Compression compression;
    int32_t encoding;
    size_t length;
};

class BookRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(BookRoundTrip, ReaderGetsTheTextBack) {
    const RoundTripCase& c = GetParam();
    qptest::TempDir dir;
    Bytes text = c.encoding == 65001 ? utf8Text(c.length) : westernText(c.length);
    BookOptions options;
    options.compression = c.compression;
    options.encoding = c.encoding;
    ASSERT_TRUE(writeBook(dir / "book.kova", text, options));

    kova::Book book = kova::Book::fromFile(dir / "book.kova");
    ASSERT_TRUE(book.sound()) << book.loadError() << (book.faults().empty() ? "" : book.faults()[0]);
    EXPECT_EQ(book.palmDoc().compression, static_cast<uint16_t>(c.compression));
    EXPECT_EQ(book.palmDoc().textLength, c.length);
    EXPECT_EQ(book.palmDoc().textRecordCount, (c.length + 4095) / 4096);
    EXPECT_EQ(book.kova().textEncoding, static_cast<uint32_t>(c.encoding));
    EXPECT_EQ(book.kova().extraRecordDataFlags, c.encoding == 65001 ? 1u : 0u);
    EXPECT_TRUE(book.text() == text);
    EXPECT_EQ(book.recordBytes(book.recordCount() - 1), (Bytes{0xE9, 0x8E, 0x0D, 0x0A}));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, BookRoundTrip,
    testing::Values(RoundTripCase{Compression::PalmDoc, 1252, 0}, RoundTripCase{Compression::PalmDoc, 1252, 1},
                    RoundTripCase{Compression::PalmDoc, 1252, 4095}, RoundTripCase{Compression::PalmDoc, 1252, 4096},
                    RoundTripCase{Compression::PalmDoc, 1252, 4097}, RoundTripCase{Compression::PalmDoc, 1252, 8192},
                    RoundTripCase{Compression::None, 1252, 0}, RoundTripCase{Compression::None, 1252, 1},
                    RoundTripCase{Compression::None, 1252, 4097}, RoundTripCase{Compression::None, 1252, 8192},
                    RoundTripCase{Compression::PalmDoc, 65001, 1}, RoundTripCase{Compression::PalmDoc, 65001, 4095},
                    RoundTripCase{Compression::PalmDoc, 65001, 4097}, RoundTripCase{Compression::None, 65001, 8192},
                    RoundTripCase{Compression::None, 65001, 4096},
                    RoundTripCase{Compression::PalmDoc, 1252, 3 * 1024 * 1024 + 17},
                    RoundTripCase{Compression::PalmDoc, 65001, 3 * 1024 * 1024 + 5},
                    RoundTripCase{Compression::None, 65001, 2 * 1024 * 1024 + 3}));

// Records are compressed and verified on worker threads; the book must not depend on how many.
TEST(BookWriter, ThreadsLeaveTheBookUnchanged) {
    for (Compression compression : {Compression::PalmDoc, Compression::Huffman}) {
        qptest::TempDir dir;
        Bytes text;
        for (uint32_t i = 0; text.size() < 600000; ++i) {
            const std::string sentence = "Entry " + std::to_string(i * 7919 % 1009) + " of the log, " +
                                         std::to_string(i % 13) + " lamps lit; the tide was " +
                                         (i % 3 == 0 ? "high. " : "turning. ");
            text.insert(text.end(), sentence.begin(), sentence.end());
        }
        BookOptions options;
        options.compression = compression;
        std::vector<kova::Book> books;
        for (unsigned threads : {1u, 3u}) {
            options.threads = threads;
            const std::filesystem::path path = dir / ("book" + std::to_string(threads) + ".kova");
            ASSERT_TRUE(writeBook(path, text, options));
            books.push_back(kova::Book::fromFile(path));
        }
        ASSERT_TRUE(books[0].sound());
        EXPECT_EQ(books[0].palmDoc().compression, static_cast<uint16_t>(compression));
        EXPECT_EQ(books[0].text(), text);
        // Record 0 carries the build's unique ID; every other record must be the same.
        ASSERT_EQ(books[0].recordCount(), books[1].recordCount());
        for (size_t i = 1; i < books[0].recordCount(); ++i)
            EXPECT_EQ(books[0].recordBytes(i), books[1].recordBytes(i)) << "record " << i;
    }
}

TEST(BookWriter, TextOfTwoFullRecordsHasNoThirdAndNoPad) {
    qptest::TempDir dir;
    BookOptions options;
    options.compression = Compression::None;
    ASSERT_TRUE(writeBook(dir / "b.kova", westernText(8192), options));
    kova::Book book = kova::Book::fromFile(dir / "b.kova");
    EXPECT_EQ(book.palmDoc().textRecordCount, 2);
    EXPECT_EQ(book.recordBytes(1).size(), 4096u);
    EXPECT_EQ(book.recordBytes(2).size(), 4096u);
    // Record 0, two text records, end-of-file record.
    EXPECT_EQ(book.recordCount(), 4u);
    EXPECT_EQ(book.kova().firstNonBookRecord, 3u);
    EXPECT_EQ(book.kova().firstImageRecord, 3u);
}

TEST(BookWriter, TextRecordsOf8190BytesGetATwoBytePad) {
    qptest::TempDir dir;
    BookOptions options;
    options.compression = Compression::None;
    ASSERT_TRUE(writeBook(dir / "b.kova", westernText(8190), options));
    kova::Book book = kova::Book::fromFile(dir / "b.kova");
    ASSERT_EQ(book.recordCount(), 5u);
    EXPECT_EQ(book.recordBytes(2).size(), 4094u);
    EXPECT_EQ(book.recordBytes(3), (Bytes{0, 0}));
    EXPECT_EQ(book.kova().firstNonBookRecord, 4u);
    // A book without images still stores its first image record number.
    EXPECT_EQ(book.kova().firstImageRecord, 4u);
}

TEST(BookWriter, Utf8CharacterCutAfterItsLeadByte) {
    qptest::TempDir dir;
    Bytes text(4095, 'a');
    // U+20AC, whose lead byte is the record's last byte.
    text.push_back(0xE2);
    text.push_back(0x82);
    text.push_back(0xAC);
    text.insert(text.end(), 10, 'b');
    BookOptions options;
    options.compression = Compression::None;
    options.encoding = 65001;
    ASSERT_TRUE(writeBook(dir / "b.kova", text, options));
    kova::Book book = kova::Book::fromFile(dir / "b.kova");
    ASSERT_TRUE(book.sound());
    Bytes first = book.recordBytes(1);
    ASSERT_EQ(first.size(), 4096u + 3);
    EXPECT_EQ(tail(first, 3), (Bytes{0x82, 0xAC, 0x02}));
    Bytes second = book.recordBytes(2);
    ASSERT_EQ(second.size(), 12u + 1);
    EXPECT_EQ(second.back(), 0x20);
    EXPECT_TRUE(book.text() == text);
}

TEST(BookWriter, PositionListEntriesInEveryRecord) {
    qptest::TempDir dir;
    BookOptions options;
    options.compression = Compression::None;
    options.inputs.positions = {{5000, false}};
    ASSERT_TRUE(writeBook(dir / "b.kova", westernText(6000), options));
    kova::Book book = kova::Book::fromFile(dir / "b.kova");
    ASSERT_TRUE(book.sound());
    EXPECT_EQ(book.kova().extraRecordDataFlags, 4u);
    // No position in the first record: just the length byte.
    EXPECT_EQ(tail(book.recordBytes(1), 1), (Bytes{0x81}));
    // 5000 - 4096 = 904, 904 >> 3 = 113 -> 0xF1; entry length 2.
    EXPECT_EQ(tail(book.recordBytes(2), 2), (Bytes{0xF1, 0x82}));
    EXPECT_TRUE(book.text() == westernText(6000));
    EXPECT_EQ(book.kova().version, 6u);  // flags above 1 keep version 6
}

TEST(BookWriter, IndexEntriesFromTheTableOfContents) {
    qptest::TempDir dir;
    BookOptions options;
    options.compression = Compression::None;
    options.inputs.tocEntries = {{0, 5000, 0, 0}};
    ASSERT_TRUE(writeBook(dir / "b.kova", westernText(6000), options));
    kova::Book book = kova::Book::fromFile(dir / "b.kova");
    ASSERT_TRUE(book.sound());
    EXPECT_EQ(book.kova().extraRecordDataFlags, 2u);
    EXPECT_EQ(tail(book.recordBytes(1), 4), (Bytes{0x83, 0x80, 0x80, 0x84}));
    EXPECT_EQ(tail(book.recordBytes(2), 3), (Bytes{0x82, 0x80, 0x83}));
}

TEST(BookWriter, RecordZeroOfAPlainBook) {
    qptest::TempDir dir;
    ASSERT_TRUE(writeBook(dir / "b.kova", westernText(100)));
    kova::Book book = kova::Book::fromFile(dir / "b.kova");
    ASSERT_TRUE(book.sound());
    Bytes record0 = book.recordBytes(0);
    // PalmDOC header: compression 2, length 100, one record of nominal size 4096.
    EXPECT_EQ(Bytes(record0.begin(), record0.begin() + 16),
              (Bytes{0, 2, 0, 0, 0, 0, 0, 100, 0, 1, 0x10, 0, 0, 0, 0, 0}));
    const kova::KovaHeader& k = book.kova();
    EXPECT_EQ(k.headerLength, 232u);
    EXPECT_EQ(k.bookType, 2u);
    EXPECT_EQ(k.version, 4u);
    EXPECT_EQ(k.minimumVersion, 4u);
    EXPECT_EQ(k.locale, 0x0409u);
    EXPECT_EQ(k.orthographicIndex, kova::noRecord);
    EXPECT_EQ(k.ncxIndex, kova::noRecord);
    EXPECT_EQ(k.furtherIndex232, kova::noRecord);
    EXPECT_EQ(k.fdstRecord, kova::noRecord);
    EXPECT_EQ(k.fdstSectionCount, 1u);
    EXPECT_EQ(k.firstMergedRecord, kova::noRecord);
    EXPECT_EQ(k.exthFlags, 0x50u);
    EXPECT_EQ(book.fullName(), "Test Book");
    EXPECT_EQ(book.pdbHeader().name, "Test_Book");
    EXPECT_EQ(book.pdbHeader().type, "BOOK");
    EXPECT_EQ(book.pdbHeader().creator, "KOVA");
    // The writer's own records, in order.
    ASSERT_EQ(book.exthRecords().size(), 4u);
    EXPECT_EQ(book.exthNumber(204), 200u);
    EXPECT_EQ(book.exthNumber(205), 1u);
    EXPECT_EQ(book.exthNumber(206), 0u);
    EXPECT_EQ(book.exthNumber(207), 85u);
    // EXTH block: 12 + 4 * 12 = 60 bytes; name at 248 + 60; 9 bytes + 3 zeros; 2,048 zeros.
    EXPECT_EQ(k.fullNameOffset, 308u);
    EXPECT_EQ(record0.size(), 308u + 9 + 3 + 2048);
}

TEST(BookWriter, Utf8BookIsVersionFive) {
    qptest::TempDir dir;
    BookOptions options;
    options.encoding = 65001;
    options.title = "Stra\xC3\x9F"
                    "e";
    ASSERT_TRUE(writeBook(dir / "b.kova", utf8Text(50), options));
    kova::Book book = kova::Book::fromFile(dir / "b.kova");
    EXPECT_EQ(book.kova().version, 5u);
    EXPECT_EQ(book.fullName(), "Stra\xC3\x9F"
                               "e");
    // The sharp s is a letter without decomposition: it stays, as its Windows-1252 byte.
    EXPECT_EQ(book.pdbHeader().name, "Stra\xDF"
                                     "e");
}

TEST(BookWriter, MediaIndexCoverAndHeaderRecordNumbers) {
    qptest::TempDir dir;
    Bytes text = westernText(5000);
    {
        qp::BookWriter writer(dir / "b.kova", Compression::None, nullptr);
        writer.setTextEncoding(1252);
        writer.setFullName(qp::String::fromUtf8("Pictures"));
        EXPECT_EQ(writer.addMediaRecord(bytesOf("GIF89a-image")), 1u);
        EXPECT_EQ(writer.addMediaRecord(bytesOf("JPEG")), 2u);
        writer.setCoverOffsets(1, 0, false);
        ASSERT_TRUE(writer.indexStore()->appendRecord(bytesOf("INDX0")));
        ASSERT_TRUE(writer.indexStore()->appendRecord(bytesOf("INDX1")));
        qp::IndexRecords indexes;
        indexes.orthographic = 0;
        indexes.ncx = 1;
        writer.setIndexRecords(indexes);
        writer.setVersionRequests({true, false});
        ASSERT_TRUE(writer.writeText(text, {}));
        ASSERT_TRUE(writer.assemble(true, text));
        ASSERT_TRUE(writer.save());
    }
    kova::Book book = kova::Book::fromFile(dir / "b.kova");
    ASSERT_TRUE(book.loadError().empty());
    // The stand-in index records hold no index: the reader's faults about them are the only ones.
    for (const std::string& fault : book.faults()) EXPECT_EQ(fault.rfind("index at record", 0), 0u) << fault;
    // 0 header, 1-2 text (4096 + 904 bytes: no pad), 3-4 index, 5-6 media, 7 end of file.
    ASSERT_EQ(book.recordCount(), 8u);
    EXPECT_EQ(book.kova().firstNonBookRecord, 3u);
    EXPECT_EQ(book.kova().orthographicIndex, 3u);
    EXPECT_EQ(book.kova().ncxIndex, 4u);
    EXPECT_EQ(book.kova().inflectionIndex, kova::noRecord);
    EXPECT_EQ(book.kova().firstImageRecord, 5u);
    EXPECT_EQ(book.kova().version, 7u);
    EXPECT_EQ(book.recordBytes(3), bytesOf("INDX0"));
    EXPECT_EQ(book.recordBytes(5), (Bytes{'G', 'I', 'F', '8', '9', 'a', '-', 'i', 'm', 'a', 'g', 'e'}));
    EXPECT_EQ(book.recordBytes(6), bytesOf("JPEG"));
    // Cover records after the writer's own, in the order 201, 203, 202.
    const auto& exth = book.exthRecords();
    ASSERT_EQ(exth.size(), 7u);
    EXPECT_EQ(exth[4].type, 201u);
    EXPECT_EQ(exth[5].type, 203u);
    EXPECT_EQ(exth[6].type, 202u);
    EXPECT_EQ(book.exthNumber(201), 1u);
    EXPECT_EQ(book.exthNumber(202), 0u);
}

TEST(BookWriter, MediaRecordsArePaddedToFour) {
    qptest::TempDir dir;
    Bytes text = westernText(10);
    {
        qp::BookWriter writer(dir / "b.kova", Compression::None, nullptr);
        writer.setFullName(qp::String::fromUtf8("Pad"));
        writer.addMediaRecord(bytesOf("12345"));
        ASSERT_TRUE(writer.writeText(text, {}));
        ASSERT_TRUE(writer.assemble(true, text));
        ASSERT_TRUE(writer.save());
    }
    kova::Book book = kova::Book::fromFile(dir / "b.kova");
    // 0 header, 1 text (10 bytes), 2 pad (2 bytes), 3 image, 4 end.
    ASSERT_EQ(book.recordCount(), 5u);
    EXPECT_EQ(book.recordBytes(2), (Bytes{0, 0}));
    EXPECT_EQ(book.recordBytes(3), (Bytes{'1', '2', '3', '4', '5', 0, 0, 0}));
    EXPECT_FALSE(book.exthNumber(201).has_value());  // no thumbnail, no cover records
}

TEST(BookWriter, FramesAndChildBooksAreCopied) {
    qptest::TempDir dir;
    {
        qp::PdbDatabase child;
        ASSERT_TRUE(child.create(dir / "child.kova", qp::fourCc("BOOK"), qp::fourCc("KOVA")));
        ASSERT_TRUE(child.appendRecord(bytesOf("child-0")));
        ASSERT_TRUE(child.appendRecord(bytesOf("child-1")));
        ASSERT_TRUE(child.save());
    }
    Bytes text = westernText(100);
    {
        qp::BookWriter writer(dir / "b.kova", Compression::None, nullptr);
        writer.setFullName(qp::String::fromUtf8("Parts"));
        ASSERT_TRUE(writer.writeText(text, {}));
        ASSERT_TRUE(writer.frameStore()->appendRecord(bytesOf("FDST1")));
        ASSERT_TRUE(writer.frameStore()->appendRecord(bytesOf("FLIS")));
        ASSERT_TRUE(writer.frameStore()->appendRecord(bytesOf("FCIS")));
        writer.setFramePlacement({0, 3, 1, 1, 2, 1});
        writer.addChildBook(dir / "child.kova");
        ASSERT_TRUE(writer.assemble(true, text));
        ASSERT_TRUE(writer.save());
    }
    kova::Book book = kova::Book::fromFile(dir / "b.kova");
    // 0 header, 1 text, 2-4 frames, 5-6 child, 7 end. No images: first image record 2.
    ASSERT_EQ(book.recordCount(), 8u);
    const kova::KovaHeader& k = book.kova();
    EXPECT_EQ(k.firstNonBookRecord, 2u);
    EXPECT_EQ(k.huffmanRecordOffset, 0u);
    EXPECT_EQ(k.firstImageRecord, 2u);
    EXPECT_EQ(k.fdstRecord, 2u);
    EXPECT_EQ(k.fdstSectionCount, 3u);
    EXPECT_EQ(k.flisRecord, 3u);
    EXPECT_EQ(k.flisCount, 1u);
    EXPECT_EQ(k.fcisRecord, 4u);
    EXPECT_EQ(k.fcisCount, 1u);
    EXPECT_EQ(book.recordBytes(2), (Bytes{'F', 'D', 'S', 'T', '1', 0, 0, 0}));
    EXPECT_EQ(k.firstMergedRecord, 5u);
    EXPECT_EQ(k.mergedRecordCount, 2u);
    EXPECT_EQ(book.recordBytes(6), bytesOf("child-1"));
}

TEST(BookWriter, FramesStayOutWithoutFcisRecords) {
    qptest::TempDir dir;
    Bytes text = westernText(100);
    {
        qp::BookWriter writer(dir / "b.kova", Compression::PalmDoc, nullptr);
        ASSERT_TRUE(writer.frameStore()->appendRecord(bytesOf("FDST")));
        writer.setFramePlacement({0, 2, 0, 0, 0, 0});
        ASSERT_TRUE(writer.writeText(text, {}));
        ASSERT_TRUE(writer.assemble(true, text));
        ASSERT_TRUE(writer.save());
    }
    kova::Book book = kova::Book::fromFile(dir / "b.kova");
    for (size_t i = 0; i < book.recordCount(); ++i) EXPECT_NE(book.recordBytes(i), bytesOf("FDST")) << i;
    EXPECT_EQ(book.kova().fcisRecord, 0u);
    EXPECT_EQ(book.kova().fdstRecord, kova::noRecord);
    EXPECT_EQ(book.kova().fdstSectionCount, 1u);
}

TEST(BookWriter, DocumentIdentifierFromTitleOrDatabaseName) {
    qptest::TempDir dir;
    BookOptions options;
    options.title = "AbcdefghijAbcdefghijAbcdefghijAbcdefghij";  // 40 letters
    ASSERT_TRUE(writeBook(dir / "a.kova", westernText(10), options));
    EXPECT_EQ(kova::Book::fromFile(dir / "a.kova").pdbHeader().name, "AbcdefghijAb-ghijAbcdefghij");

    CapturedSink sink;
    Bytes text = westernText(10);
    qp::BookWriter writer(dir / "b.kova", Compression::PalmDoc, &sink);
    writer.setFullName(qp::String::fromUtf8("Title"));
    writer.setDatabaseName(qp::String::fromUtf8("my base"));
    ASSERT_TRUE(writer.writeText(text, {}));
    ASSERT_TRUE(writer.assemble(true, text));
    EXPECT_EQ(writer.output().name(), "my_base");
    EXPECT_EQ(sink.count(qp::WarningCode::DatabaseNameAltered), 1);
    EXPECT_TRUE(sink.printed("Info(mkbook): The document identifier is: \"my_base\""));
}

TEST(BookWriter, FittingDatabaseNameIsKeptWithoutWarning) {
    qptest::TempDir dir;
    CapturedSink sink;
    Bytes text = westernText(10);
    qp::BookWriter writer(dir / "b.kova", Compression::PalmDoc, &sink);
    writer.setFullName(qp::String::fromUtf8("Title"));
    writer.setDatabaseName(qp::String::fromUtf8("Stra\xC3\x9F"
                                                "e-1.0"));
    ASSERT_TRUE(writer.writeText(text, {}));
    ASSERT_TRUE(writer.assemble(true, text));
    EXPECT_EQ(writer.output().name(), "Stra\xDF"
                                      "e-1.0");
    EXPECT_EQ(sink.count(qp::WarningCode::DatabaseNameAltered), 0);
}
