// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "build_fixture.h"
#include "convert/image_test_pictures.h"

namespace {

using buildtest::BuildTest;
using buildtest::dcMetadata;
using buildtest::htmlPage;
using buildtest::package;
using imagetest::Bytes;

constexpr size_t kDefaultLimit = 64'512;
constexpr size_t kLimit128K = 131'072;
constexpr size_t kGifAllowance = 266;  // a GIF must leave this much of the limit free

// The record numbers of the text's recindex attributes, in text order.
std::vector<uint32_t> recordIndexes(const std::string& text) {
    std::vector<uint32_t> numbers;
    const std::regex recindex("recindex=\"([0-9]{5})\"");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), recindex); it != std::sregex_iterator(); ++it) {
        numbers.push_back(static_cast<uint32_t>(std::stoul((*it)[1].str())));
    }
    return numbers;
}

bool startsWith(const Bytes& bytes, const std::string& prefix) {
    return bytes.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), bytes.begin(),
                      [](char expected, uint8_t actual) { return static_cast<uint8_t>(expected) == actual; });
}
bool isJpeg(const Bytes& bytes) { return startsWith(bytes, "\xFF\xD8"); }
bool isGif(const Bytes& bytes) { return startsWith(bytes, "GIF8"); }

// True when the picture decodes whole with the libraries.
bool decodes(const Bytes& bytes) {
    if (isJpeg(bytes)) return imagetest::readJpeg(bytes).ok;
    if (isGif(bytes)) return imagetest::readGif(bytes).ok;
    return false;
}

// A stored record is the picture followed by up to 3 zero bytes.
bool holdsUnchanged(const Bytes& record, const Bytes& picture) {
    if (record.size() < picture.size() || record.size() - picture.size() > 3) return false;
    if (!std::equal(picture.begin(), picture.end(), record.begin())) return false;
    return std::all_of(record.begin() + static_cast<std::ptrdiff_t>(picture.size()), record.end(),
                       [](uint8_t b) { return b == 0; });
}

// A photograph-like JPEG of the given size.
Bytes photoJpeg(int width, int height, int quality, int noise = 24) {
    return imagetest::jpegFromRgba(width, height, imagetest::photoPixels(width, height, 5, noise), quality);
}

class ImageBuild : public BuildTest {
protected:
    void writePicture(const std::string& name, const Bytes& bytes) {
        write(name, std::string(bytes.begin(), bytes.end()));
    }

    // page.html with the body, compiled with the options into page.kova.
    qptest::RunResult buildPage(const std::string& body, std::vector<std::string> options = {}) {
        write("page.html", htmlPage(body, "<title>Pictures</title>"));
        options.push_back("page.html");
        return compile(options);
    }

    // book.opf with one chapter and the cover picture given by its path.
    qptest::RunResult buildWithCover(const std::string& cover) {
        write("one.html", htmlPage("<p>Chapter text.</p>"));
        write("book.opf", package(dcMetadata("<dc:Title>Covered</dc:Title><dc:Language>en</dc:Language>",
                                             "<EmbeddedCover>" + cover + "</EmbeddedCover>"),
                                  "<item id=\"one\" href=\"one.html\" media-type=\"text/x-oeb1-document\"/>",
                                  "<itemref idref=\"one\"/>"));
        return compile({"book.opf"});
    }

    static Bytes image(const kova::Book& book, uint32_t number) {
        return book.recordBytes(book.kova().firstImageRecord + number - 1);
    }
};

TEST_F(ImageBuild, SamePictureFromTwoFilesIsOneRecord) {
    writePicture("pic.png", imagetest::pngFromRgba(64, 48, imagetest::photoPixels(64, 48)));
    write("one.html", htmlPage("<p>One</p><img src=\"pic.png\"/><p>again</p><img src=\"pic.png\"/>"));
    write("sub/two.html", htmlPage("<p>Two</p><img src=\"../pic.png\"/>"));
    write("book.opf", package(dcMetadata("<dc:Title>Shared</dc:Title><dc:Language>en</dc:Language>"),
                              "<item id=\"one\" href=\"one.html\" media-type=\"text/x-oeb1-document\"/>"
                              "<item id=\"two\" href=\"sub/two.html\" media-type=\"text/x-oeb1-document\"/>",
                              "<itemref idref=\"one\"/><itemref idref=\"two\"/>"));
    auto result = compile({"book.opf"});
    ASSERT_EQ(result.exitCode, 0) << result.out;
    kova::Book book = this->book("book.kova");
    ASSERT_TRUE(book.sound());
    ASSERT_EQ(book.imageRecords().size(), 1u);
    EXPECT_EQ(recordIndexes(book.textString()), (std::vector<uint32_t>{1, 1, 1}));
    EXPECT_EQ(book.imageRecords()[0].width, 64u);
    EXPECT_EQ(book.imageRecords()[0].height, 48u);
}

