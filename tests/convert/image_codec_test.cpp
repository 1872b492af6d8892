// SPDX-License-Identifier: GPL-3.0-or-later
// Decoders and encoders of the image layer, on pictures made by the libraries themselves.
#include <gtest/gtest.h>

#include <zlib.h>

#include "convert/image_bmp.h"
#include "convert/image_decode.h"
#include "convert/image_gif.h"
#include "convert/image_jpeg.h"
#include "convert/image_png.h"
#include "image_test_pictures.h"

namespace {

using namespace imagetest;
using qp::DecodedImage;
using qp::ImageFault;
using qp::ImageFormat;

std::array<uint8_t, 4> pixelAt(const qp::Picture& picture, int x, int y) {
    const uint8_t* p = picture.pixel(x, y);
    return {p[0], p[1], p[2], p[3]};
}

ImageFault decode(const Bytes& file, DecodedImage& image) { return qp::decodeImage(file, image); }

TEST(ImageDecodeTest, RecognisesFormatsByTheirFirstBytes) {
    EXPECT_EQ(qp::sniffImageFormat(Bytes{0xFF, 0xD8, 0xFF, 0xE0}), ImageFormat::Jpeg);
    EXPECT_EQ(qp::sniffImageFormat(Bytes{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}), ImageFormat::Png);
    EXPECT_EQ(qp::sniffImageFormat(Bytes{'G', 'I', 'F', '8', '7', 'a'}), ImageFormat::Gif);
    EXPECT_EQ(qp::sniffImageFormat(Bytes{'G', 'I', 'F', '8', '9', 'a'}), ImageFormat::Gif);
    EXPECT_EQ(qp::sniffImageFormat(Bytes{'B', 'M'}), ImageFormat::Bmp);
    EXPECT_EQ(qp::sniffImageFormat(Bytes{'G', 'I', 'F', '9', '0', 'a'}), ImageFormat::Unknown);
    DecodedImage image;
    EXPECT_EQ(decode({}, image), ImageFault::Empty);
    EXPECT_EQ(decode({'<', 'h', 't', 'm', 'l', '>'}, image), ImageFault::UnknownFormat);
}

TEST(ImageDecodeTest, PngOfEveryColourTypeBecomesRgba) {
    // 2 x 2 pictures with hand-chosen samples.
    DecodedImage image;

    Bytes grey = {0, 255, 128, 64};
    ASSERT_EQ(decode(pngFromRows(2, 2, grey, {PNG_COLOR_TYPE_GRAY, 8, false}), image), ImageFault::None);
    EXPECT_EQ(pixelAt(image.first(), 1, 0), (std::array<uint8_t, 4>{255, 255, 255, 255}));
    EXPECT_EQ(pixelAt(image.first(), 1, 1), (std::array<uint8_t, 4>{64, 64, 64, 255}));
    EXPECT_EQ(image.bitsPerPixel, 8);

    Bytes indexed = {0x01, 0x20};  // 4-bit palette: row 0 = 0,1; row 1 = 2,0
    std::vector<png_color> palette = {{10, 20, 30}, {200, 100, 50}, {0, 0, 255}};
    ASSERT_EQ(decode(pngFromRows(2, 2, indexed, {PNG_COLOR_TYPE_PALETTE, 4, false}, palette), image), ImageFault::None);
    EXPECT_EQ(pixelAt(image.first(), 1, 0), (std::array<uint8_t, 4>{200, 100, 50, 255}));
    EXPECT_EQ(pixelAt(image.first(), 0, 1), (std::array<uint8_t, 4>{0, 0, 255, 255}));
    EXPECT_EQ(image.bitsPerPixel, 4);

    // 16-bit RGBA, big-endian samples: the high byte survives.
    Bytes deep;
    for (int i = 0; i < 4; ++i) deep.insert(deep.end(), {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0x80, 0x00});
    ASSERT_EQ(decode(pngFromRows(2, 2, deep, {PNG_COLOR_TYPE_RGB_ALPHA, 16, false}), image), ImageFault::None);
    EXPECT_EQ(pixelAt(image.first(), 1, 1), (std::array<uint8_t, 4>{0x12, 0x56, 0x9A, 0x80}));

    // Interlaced: every pixel lands where it belongs.
    Bytes rgba = photoPixels(13, 11);
    ASSERT_EQ(decode(pngFromRows(13, 11, rgba, {PNG_COLOR_TYPE_RGB_ALPHA, 8, true}), image), ImageFault::None);
    EXPECT_EQ(image.first().rgba, rgba);
}

TEST(ImageDecodeTest, JpegDecodesCloseToItsSource) {
    Bytes rgba = photoPixels(64, 48, 5, 0);
    DecodedImage image;
    ASSERT_EQ(decode(jpegFromRgba(64, 48, rgba, 95, TJSAMP_444), image), ImageFault::None);
    EXPECT_EQ(image.format, ImageFormat::Jpeg);
    ASSERT_EQ(image.first().width, 64);
    ASSERT_EQ(image.first().height, 48);
    int worst = 0;
    for (size_t i = 0; i < rgba.size(); ++i) {
        if (i % 4 == 3) {
            EXPECT_EQ(image.first().rgba[i], 255);
            continue;
        }
        worst = std::max(worst, std::abs(int(rgba[i]) - int(image.first().rgba[i])));
    }
    EXPECT_LT(worst, 16);
}

TEST(ImageDecodeTest, GifFramesAreComposedWithTransparency) {
    std::vector<GifColorType> palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 0, 0}};
    GifFrameLayout first{{0, 1, 2, 0}, 20, NO_TRANSPARENT_COLOR};
    GifFrameLayout second{{3, 3, 1, 1}, 30, 3};  // index 3 is transparent
    DecodedImage image;
    ASSERT_EQ(decode(gifFromIndices(2, 2, palette, {first, second}), image), ImageFault::None);
    ASSERT_EQ(image.frames.size(), 2u);
    EXPECT_TRUE(image.animated());
    EXPECT_EQ(image.frames[0].delayCentiseconds, 20);
    EXPECT_EQ(image.frames[1].delayCentiseconds, 30);
    EXPECT_EQ(pixelAt(image.frames[0].picture, 1, 0), (std::array<uint8_t, 4>{0, 255, 0, 255}));
    // The first frame was disposed to background, so the transparent pixels of the second stay clear.
    EXPECT_EQ(pixelAt(image.frames[1].picture, 0, 0)[3], 0);
    EXPECT_EQ(pixelAt(image.frames[1].picture, 0, 1), (std::array<uint8_t, 4>{0, 255, 0, 255}));
}

