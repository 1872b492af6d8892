// SPDX-License-Identifier: GPL-3.0-or-later
#include "image_records.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "kova_book.h"
#include "test_book.h"
#include "test_support.h"

namespace {

using kovatest::be16;
using kovatest::be32;
using kovatest::bytes;
using kovatest::Record0Fields;

// Little-endian fields of the GIF and BMP headers.
std::string le16(uint32_t v) { return {static_cast<char>(v), static_cast<char>(v >> 8)}; }
std::string le32(uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }

// Zero bytes up to a multiple of 4, as the writer pads image records.
std::string padded(std::string record) {
    record.resize((record.size() + 3) / 4 * 4, '\0');
    return record;
}

// JFIF APP0, a quantisation table and a Huffman table segment, then a baseline frame of 640 x 480.
std::string jpeg640x480() {
    return bytes({0xFF, 0xD8}) + bytes({0xFF, 0xE0}) + be16(16) + std::string("JFIF\0", 5) + std::string(9, '\x01') +
           bytes({0xFF, 0xDB}) + be16(4) + bytes({0, 1}) + bytes({0xFF, 0xC4}) + be16(5) + bytes({0, 0, 0}) +
           bytes({0xFF, 0xC0}) + be16(17) + bytes({8}) + be16(480) + be16(640) + bytes({3}) + std::string(9, '\x11') +
           bytes({0xFF, 0xDA}) + be16(8) + std::string(6, '\0') + bytes({0x12, 0x34, 0x56, 0x78, 0xFF, 0xD9});
}

std::string gif300x200() { return "GIF89a" + le16(300) + le16(200) + bytes({0x80, 0, 0}) + std::string(6, '\0'); }

std::string png256x128() {
    return bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}) + be32(13) + "IHDR" + be32(256) + be32(128) +
           bytes({8, 2, 0, 0, 0}) + be32(0);
}

// A BITMAPINFOHEADER file of 5 x 7 stored top-down (negative height).
std::string bmp5x7TopDown() {
    return "BM" + le32(70) + le32(0) + le32(54) + le32(40) + le32(5) + le32(static_cast<uint32_t>(-7)) + le16(1) +
           le16(24) + le32(0) + le32(16) + le32(0) + le32(0) + le32(0) + le32(0) + std::string(16, '\0');
}