TEST_F(ImageBuild, SmallGifIsStoredUnchangedAndLargeGifIsConverted) {
    const Bytes small = imagetest::noisyGif(170, 170, 7);
    const Bytes large = imagetest::noisyGif(225, 225, 8);
    ASSERT_GT(small.size(), 38'000u);
    ASSERT_LT(small.size() + kGifAllowance, kDefaultLimit);
    ASSERT_GT(large.size(), 68'000u);
    writePicture("small.gif", small);
    writePicture("large.gif", large);
    const std::string body = "<img src=\"small.gif\"/><img src=\"large.gif\"/>";

    auto result = buildPage(body);
    ASSERT_EQ(result.exitCode, 0) << result.out;
    kova::Book book = this->book("page.kova");
    ASSERT_TRUE(book.sound());
    ASSERT_EQ(book.imageRecords().size(), 2u);
    EXPECT_TRUE(holdsUnchanged(image(book, 1), small));
    const Bytes converted = image(book, 2);
    EXPECT_TRUE(isJpeg(converted));
    EXPECT_LE(converted.size(), kDefaultLimit);
    EXPECT_TRUE(decodes(converted));

    auto gifOnly = buildPage(body, {"-gif"});
    ASSERT_EQ(gifOnly.exitCode, 0) << gifOnly.out;
    kova::Book gifBook = this->book("page.kova");
    EXPECT_TRUE(holdsUnchanged(image(gifBook, 1), small));
    const Bytes reduced = image(gifBook, 2);
    EXPECT_TRUE(isGif(reduced));
    EXPECT_LE(reduced.size(), kDefaultLimit - kGifAllowance + 3);
    EXPECT_TRUE(decodes(reduced));
}

TEST_F(ImageBuild, PngOfManyColoursBecomesJpegEvenWhenItFits) {
    const Bytes png = imagetest::pngFromRgba(160, 118, imagetest::photoPixels(160, 118, 9));
    ASSERT_GT(png.size(), 48'000u);
    ASSERT_LT(png.size(), kDefaultLimit);
    writePicture("photo.png", png);
    auto result = buildPage("<img src=\"photo.png\"/>");
    ASSERT_EQ(result.exitCode, 0) << result.out;
    kova::Book book = this->book("page.kova");
    ASSERT_EQ(book.imageRecords().size(), 1u);
    const Bytes record = image(book, 1);
    EXPECT_TRUE(isJpeg(record));
    const auto decoded = imagetest::readJpeg(record);
    EXPECT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.width, 160);
    EXPECT_EQ(decoded.height, 118);
}

TEST_F(ImageBuild, PreserveModeOnlyCleansALargeJpeg) {
    const Bytes original = imagetest::withMetadata(photoJpeg(900, 700, 95), 20'000);
    ASSERT_GT(original.size(), kLimit128K);
    writePicture("large.jpg", original);
    auto result = buildPage("<img src=\"large.jpg\"/>", {"-preserve_img"});
    ASSERT_EQ(result.exitCode, 0) << result.out;
    kova::Book book = this->book("page.kova");
    ASSERT_EQ(book.imageRecords().size(), 1u);
    const Bytes record = image(book, 1);
    EXPECT_GT(record.size(), kLimit128K) << "not fitted to any limit";
    EXPECT_LE(record.size(), original.size() + 3);
    // Cleaning leaves the picture itself alone: the same pixels come out.
    const auto before = imagetest::readJpeg(original);
    const auto after = imagetest::readJpeg(record);
    ASSERT_TRUE(after.ok);
    EXPECT_EQ(after.width, 900);
    EXPECT_EQ(after.height, 700);
    EXPECT_TRUE(after.rgb == before.rgb);
}

TEST_F(ImageBuild, EveryRecordDecodesWithinItsModesLimit) {
    writePicture("photo.png", imagetest::pngFromRgba(700, 600, imagetest::photoPixels(700, 600, 11)));
    writePicture("large.jpg", photoJpeg(1000, 800, 95));
    writePicture("large.gif", imagetest::noisyGif(300, 260, 12));
    writePicture("small.gif", imagetest::noisyGif(40, 30, 13));
    writePicture("few.png", imagetest::pngFromRgba(120, 90, imagetest::fewColourPixels(120, 90, 16)));
    const std::string body = "<img src=\"photo.png\"/><img src=\"large.jpg\"/><img src=\"large.gif\"/>"
                             "<img src=\"small.gif\"/><img src=\"few.png\"/>";
    const std::vector<std::pair<std::vector<std::string>, size_t>> modes = {
        {{}, kDefaultLimit}, {{"-image128K"}, kLimit128K}, {{"-gif"}, kDefaultLimit - kGifAllowance + 3}};
    for (const auto& [options, limit] : modes) {
        const std::string label = options.empty() ? "default" : options.front();
        auto result = buildPage(body, options);
        ASSERT_LE(result.exitCode, 1) << label << '\n' << result.out;
        kova::Book book = this->book("page.kova");
        ASSERT_TRUE(book.sound()) << label;
        ASSERT_EQ(book.imageRecords().size(), 5u) << label;
        // The records as the dump tool extracts them.
        const auto target = dir / ("extracted" + label);
        auto extract = qptest::run(QP_KOVADUMP_BIN, {(dir / "page.kova").string(), "--extract", target.string()});
        ASSERT_EQ(extract.exitCode, 0) << extract.err;
        for (const kova::ImageRecord& record : book.imageRecords()) {
            const std::string file = kova::imageFileName(record);
            const std::string bytes = qptest::readFile(target / file);
            const Bytes picture(bytes.begin(), bytes.end());
            EXPECT_TRUE(decodes(picture)) << label << ' ' << file;
            EXPECT_LE(picture.size(), limit) << label << ' ' << file;
            if (options == std::vector<std::string>{"-gif"}) {
                EXPECT_TRUE(isGif(picture)) << file;
            }
        }
    }
}

// Disabled until an image that is not found takes the built-in picture's record: the img element is
// written without its recindex for now.
TEST_F(ImageBuild, MissingImageWarnsAndPointsAtThePlaceholder) {
    writePicture("here.gif", imagetest::noisyGif(20, 20));
    auto result = buildPage("<img src=\"here.gif\"/><p>gap</p><img src=\"gone.png\"/>");
    EXPECT_EQ(result.exitCode, 1) << result.out;
    EXPECT_NE(result.out.find("Warning(mkbook): "), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("gone.png"), std::string::npos) << "the warning names the file";
    kova::Book book = this->book("page.kova");
    ASSERT_TRUE(book.sound());
    const auto numbers = recordIndexes(book.textString());
    ASSERT_EQ(numbers.size(), 2u) << book.textString();
    EXPECT_NE(numbers[0], numbers[1]);
    for (uint32_t number : numbers) {
        ASSERT_GE(number, 1u);
        ASSERT_LE(number, book.imageRecords().size());
    }
    const Bytes placeholder = image(book, numbers[1]);
    EXPECT_TRUE(isGif(placeholder));
    EXPECT_TRUE(decodes(placeholder));
}

// Verbose mode tells that a picture was stored smaller; it is a note, not a warning that changes the result.
TEST_F(ImageBuild, AResizedPictureIsNotedInVerboseModeOnly) {
    writePicture("big.jpg", photoJpeg(2000, 1500, 95, 60));
    auto verbose = buildPage("<img src=\"big.jpg\"/>", {"-verbose"});
    EXPECT_EQ(verbose.exitCode, 0) << verbose.out;
    const std::string note =
        "Warning(mkbook): Image has been resized:  " + (dir / "big.jpg").string() + " (2000x1500 to ";
    EXPECT_NE(verbose.out.find(note), std::string::npos) << verbose.out;
    auto quiet = buildPage("<img src=\"big.jpg\"/>");
    EXPECT_EQ(quiet.exitCode, 0) << quiet.out;
    EXPECT_EQ(quiet.out.find("resized"), std::string::npos);
}

// Pictures are known by their content: a JPEG under another name and a damaged but viewable JPEG are kept as
// pictures; a file that is no picture gets a warning naming it and the placeholder, never raw records.
TEST_F(ImageBuild, PicturesAreKnownByContentAndDamageThatViewersAcceptIsKept) {
    const Bytes jpeg = photoJpeg(64, 48, 80);
    writePicture("photo.jfif", jpeg);
    writePicture("damaged.jpg", Bytes(jpeg.begin(), jpeg.end() - 2));
    write("notes.png", "not a picture at all");
    auto result = buildPage("<img src=\"photo.jfif\"/><img src=\"damaged.jpg\"/><img src=\"notes.png\"/>");
    EXPECT_EQ(result.exitCode, 1) << result.out;
    EXPECT_NE(result.out.find((dir / "notes.png").string()), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("photo.jfif"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("damaged.jpg"), std::string::npos) << result.out;
    kova::Book book = this->book("page.kova");
    ASSERT_TRUE(book.sound());
    const auto numbers = recordIndexes(book.textString());
    ASSERT_EQ(numbers.size(), 3u);
    EXPECT_EQ(book.imageRecords().size(), 3u);
    for (size_t i = 0; i < 2; ++i) {
        const Bytes stored = image(book, numbers[i]);
        EXPECT_TRUE(isJpeg(stored)) << i;
        EXPECT_TRUE(decodes(stored)) << i;
    }
    EXPECT_TRUE(isGif(image(book, numbers[2])));
}

TEST_F(ImageBuild, AnEmptySourceIsWarnedAndStoresNothing) {
    auto result = buildPage("<p>before</p><img src=\"\"/><img src=\" \"/>");
    EXPECT_EQ(result.exitCode, 1) << result.out;
    EXPECT_NE(result.out.find("Warning(mkbook): image file not specified"), std::string::npos) << result.out;
    kova::Book book = this->book("page.kova");
    ASSERT_TRUE(book.sound());
    EXPECT_TRUE(book.imageRecords().empty());
    EXPECT_TRUE(recordIndexes(book.textString()).empty()) << book.textString();
}

TEST_F(ImageBuild, CorruptImageWarnsAndPointsAtThePlaceholder) {
    Bytes corrupt = photoJpeg(64, 64, 80);
    corrupt.resize(40);  // the headers cut short before any frame
    writePicture("bad.jpg", corrupt);
    auto result = buildPage("<p>before</p><img src=\"bad.jpg\"/>");
    EXPECT_EQ(result.exitCode, 1) << result.out;
    EXPECT_NE(result.out.find("Warning(mkbook): "), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("bad.jpg"), std::string::npos);
    kova::Book book = this->book("page.kova");
    ASSERT_TRUE(book.sound());
    const auto numbers = recordIndexes(book.textString());
    ASSERT_EQ(numbers.size(), 1u) << book.textString();
    ASSERT_GE(numbers[0], 1u);
    ASSERT_LE(numbers[0], book.imageRecords().size());
    const Bytes placeholder = image(book, numbers[0]);
    EXPECT_TRUE(isGif(placeholder));
    EXPECT_TRUE(decodes(placeholder));
}

TEST_F(ImageBuild, SmallCoverWarnsWithExitOne) {
    writePicture("cover.jpg", photoJpeg(400, 600, 60, 4));
    auto result = buildWithCover("cover.jpg");
    EXPECT_EQ(result.exitCode, 1) << result.out;
    EXPECT_NE(result.out.find("Warning(mkbook): Cover is too small : "), std::string::npos) << result.out;
    EXPECT_TRUE(book("book.kova").sound());
}

TEST_F(ImageBuild, CoverGetsItsRecordsAndAThumbnailWithinTheBox) {
    const Bytes cover = photoJpeg(600, 800, 60, 4);
    ASSERT_LT(cover.size(), kDefaultLimit / 2);
    writePicture("cover.jpg", cover);
    auto result = buildWithCover("cover.jpg");
    ASSERT_EQ(result.exitCode, 0) << result.out;
    kova::Book book = this->book("book.kova");
    ASSERT_TRUE(book.sound());
    const auto coverOffset = book.exthNumber(201);
    const auto thumbnailOffset = book.exthNumber(202);
    ASSERT_TRUE(coverOffset.has_value());
    ASSERT_TRUE(thumbnailOffset.has_value());
    EXPECT_EQ(book.exthNumber(203), 0u);
    EXPECT_NE(*coverOffset, *thumbnailOffset);

    const auto coverPicture = imagetest::readJpeg(image(book, *coverOffset + 1));
    ASSERT_TRUE(coverPicture.ok);
    EXPECT_EQ(coverPicture.width, 600);
    EXPECT_EQ(coverPicture.height, 800);
    // 600 x 800 scaled into 240 x 240 keeps its 3:4 shape.
    const auto thumbnail = imagetest::readJpeg(image(book, *thumbnailOffset + 1));
    ASSERT_TRUE(thumbnail.ok);
    EXPECT_EQ(thumbnail.width, 180);
    EXPECT_EQ(thumbnail.height, 240);

    const auto& records = book.imageRecords();
    ASSERT_GT(records.size(), std::max(*coverOffset, *thumbnailOffset));
    EXPECT_TRUE(records[*coverOffset].cover);
    EXPECT_TRUE(records[*thumbnailOffset].thumbnail);
}

}  // namespace