TEST(ImageEncodeTest, GifKeepsAnimationAndColours) {
    std::vector<qp::AnimationFrame> frames(3);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(qp::allocatePicture(frames[i].picture, 16, 8), ImageFault::None);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 16; ++x) {
                uint8_t* p = frames[i].picture.pixel(x, y);
                p[0] = static_cast<uint8_t>(x * 16);
                p[1] = static_cast<uint8_t>(i * 100);
                p[2] = static_cast<uint8_t>(y * 32);
                p[3] = x == 0 ? 0 : 255;
            }
        }
        frames[i].delayCentiseconds = 7;
    }
    Bytes gif;
    ASSERT_EQ(qp::encodeGif(frames, 0, gif), ImageFault::None);
    GifInfo info = readGif(gif);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.frames, 3);
    EXPECT_TRUE(info.loops);
    EXPECT_EQ(info.width, 16);

    // Fewer than 256 colours come back exactly, transparency included.
    DecodedImage back;
    ASSERT_EQ(qp::decodeGif(gif, back), ImageFault::None);
    ASSERT_EQ(back.frames.size(), 3u);
    EXPECT_EQ(back.frames[2].delayCentiseconds, 7);
    EXPECT_EQ(pixelAt(back.frames[2].picture, 5, 3), (std::array<uint8_t, 4>{80, 200, 96, 255}));
    EXPECT_EQ(pixelAt(back.frames[1].picture, 0, 3)[3], 0);
}

