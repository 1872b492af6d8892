// SPDX-License-Identifier: GPL-3.0-or-later
// The media table: entries, record numbers, type bytes, limits and the records it writes.
#include "convert/media_table.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "convert/image_fit.h"
#include "convert/placeholder_gif.h"
#include "image_test_pictures.h"
#include "test_support.h"

namespace {

using namespace imagetest;
using qp::MediaSelectors;
using qp::MediaTable;

struct CollectingSink : qp::RecordSink {
    std::vector<Bytes> records;
    bool addRecord(const uint8_t* data, size_t size) override {
        records.emplace_back(data, data + size);
        return true;
    }
};

void writeBytes(const std::filesystem::path& path, const Bytes& bytes) {
    qptest::writeFile(path, std::string(bytes.begin(), bytes.end()));
}

class MediaTableTest : public ::testing::Test {
protected:
    MediaTableTest() { table.quiet = true; }
    std::string file(const std::string& name, const Bytes& bytes) {
        writeBytes(dir / name, bytes);
        return (dir / name).string();
    }
    qptest::TempDir dir;
    MediaTable table;
};

TEST_F(MediaTableTest, TypeBytes) {
    EXPECT_EQ(MediaTable::typeOf("image/svg+xml"), 0x22);
    EXPECT_EQ(MediaTable::typeOf("JPEG"), 0x22);
    EXPECT_EQ(MediaTable::typeOf("png"), 0x22);
    EXPECT_EQ(MediaTable::typeOf("audio/wma"), 0x28);
    EXPECT_EQ(MediaTable::typeOf("WMA"), 0x28);
    EXPECT_EQ(MediaTable::typeOf("audio/mpeg"), 0x29);
    EXPECT_EQ(MediaTable::typeOf("mid"), 0x2A);
    EXPECT_EQ(MediaTable::typeOf("audio/midi"), 0x2A);
    EXPECT_EQ(MediaTable::typeOf("ogg"), 0x2B);
    EXPECT_EQ(MediaTable::typeOf("audio/x-ogg"), 0x2B);
    EXPECT_EQ(MediaTable::typeOf("asp"), 0x21);
    EXPECT_EQ(MediaTable::typeOf("audio/wav"), 0x21);
}

TEST_F(MediaTableTest, SameFileIsOneEntryAndRecordNumbersRun) {
    std::string a = file("a.gif", noisyGif(20, 20));
    std::string audio = file("sound.mp3", Bytes(130'000, 0x55));
    std::string b = file("b.jpg", jpegFromRgba(30, 30, photoPixels(30, 30), 80));

    EXPECT_EQ(table.registerFile(a), 0);
    EXPECT_EQ(table.registerFile(audio, "audio/mpeg"), 1);
    EXPECT_EQ(table.registerFile(b), 4);  // the audio took 3 records
    // The same file again, written with the other separator and a detour through its directory.
    std::string again = (dir.path() / "x" / ".." / "a.gif").string();
    std::replace(again.begin(), again.end(), '/', '\\');
    EXPECT_EQ(table.registerFile(again), 0);
    EXPECT_EQ(table.entryCount(), 3u);
    EXPECT_EQ(table.recordCount(), 5u);
    EXPECT_EQ(table.entry(1).type, 0x29);
    EXPECT_EQ(table.entry(1).recordCount, 3u);
    // Other selectors make another entry of the same file.
    EXPECT_EQ(table.registerFile(b, "", MediaSelectors{240, 240, MediaSelectors::kThumbnailJpeg}), 5);
    EXPECT_EQ(table.recordOf(b), 4);
    EXPECT_EQ(table.recordOf(b, MediaSelectors{240, 240, 0}), 5);
    EXPECT_EQ(table.recordOf((dir / "none.gif").string()), -1);
}

TEST_F(MediaTableTest, SamePictureFromTwoFilesIsOneRecordEach) {
    // Two copies are two files (the path identifies an entry); two references to one file are one record.
    Bytes picture = noisyGif(30, 30);
    std::string one = file("one.gif", picture);
    EXPECT_EQ(table.registerFile(one), table.registerFile(one));
    CollectingSink sink;
    ASSERT_TRUE(table.writeRecords(sink));
    EXPECT_EQ(sink.records.size(), 1u);
}

TEST_F(MediaTableTest, MissingDirectoryAndEmptyFilesAreRefused) {
    EXPECT_EQ(table.registerFile((dir / "missing.png").string()), -1);
    EXPECT_EQ(table.lastWarning, qp::WarningCode::ImageNotFound);
    std::filesystem::create_directory(dir / "folder.jpg");
    EXPECT_EQ(table.registerFile((dir / "folder.jpg").string()), -1);
    EXPECT_EQ(table.lastWarning, qp::WarningCode::ImageNotFound);
    EXPECT_EQ(table.registerFile(file("empty.gif", {})), -1);
    EXPECT_EQ(table.lastWarning, qp::WarningCode::ImageInvalid);
    EXPECT_EQ(table.registerFile((dir / "missing.wma").string()), -1);
    EXPECT_EQ(table.lastWarning, qp::WarningCode::MediaNotFound);
    EXPECT_EQ(table.registerFile(""), -1);
    EXPECT_EQ(table.entryCount(), 0u);
    EXPECT_FALSE(table.failed());
}

// The 16-bit record count of a book file binds before the table's own limit of 99,999 unique images.
TEST_F(MediaTableTest, UniqueEntriesStopAtWhatABookFileHolds) {
    std::string path = file("p.gif", noisyGif(4, 4));
    for (int32_t i = 0; i < 65'532; ++i) {
        ASSERT_EQ(table.registerFile(path, "gif", MediaSelectors{0, 0, i}), i);
    }
    table.quiet = false;  // errors are recorded only when the table is not quiet
    EXPECT_EQ(table.registerFile(path, "gif", MediaSelectors{0, 0, -1}), -1);
    EXPECT_EQ(table.lastError, qp::ErrorCode::BookTooLarge);
    // Known entries are still found.
    EXPECT_EQ(table.registerFile(path, "gif", MediaSelectors{0, 0, 7}), 7);
}

TEST_F(MediaTableTest, AudioIsCutIntoRecords) {
    Bytes audio(130'000);
    for (size_t i = 0; i < audio.size(); ++i) audio[i] = static_cast<uint8_t>(i % 251);
    ASSERT_EQ(table.registerFile(file("music.ogg", audio)), 0);
    CollectingSink sink;
    ASSERT_TRUE(table.writeRecords(sink));
    ASSERT_EQ(sink.records.size(), 3u);
    EXPECT_EQ(sink.records[0].size(), 64'512u);
    EXPECT_EQ(sink.records[1].size(), 64'512u);
    EXPECT_EQ(sink.records[2].size(), 976u);
    Bytes joined;
    for (const Bytes& record : sink.records) joined.insert(joined.end(), record.begin(), record.end());
    EXPECT_EQ(joined, audio);
}

TEST_F(MediaTableTest, ImagesAreFittedPerModeAndJpegSwitch) {
    Bytes photo = jpegFromRgba(1400, 1000, photoPixels(1400, 1000, 12), 92);
    ASSERT_GT(photo.size(), 140'000u);
    std::string path = file("photo.jpg", photo);
    std::string gif = file("small.gif", noisyGif(40, 40));

    for (qp::ImageMode mode : {qp::ImageMode::Normal, qp::ImageMode::Limit128K}) {
        MediaTable jpegTable;
        jpegTable.quiet = true;
        jpegTable.setImageMode(mode);
        jpegTable.registerFile(path);
        jpegTable.setAllowJpeg(false);
        jpegTable.registerFile(gif);
        CollectingSink sink;
        ASSERT_TRUE(jpegTable.writeRecords(sink));
        ASSERT_EQ(sink.records.size(), 2u);
        EXPECT_LE(sink.records[0].size(), qp::imageModeLimit(mode));
        EXPECT_TRUE(readJpeg(sink.records[0]).ok);
        EXPECT_EQ(jpegTable.entry(0).type, 0x26);
        EXPECT_EQ(jpegTable.entry(0).resized, mode == qp::ImageMode::Normal);
        EXPECT_EQ(jpegTable.entry(1).type, 0x25);
        EXPECT_FALSE(jpegTable.entry(1).allowJpeg);
    }

    table.setAllowJpeg(false);
    table.registerFile(path);
    CollectingSink sink;
    ASSERT_TRUE(table.writeRecords(sink));
    EXPECT_TRUE(readGif(sink.records[0]).ok);
    EXPECT_LE(sink.records[0].size() + 266, 64'512u);
    EXPECT_EQ(table.entry(0).type, 0x25);
}

TEST_F(MediaTableTest, ThumbnailGetsItsNameAndBox) {
    std::string cover = file("cover.jpg", jpegFromRgba(600, 900, photoPixels(600, 900, 2), 85));
    ASSERT_EQ(table.registerFile(cover), 0);
    ASSERT_EQ(table.registerFile(cover, "", MediaSelectors{240, 240, MediaSelectors::kThumbnailJpeg}), 1);
    CollectingSink sink;
    ASSERT_TRUE(table.writeRecords(sink));
    ASSERT_EQ(sink.records.size(), 2u);
    JpegInfo thumbnail = readJpeg(sink.records[1]);
    ASSERT_TRUE(thumbnail.ok);
    EXPECT_EQ(thumbnail.width, 160);
    EXPECT_EQ(thumbnail.height, 240);
    EXPECT_EQ(table.entry(1).fileName, "cover_thumb240x240.jpg");
    EXPECT_EQ(table.entry(0).fileName, "cover.jpg");
}

TEST_F(MediaTableTest, BrokenAndPlaceholderImagesGetTheBuiltInPicture) {
    Bytes jpeg = jpegFromRgba(50, 50, photoPixels(50, 50), 80);
    std::string broken = file("broken.jpg", Bytes(jpeg.begin(), jpeg.begin() + 200));
    std::string text = file("notes.png", Bytes{'n', 'o', 't', 'e', 's'});
    std::string good = file("good.gif", noisyGif(10, 10));
    EXPECT_EQ(table.registerFile(broken), 0);
    EXPECT_EQ(table.registerPlaceholder((dir / "absent.gif").string()), 1);
    EXPECT_EQ(table.registerFile(text), 2);
    EXPECT_EQ(table.registerFile(good), 3);
    CollectingSink sink;
    ASSERT_TRUE(table.writeRecords(sink));
    ASSERT_EQ(sink.records.size(), 4u);
    const Bytes& placeholder = qp::placeholderGif();
    EXPECT_EQ(sink.records[0], placeholder);
    EXPECT_EQ(sink.records[1], placeholder);
    EXPECT_EQ(sink.records[2], placeholder);
    EXPECT_NE(sink.records[3], placeholder);
    EXPECT_TRUE(table.entry(0).placeholder);
    EXPECT_EQ(table.entry(0).type, 0x25);
    EXPECT_EQ(table.lastWarning,
              qp::WarningCode::ImageFormatUnsupported);  // the last broken one is not an image format at all
}

TEST(PlaceholderGifTest, IsAValidGifOfTheFixedSize) {
    const Bytes& gif = qp::placeholderGif();
    ASSERT_EQ(gif.size(), 1'540u);
    EXPECT_EQ(Bytes(gif.begin(), gif.begin() + 6), (Bytes{'G', 'I', 'F', '8', '9', 'a'}));
    EXPECT_EQ(gif.back(), 0x3B);
    GifInfo info = readGif(gif);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.width, qp::kPlaceholderWidth);
    EXPECT_EQ(info.height, qp::kPlaceholderHeight);
    EXPECT_EQ(info.frames, 1);
}

// A file that is removed, grows or shrinks between registration and writing ends the writing: its records
// could no longer be the ones the record numbers handed out stand for.
TEST_F(MediaTableTest, FilesChangedAfterRegistrationEndTheWriting) {
    table.quiet = false;
    for (const char* change : {"removed", "grown", "shrunk"}) {
        SCOPED_TRACE(change);
        MediaTable fresh;
        std::string audio = file("song.mp3", Bytes(70'000, 0x11));
        ASSERT_EQ(fresh.registerFile(audio, "audio/mpeg"), 0);
        if (std::string(change) == "removed") std::filesystem::remove(audio);
        if (std::string(change) == "grown") std::filesystem::resize_file(audio, 200'000);
        if (std::string(change) == "shrunk") std::filesystem::resize_file(audio, 1'000);
        CollectingSink sink;
        EXPECT_FALSE(fresh.writeRecords(sink));
        EXPECT_EQ(fresh.lastError, qp::ErrorCode::CannotOpenFile);
        EXPECT_TRUE(sink.records.empty());
    }
    std::string picture = file("gone.gif", noisyGif(10, 10));
    ASSERT_EQ(table.registerFile(picture), 0);
    std::filesystem::remove(picture);
    CollectingSink sink;
    EXPECT_FALSE(table.writeRecords(sink));
    EXPECT_EQ(table.lastError, qp::ErrorCode::CannotOpenFile);
}

// A book file holds at most 65,535 records and 4 GiB: media that cannot fit are refused when registered,
// before anything is read. Sparse files take no disk space.
TEST_F(MediaTableTest, MediaPastWhatABookFileHoldsAreRefusedAtRegistration) {
    table.quiet = false;
    auto sparse = [&](const std::string& name, uintmax_t size) {
        std::string path = file(name, Bytes{'x'});
        std::filesystem::resize_file(path, size);
        return path;
    };
    // 65,532 records of 64,512 bytes: the largest audio file that fits is 4,227,600,384 bytes.
    EXPECT_EQ(table.registerFile(sparse("whole.ogg", 4'227'600'384ull)), 0);
    EXPECT_EQ(table.recordCount(), 65'532u);
    EXPECT_EQ(table.registerFile(file("one-more.ogg", Bytes{'x'})), -1);
    EXPECT_EQ(table.lastError, qp::ErrorCode::BookTooLarge);

    MediaTable two;
    EXPECT_EQ(two.registerFile(sparse("first.ogg", 2'200'000'000ull)), 0);
    EXPECT_EQ(two.registerFile(sparse("second.ogg", 2'200'000'000ull)), -1);
    EXPECT_EQ(two.lastError, qp::ErrorCode::BookTooLarge);
    EXPECT_EQ(two.entryCount(), 1u);
}

// Images count with the bytes their record can take in the image mode, not with their file size.
TEST_F(MediaTableTest, ImagesCountWithTheirLimitTowardsTheBookSize) {
    std::vector<std::string> pictures;
    for (int i = 0; i < 257; ++i) {
        std::string path = file("photo" + std::to_string(i) + ".png", Bytes{'x'});
        std::filesystem::resize_file(path, 20'000'000);
        pictures.push_back(path);
    }
    MediaTable normal;
    for (const std::string& path : pictures) ASSERT_GE(normal.registerFile(path), 0);

    // Kept at their size, each can take a whole record of 16 MiB - 1 bytes: 256 fit into 4 GiB, 257 do not.
    MediaTable preserved;
    preserved.setImageMode(qp::ImageMode::Preserve);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(preserved.registerFile(pictures[i]), i);
    EXPECT_EQ(preserved.registerFile(pictures[256]), -1);
    EXPECT_EQ(preserved.lastError, qp::ErrorCode::BookTooLarge);
}

struct RefusingSink : qp::RecordSink {
    bool addRecord(const uint8_t*, size_t) override { return false; }
};

TEST_F(MediaTableTest, RefusedRecordStopsWriting) {
    table.registerFile(file("a.gif", noisyGif(10, 10)));
    RefusingSink sink;
    EXPECT_FALSE(table.writeRecords(sink));
}

}  // namespace