kova::ByteView view(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

std::string sizeText(const std::string& picture) {
    auto size = kova::imageSizeOf(view(picture), kova::imageKindOf(view(picture)));
    return size ? std::to_string(size->width) + "x" + std::to_string(size->height) : "none";
}

// Record 0, one 8-byte text record (no pad record), the image records, the records that follow them,
// and the end-of-file record. The first image record is therefore record 2.
std::string imageBook(const std::vector<std::string>& images, const std::vector<std::string>& after = {},
                      std::vector<std::pair<uint32_t, std::string>> exth = {}) {
    Record0Fields f;
    f.textLength = 8;
    f.textRecordCount = 1;
    f.firstNonBookRecord = 2;
    f.firstImageRecord = 2;
    f.exth = std::move(exth);
    std::vector<std::string> records{kovatest::record0(f), "pictures"};
    records.insert(records.end(), images.begin(), images.end());
    records.insert(records.end(), after.begin(), after.end());
    records.push_back(bytes({0xE9, 0x8E, 0x0D, 0x0A}));
    return kovatest::pdbFile(records);
}

qptest::RunResult kovadump(const std::vector<std::string>& args) { return qptest::run(QP_KOVADUMP_BIN, args); }

TEST(ImageHeaders, KindsComeFromTheLeadingBytes) {
    EXPECT_EQ(kova::imageKindOf(view(jpeg640x480())), kova::ImageKind::jpeg);
    EXPECT_EQ(kova::imageKindOf(view(gif300x200())), kova::ImageKind::gif);
    EXPECT_EQ(kova::imageKindOf(view(png256x128())), kova::ImageKind::png);
    EXPECT_EQ(kova::imageKindOf(view(bmp5x7TopDown())), kova::ImageKind::bmp);
    EXPECT_EQ(kova::imageKindOf(view("ID3\x03 audio")), kova::ImageKind::media);
    EXPECT_EQ(kova::imageKindOf(view("\x89PNG\r\n")), kova::ImageKind::media) << "a cut PNG signature";
    EXPECT_EQ(kova::imageKindOf(view("")), kova::ImageKind::media);
}

TEST(ImageHeaders, DimensionsAreReadFromEachFormatsHeader) {
    EXPECT_EQ(sizeText(jpeg640x480()), "640x480");
    EXPECT_EQ(sizeText(gif300x200()), "300x200");
    EXPECT_EQ(sizeText(png256x128()), "256x128");
    EXPECT_EQ(sizeText(bmp5x7TopDown()), "5x7");
    // The old core header has 16-bit sides right after its size.
    EXPECT_EQ(sizeText("BM" + le32(40) + le32(0) + le32(26) + le32(12) + le16(33) + le16(44) + le16(1) + le16(8)),
              "33x44");
}

TEST(ImageHeaders, JpegScanFindsProgressiveFramesPastFillBytesAndRestartMarkers) {
    const std::string progressive = bytes({0xFF, 0xD8, 0xFF, 0xFF, 0xFF, 0xE1}) + be16(4) + bytes({0, 0}) +
                                    bytes({0xFF, 0xD0, 0xFF, 0xC2}) + be16(11) + bytes({8}) + be16(1) + be16(65535) +
                                    bytes({1, 1, 0x11, 0});
    EXPECT_EQ(sizeText(progressive), "65535x1");
    // Neither the Huffman table (C4) nor arithmetic conditioning (CC) is a frame.
    const std::string tablesOnly = bytes({0xFF, 0xD8, 0xFF, 0xC4}) + be16(7) + bytes({8}) + be16(9) + be16(9) +
                                   bytes({0xFF, 0xCC}) + be16(6) + bytes({8, 0, 9, 0}) + bytes({0xFF, 0xD9});
    EXPECT_EQ(sizeText(tablesOnly), "none");
}

TEST(ImageHeaders, DamagedHeadersGiveNoDimensions) {
    const std::string jpeg = jpeg640x480();
    EXPECT_EQ(sizeText(jpeg.substr(0, 40)), "none") << "frame segment cut short";
    EXPECT_EQ(sizeText(bytes({0xFF, 0xD8, 0xFF, 0xDA}) + be16(8) + std::string(6, '\0')), "none") << "scan first";
    EXPECT_EQ(sizeText(bytes({0xFF, 0xD8, 0x00, 0xC0}) + be16(17)), "none") << "no marker where one belongs";
    EXPECT_EQ(sizeText(bytes({0xFF, 0xD8, 0xFF, 0xE0}) + be16(1) + bytes({0xFF, 0xC0})), "none") << "length below 2";
    EXPECT_EQ(sizeText("GIF89a" + le16(300)), "none");
    EXPECT_EQ(sizeText(png256x128().substr(0, 20)), "none");
    std::string notIhdr = png256x128();
    notIhdr.replace(12, 4, "IDAT");
    EXPECT_EQ(sizeText(notIhdr), "none");
    EXPECT_EQ(sizeText("BM" + le32(40) + le32(0) + le32(26) + le32(40) + le32(5)), "none");
    EXPECT_EQ(sizeText(""), "none");
}

TEST(ImageRecordRun, RunsFromTheFirstImageRecordToTheFirstAuxiliaryRecord) {
    const std::string audio = padded("ID3\x03 some audio bytes");
    kova::Book book = kova::Book::fromBytes(
        imageBook({jpeg640x480(), padded(gif300x200()), audio}, {"FLIS" + std::string(32, '\0'), "FCIS" + be32(0)}));
    ASSERT_TRUE(book.sound()) << (book.faults().empty() ? "" : book.faults().front());
    const auto& images = book.imageRecords();
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0].number, 1u);
    EXPECT_EQ(images[0].recordIndex, 2u);
    EXPECT_EQ(images[0].kind, kova::ImageKind::jpeg);
    EXPECT_EQ(images[0].size, jpeg640x480().size());
    EXPECT_EQ(images[0].width, 640u);
    EXPECT_EQ(images[0].height, 480u);
    EXPECT_EQ(images[1].number, 2u);
    EXPECT_EQ(images[1].recordIndex, 3u);
    EXPECT_EQ(images[1].kind, kova::ImageKind::gif);
    EXPECT_EQ(images[1].size, 20u);
    EXPECT_EQ(images[2].number, 3u);
    EXPECT_EQ(images[2].kind, kova::ImageKind::media);
    EXPECT_EQ(images[2].size, audio.size());
    EXPECT_FALSE(images[2].width.has_value());
    for (const auto& image : images) EXPECT_FALSE(image.cover || image.thumbnail);
}