TEST(ImageEncodeTest, JpegIsBaselineOptimisedAndGreyStaysGrey) {
    Bytes rgba = photoPixels(120, 80, 9);
    qp::Picture picture{120, 80, rgba};
    Bytes jpeg;
    ASSERT_EQ(qp::encodeJpeg(picture, 80, jpeg), ImageFault::None);
    JpegInfo info = readJpeg(jpeg);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.width, 120);
    EXPECT_EQ(info.colourspace, TJCS_YCbCr);
    EXPECT_TRUE(hasMarker(jpeg, 0xC0));   // baseline frame
    EXPECT_FALSE(hasMarker(jpeg, 0xC2));  // not progressive
    // Optimised tables beat the standard ones the plain compressor uses.
    EXPECT_LT(jpeg.size(), jpegFromRgba(120, 80, rgba, 80).size());

    for (size_t i = 0; i < rgba.size(); i += 4) rgba[i + 1] = rgba[i + 2] = rgba[i];
    Bytes grey;
    ASSERT_EQ(qp::encodeJpeg(qp::Picture{120, 80, rgba}, 80, grey), ImageFault::None);
    EXPECT_EQ(readJpeg(grey).colourspace, TJCS_GRAY);

    // A transparent pixel is laid on white.
    qp::Picture clear;
    ASSERT_EQ(qp::allocatePicture(clear, 8, 8), ImageFault::None);
    Bytes white;
    ASSERT_EQ(qp::encodeJpeg(clear, 90, white), ImageFault::None);
    EXPECT_GT(readJpeg(white).rgb[0], 250);
}

TEST(ImageEncodeTest, CleanerDropsMetadataAndKeepsPixels) {
    Bytes source = withMetadata(jpegFromRgba(200, 150, photoPixels(200, 150, 4), 85), 20000);
    ASSERT_TRUE(hasMarker(source, 0xE1));
    Bytes cleaned;
    ASSERT_EQ(qp::cleanJpeg(source, cleaned), ImageFault::None);
    EXPECT_LT(cleaned.size() + 20000, source.size());
    EXPECT_FALSE(hasMarker(cleaned, 0xE1));
    EXPECT_FALSE(hasMarker(cleaned, 0xFE));
    JpegInfo before = readJpeg(source);
    JpegInfo after = readJpeg(cleaned);
    ASSERT_TRUE(after.ok);
    EXPECT_EQ(after.rgb, before.rgb);

    // A progressive source comes out baseline with the same pixels.
    Bytes progressive = jpegFromRgba(200, 150, photoPixels(200, 150, 4), 85, TJSAMP_420, TJFLAG_PROGRESSIVE);
    ASSERT_TRUE(hasMarker(progressive, 0xC2));
    ASSERT_EQ(qp::cleanJpeg(progressive, cleaned), ImageFault::None);
    EXPECT_TRUE(hasMarker(cleaned, 0xC0));
    EXPECT_EQ(readJpeg(cleaned).rgb, readJpeg(progressive).rgb);
}

TEST(ImageDecodeTest, BmpUncompressedFormsAndRowOrder) {
    DecodedImage image;
    // 24-bit, 2 x 2, bottom-up: the first stored row is the bottom one; rows padded to 4 bytes.
    Bytes data = {0,   0, 255, 0,   255, 0,   0, 0,   // bottom: red, green
                  255, 0, 0,   255, 255, 255, 0, 0};  // top: blue, white
    ASSERT_EQ(qp::decodeBmp(bmpFile(2, 2, 24, 0, {}, data), image), ImageFault::None);
    EXPECT_EQ(pixelAt(image.first(), 0, 0), (std::array<uint8_t, 4>{0, 0, 255, 255}));
    EXPECT_EQ(pixelAt(image.first(), 1, 1), (std::array<uint8_t, 4>{0, 255, 0, 255}));
    EXPECT_EQ(image.bitsPerPixel, 24);

    // 1-bit, 10 pixels wide: bits from the top of each byte.
    Bytes mono = {0b10100000, 0b01000000, 0, 0};
    ASSERT_EQ(qp::decodeBmp(bmpFile(10, 1, 1, 0, {{0, 0, 0}, {250, 240, 230}}, mono), image), ImageFault::None);
    EXPECT_EQ(pixelAt(image.first(), 0, 0), (std::array<uint8_t, 4>{250, 240, 230, 255}));
    EXPECT_EQ(pixelAt(image.first(), 1, 0), (std::array<uint8_t, 4>{0, 0, 0, 255}));
    EXPECT_EQ(pixelAt(image.first(), 9, 0), (std::array<uint8_t, 4>{250, 240, 230, 255}));

    // 4-bit: high nibble first.
    Bytes nibbles = {0x21, 0x00, 0x00, 0x00};
    ASSERT_EQ(qp::decodeBmp(bmpFile(3, 1, 4, 0, {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}}, nibbles), image), ImageFault::None);
    EXPECT_EQ(pixelAt(image.first(), 0, 0)[0], 3);
    EXPECT_EQ(pixelAt(image.first(), 1, 0)[0], 2);
    EXPECT_EQ(pixelAt(image.first(), 2, 0)[0], 1);
    EXPECT_EQ(image.bitsPerPixel, 4);

    // 32-bit BGRX and a top-down file (negative height).
    Bytes bgrx = {10, 20, 30, 0, 40, 50, 60, 0};
    Bytes topDown = bmpFile(1, 2, 32, 0, {}, bgrx);
    topDown[22] = 0xFE;  // height -2
    topDown[23] = topDown[24] = topDown[25] = 0xFF;
    ASSERT_EQ(qp::decodeBmp(topDown, image), ImageFault::None);
    EXPECT_EQ(pixelAt(image.first(), 0, 0), (std::array<uint8_t, 4>{30, 20, 10, 255}));
    EXPECT_EQ(pixelAt(image.first(), 0, 1), (std::array<uint8_t, 4>{60, 50, 40, 255}));
}

TEST(ImageDecodeTest, BmpRunLengthForms) {
    DecodedImage image;
    std::vector<std::array<uint8_t, 3>> palette = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    // RLE8, 4 x 2: bottom row = run of 3 x index 1, run of 1 x index 2, end of line; top row = absolute
    // run of 3 pixels (2, 3, 1) padded to an even count, run of 1 x index 3; end of bitmap.
    Bytes rle8 = {3, 1, 1, 2, 0, 0, 0, 3, 2, 3, 1, 0, 1, 3, 0, 1};
    ASSERT_EQ(qp::decodeBmp(bmpFile(4, 2, 8, 1, palette, rle8), image), ImageFault::None);
    EXPECT_EQ(pixelAt(image.first(), 0, 1)[0], 255);  // bottom row
    EXPECT_EQ(pixelAt(image.first(), 3, 1)[1], 255);
    EXPECT_EQ(pixelAt(image.first(), 0, 0)[1], 255);  // top row
    EXPECT_EQ(pixelAt(image.first(), 1, 0)[2], 255);
    EXPECT_EQ(pixelAt(image.first(), 2, 0)[0], 255);
    EXPECT_EQ(pixelAt(image.first(), 3, 0)[2], 255);

    // RLE4, 5 x 1: run of 5 alternating nibbles 1 and 2.
    Bytes rle4 = {5, 0x12, 0, 1};
    ASSERT_EQ(qp::decodeBmp(bmpFile(5, 1, 4, 2, palette, rle4), image), ImageFault::None);
    EXPECT_EQ(pixelAt(image.first(), 0, 0)[0], 255);
    EXPECT_EQ(pixelAt(image.first(), 1, 0)[1], 255);
    EXPECT_EQ(pixelAt(image.first(), 4, 0)[0], 255);

    // Cut before the end-of-bitmap code.
    EXPECT_EQ(qp::decodeBmp(bmpFile(4, 2, 8, 1, palette, {3, 1}), image), ImageFault::Corrupt);
}

// A PNG signature and an IHDR chunk with a valid CRC declaring the given size, then nothing.
Bytes pngHeaderOnly(uint32_t width, uint32_t height) {
    Bytes out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (uint32_t v : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
    }
    out.insert(out.end(), {8, 6, 0, 0, 0});
    uLong crc = crc32(0, out.data() + 12, 17);
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(crc >> shift));
    return out;
}