TEST(ImageRecordRun, EachAuxiliaryMagicAndTheEndOfFileRecordEndTheRun) {
    for (const char* magic : {"FLIS", "FCIS", "FDST", "DATP", "INDX", "HUFF", "CDIC"}) {
        kova::Book book =
            kova::Book::fromBytes(imageBook({padded(png256x128()), padded(gif300x200())}, {magic + be32(0)}));
        EXPECT_EQ(book.imageRecords().size(), 2u) << magic;
    }
    kova::Book endOnly = kova::Book::fromBytes(imageBook({padded(png256x128())}));
    EXPECT_EQ(endOnly.imageRecords().size(), 1u);
    kova::Book none = kova::Book::fromBytes(imageBook({}, {"FLIS" + be32(0)}));
    EXPECT_TRUE(none.sound());
    EXPECT_TRUE(none.imageRecords().empty());
    // A record that merely starts with the end-of-file bytes is media, not the end.
    kova::Book longer = kova::Book::fromBytes(imageBook({bytes({0xE9, 0x8E, 0x0D, 0x0A, 1, 2, 3, 4})}));
    EXPECT_EQ(longer.imageRecords().size(), 1u);
}

TEST(ImageRecordRun, CoverAndThumbnailOffsetsMarkTheirRecords) {
    kova::Book book = kova::Book::fromBytes(imageBook({padded(gif300x200()), jpeg640x480(), padded(png256x128())}, {},
                                                      {{201, be32(1)}, {203, be32(0)}, {202, be32(2)}}));
    ASSERT_TRUE(book.sound());
    const auto& images = book.imageRecords();
    ASSERT_EQ(images.size(), 3u);
    EXPECT_FALSE(images[0].cover || images[0].thumbnail);
    EXPECT_TRUE(images[1].cover);
    EXPECT_FALSE(images[1].thumbnail);
    EXPECT_TRUE(images[2].thumbnail);
    EXPECT_FALSE(images[2].cover);
}

TEST(ImageRecordRun, OffsetsBeyondTheImagesAndUnpaddedRecordsAreFaults) {
    kova::Book book = kova::Book::fromBytes(
        imageBook({padded(gif300x200()), "GIF89a" + le16(1) + le16(1) + "x"}, {}, {{201, be32(2)}, {202, be32(7)}}));
    EXPECT_EQ(book.faults(), (std::vector<std::string>{
                                 "image record 2 (record 3) is 11 bytes, not padded to a multiple of 4",
                                 "cover offset 2 lies beyond the 2 image records",
                                 "thumbnail offset 7 lies beyond the 2 image records",
                             }));
}

TEST(ImageRecordRun, AFirstImageRecordOfZeroOrBeyondTheListGivesNone) {
    const std::string zero = "record zero", jpeg = jpeg640x480();  // the views must not outlive their bytes
    std::vector<kova::ByteView> records{view(zero), view(jpeg)};
    EXPECT_TRUE(kova::readImageRecords(records, 0, std::nullopt, std::nullopt).empty());
    EXPECT_TRUE(kova::readImageRecords(records, 2, std::nullopt, std::nullopt).empty());
    EXPECT_EQ(kova::readImageRecords(records, 1, 0u, 0u).size(), 1u);
}

class ImageDumpTool : public ::testing::Test {
protected:
    void SetUp() override {
        qptest::writeFile(dir / "b.kova", imageBook({jpeg640x480(), padded(gif300x200()), padded("RIFF wave")},
                                                    {"FLIS" + be32(0)}, {{201, be32(0)}, {202, be32(1)}}));
    }
    std::string bookPath() const { return (dir / "b.kova").string(); }
    qptest::TempDir dir;
};

TEST_F(ImageDumpTool, ListingShowsEachImageRecord) {
    auto result = kovadump({bookPath()});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string expected = "Image records (3)\n"
                                 "  1: record 2, JPEG, " +
                                 std::to_string(jpeg640x480().size()) +
                                 " bytes, 640x480, cover\n"
                                 "  2: record 3, GIF, 20 bytes, 300x200, thumbnail\n"
                                 "  3: record 4, media, 12 bytes\n";
    EXPECT_NE(result.out.find(expected), std::string::npos) << result.out;
}

TEST_F(ImageDumpTool, JsonHoldsAnImagesArray) {
    auto result = kovadump({bookPath(), "--json"});
    EXPECT_EQ(result.exitCode, 0);
    const std::string expected =
        R"("images":[{"number":1,"record":2,"kind":"JPEG","size":)" + std::to_string(jpeg640x480().size()) +
        R"(,"width":640,"height":480,"cover":true,"thumbnail":false},)"
        R"({"number":2,"record":3,"kind":"GIF","size":20,"width":300,"height":200,"cover":false,"thumbnail":true},)"
        R"({"number":3,"record":4,"kind":"media","size":12,"cover":false,"thumbnail":false}])";
    EXPECT_NE(result.out.find(expected), std::string::npos) << result.out;
}

TEST_F(ImageDumpTool, ExtractWritesEveryRecordUnderItsNumberAndKind) {
    const auto target = dir / "out" / "nested";
    auto result = kovadump({bookPath(), "--extract", target.string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(qptest::readFile(target / "image00001.jpg"), jpeg640x480());
    EXPECT_EQ(qptest::readFile(target / "image00002.gif"), padded(gif300x200()));
    EXPECT_EQ(qptest::readFile(target / "image00003.bin"), padded("RIFF wave"));
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(target)) ++files;
    EXPECT_EQ(files, 3u);
    EXPECT_EQ(result.out, (target / "image00001.jpg").string() + "\n" + (target / "image00002.gif").string() + "\n" +
                              (target / "image00003.bin").string() + "\n");
}

TEST_F(ImageDumpTool, ExtractIntoSomethingUnwritableExitsTwo) {
    qptest::writeFile(dir / "plain", "a file, not a directory");
    auto result = kovadump({bookPath(), "--extract", (dir / "plain").string()});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err.rfind("kovadump: cannot create directory " + (dir / "plain").string(), 0), 0u) << result.err;
    EXPECT_EQ(result.out, "");

    std::filesystem::create_directories(dir / "taken" / "image00002.gif");  // a directory where a file must go
    auto blocked = kovadump({bookPath(), "--extract", (dir / "taken").string()});
    EXPECT_EQ(blocked.exitCode, 2);
    EXPECT_EQ(blocked.err, "kovadump: cannot write " + (dir / "taken" / "image00002.gif").string() + "\n");

    EXPECT_EQ(kovadump({bookPath(), "--extract"}).exitCode, 2) << "the directory is required";
}

}  // namespace