// Damage that common viewers shrug off: the picture decodes at its full size.
TEST(ImageHostileTest, DamagedButViewablePicturesDecode) {
    DecodedImage image;
    const Bytes jpeg = jpegFromRgba(40, 30, photoPixels(40, 30), 80);
    Bytes noEndMarker(jpeg.begin(), jpeg.end() - 2);
    Bytes strayBytes = jpeg;
    for (size_t i = 2; i + 1 < strayBytes.size(); ++i) {
        if (strayBytes[i] == 0xFF && strayBytes[i + 1] == 0xC4) {  // before the first Huffman table
            strayBytes.insert(strayBytes.begin() + static_cast<long>(i), {0x00, 0x00});
            break;
        }
    }
    const Bytes gif = noisyGif(40, 30);
    Bytes noTrailer(gif.begin(), gif.end() - 1);
    for (const Bytes* file : {&noEndMarker, &strayBytes, &noTrailer}) {
        ASSERT_EQ(decode(*file, image), ImageFault::None);
        EXPECT_EQ(image.first().width, 40);
        EXPECT_EQ(image.first().height, 30);
    }
}

TEST(ImageHostileTest, DamagedFilesFailCleanly) {
    DecodedImage image;
    Bytes png = pngFromRgba(40, 30, photoPixels(40, 30));
    Bytes jpeg = jpegFromRgba(40, 30, photoPixels(40, 30), 80);
    Bytes gif = noisyGif(40, 30);
    Bytes bmp = bmpFile(4, 4, 24, 0, {}, Bytes(48, 7));
    // (A JPEG cut short still decodes, its missing rows grey, as viewers show it: see the next test.)
    for (const Bytes* file : {&png, &gif, &bmp}) {
        Bytes truncated(file->begin(), file->begin() + static_cast<long>(file->size() * 2 / 3));
        EXPECT_NE(decode(truncated, image), ImageFault::None) << "format " << int(qp::sniffImageFormat(*file));
    }
    for (const Bytes* file : {&png, &jpeg, &gif, &bmp}) {
        Bytes headerOnly(file->begin(), file->begin() + 20);
        EXPECT_NE(decode(headerOnly, image), ImageFault::None);
    }
    // A PNG declaring 100000 x 100000 pixels is refused before any pixel memory is taken.
    EXPECT_EQ(decode(pngHeaderOnly(100000, 100000), image), ImageFault::TooLarge);
    EXPECT_EQ(decode(pngHeaderOnly(0x7FFFFFFF, 1), image), ImageFault::TooLarge);
    EXPECT_EQ(decode(pngHeaderOnly(300, 200), image), ImageFault::Corrupt);

    // A GIF whose LZW stream is garbage.
    Bytes badLzw = gif;
    for (size_t i = 800; i < 1200; ++i) badLzw[i] = 0xFF;
    EXPECT_NE(decode(badLzw, image), ImageFault::None);

    // A BMP declaring a picture far larger than the file.
    Bytes hugeBmp = bmpFile(4, 4, 24, 0, {}, Bytes(48, 7));
    hugeBmp[18] = hugeBmp[19] = hugeBmp[20] = 0xFF;
    hugeBmp[21] = 0x00;
    EXPECT_EQ(decode(hugeBmp, image), ImageFault::Corrupt);

    // A JPEG header declaring 60000 x 60000 pixels is too large.
    Bytes bigJpeg = jpeg;
    for (size_t i = 2; i + 8 < bigJpeg.size(); ++i) {
        if (bigJpeg[i] == 0xFF && bigJpeg[i + 1] == 0xC0) {
            bigJpeg[i + 5] = 0xEA;
            bigJpeg[i + 6] = 0x60;
            bigJpeg[i + 7] = 0xEA;
            bigJpeg[i + 8] = 0x60;
            break;
        }
    }
    EXPECT_EQ(decode(bigJpeg, image), ImageFault::TooLarge);
    Bytes cleaned;
    EXPECT_EQ(qp::cleanJpeg(bigJpeg, cleaned), ImageFault::TooLarge);
    EXPECT_NE(qp::cleanJpeg(Bytes(jpeg.begin(), jpeg.begin() + 300), cleaned), ImageFault::None);
}

}  // namespace
