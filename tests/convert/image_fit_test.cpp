// SPDX-License-Identifier: GPL-3.0-or-later
// Fitting images to the byte limit of the image mode.
#include "convert/image_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "convert/image_fit_loop.h"
#include "image_test_pictures.h"

namespace {

using namespace imagetest;
using qp::FitOptions;
using qp::FitParameters;
using qp::FittedKind;
using qp::ImageFault;

// --- The search itself, with an encoder whose output size is a chosen function of the parameters ---

struct Trial {
    double quality;
    double scale;
};

struct LoopRun {
    std::vector<Trial> trials;
    ImageFault fault = ImageFault::None;
    size_t resultSize = 0;
    FitParameters used;
};

LoopRun runLoop(double limit, FitParameters start, bool scaleOnly, std::function<size_t(double, double)> size) {
    LoopRun run;
    qp::FitEncoder encoder = [&](const FitParameters& p, std::vector<uint8_t>& out) {
        run.trials.push_back({p.quality, p.scale});
        out.assign(size(p.quality, p.scale), 0);
        return ImageFault::None;
    };
    std::vector<uint8_t> result;
    run.fault = qp::runFittingLoop(limit, start, scaleOnly, encoder, result, run.used);
    run.resultSize = result.size();
    return run;
}

TEST(FittingLoopTest, QualityFallsToFortyThenScale) {
    // Size 50 * q * s^2 against a limit of 1000: q 80 gives 4000; q := 80 * 900 / 4000 = 18, held at 40,
    // gives 2000; s := sqrt(900 / 2000) = 0.67082 gives 900, which fits and is no undershoot.
    LoopRun run = runLoop(1000, {}, false, [](double q, double s) { return size_t(std::lround(50 * q * s * s)); });
    ASSERT_EQ(run.fault, ImageFault::None);
    ASSERT_EQ(run.trials.size(), 3u);
    EXPECT_DOUBLE_EQ(run.trials[0].quality, 80);
    EXPECT_DOUBLE_EQ(run.trials[1].quality, 40);
    EXPECT_DOUBLE_EQ(run.trials[1].scale, 1);
    EXPECT_NEAR(run.trials[2].scale, 0.67082, 1e-5);
    EXPECT_EQ(run.resultSize, 900u);
}

TEST(FittingLoopTest, SmallResultAtFullScaleIsTaken) {
    // 2000 at q 80, then 300 at q 40: far below the limit, but the scale was never lowered.
    LoopRun run = runLoop(1000, {}, false, [](double q, double) { return q > 79 ? 2000u : 300u; });
    ASSERT_EQ(run.fault, ImageFault::None);
    EXPECT_EQ(run.trials.size(), 2u);
    EXPECT_EQ(run.resultSize, 300u);
}

TEST(FittingLoopTest, UndershootsReturnToTheBestOne) {
    // At full scale: 3000 (q 80), 2500 (q 40). Below full scale the size jumps with the scale.
    auto size = [](double q, double s) -> size_t {
        if (s >= 1) return q > 79 ? 3000 : 2500;
        if (s < 0.65) return 500;
        if (s < 0.75) return 700;
        if (s < 0.8) return 1100;
        return 1200;
    };
    LoopRun run = runLoop(1000, {}, false, size);
    ASSERT_EQ(run.fault, ImageFault::None);
    // s: sqrt(900/2500) = 0.6 -> 500, undershoot 1 (best 0.6); 0.6 * sqrt(900/500) = 0.80498 -> 1200;
    // 0.80498 * sqrt(900/1200) = 0.69714 -> 700, undershoot 2 (best 0.69714); 0.69714 * sqrt(900/700)
    // = 0.79048 -> 1100, too big after two undershoots: back to 0.69714 -> 700, taken.
    const double expected[] = {1, 1, 0.6, 0.80498, 0.69714, 0.79048, 0.69714};
    ASSERT_EQ(run.trials.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) EXPECT_NEAR(run.trials[i].scale, expected[i], 1e-4) << i;
    EXPECT_EQ(run.resultSize, 700u);
    EXPECT_NEAR(run.used.scale, 0.69714, 1e-4);
}

TEST(FittingLoopTest, ScaleOnlyLeavesQuality) {
    // Size 1000 * s^2 against 500, starting at s = 0.9: 810 -> s = 0.9 * sqrt(450 / 810) = 0.67082 -> 450.
    LoopRun run = runLoop(500, {80, 0.9}, true, [](double, double s) { return size_t(std::lround(1000 * s * s)); });
    ASSERT_EQ(run.fault, ImageFault::None);
    ASSERT_EQ(run.trials.size(), 2u);
    EXPECT_DOUBLE_EQ(run.trials[1].quality, 80);
    EXPECT_NEAR(run.trials[1].scale, 0.67082, 1e-5);
}

TEST(FittingLoopTest, PictureThatCannotShrinkFails) {
    LoopRun run = runLoop(100, {}, false, [](double, double) { return 5000u; });
    EXPECT_EQ(run.fault, ImageFault::DoesNotFit);
}

// --- Whole files ---

// A file of the given maker whose size is near the target, found by adjusting the picture's side.
Bytes fileOfAbout(size_t target, const std::function<Bytes(int, int)>& make) {
    int side = 100;
    Bytes file = make(side, side);
    for (int round = 0; round < 6; ++round) {
        side = std::max(8, int(side * std::sqrt(double(target) / file.size())));
        file = make(side, side);
    }
    return file;
}

FitOptions defaultMode(bool allowJpeg = true) { return qp::fitOptionsForMode(qp::ImageMode::Normal, allowJpeg); }

TEST(ImageFitTest, ModeLimits) {
    EXPECT_EQ(qp::imageModeLimit(qp::ImageMode::Normal), 64'512u);
    EXPECT_EQ(qp::imageModeLimit(qp::ImageMode::Limit128K), 131'072u);
    EXPECT_EQ(qp::imageModeLimit(qp::ImageMode::Preserve), 2'147'483'647u);
    EXPECT_TRUE(qp::fitOptionsForMode(qp::ImageMode::Preserve, true).preserve);
    EXPECT_FALSE(qp::fitOptionsForMode(qp::ImageMode::Limit128K, true).preserve);
}

TEST(ImageFitTest, SmallGifIsStoredUnchangedLargeOneConverted) {
    Bytes small = fileOfAbout(40'000, [](int w, int h) { return noisyGif(w, h); });
    ASSERT_NEAR(double(small.size()), 40'000, 3'000);
    qp::FittedImage fitted = qp::fitImage(small, defaultMode());
    ASSERT_TRUE(fitted.ok());
    EXPECT_EQ(fitted.kind, FittedKind::Gif);
    EXPECT_TRUE(fitted.keptAsIs);
    EXPECT_EQ(fitted.bytes, small);

    Bytes large = fileOfAbout(70'000, [](int w, int h) { return noisyGif(w, h); });
    ASSERT_NEAR(double(large.size()), 70'000, 4'000);
    fitted = qp::fitImage(large, defaultMode());
    ASSERT_TRUE(fitted.ok());
    EXPECT_EQ(fitted.kind, FittedKind::Jpeg);
    EXPECT_LE(fitted.bytes.size(), 64'512u);
    EXPECT_TRUE(readJpeg(fitted.bytes).ok);

    fitted = qp::fitImage(large, defaultMode(false));
    ASSERT_TRUE(fitted.ok());
    EXPECT_EQ(fitted.kind, FittedKind::Gif);
    EXPECT_LE(fitted.bytes.size() + 266, 64'512u);
    EXPECT_TRUE(fitted.resized);
    GifInfo info = readGif(fitted.bytes);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.width, fitted.width);
}

TEST(ImageFitTest, GifJustUnderTheLimitNeedsItsAllowance) {
    Bytes gif = fileOfAbout(64'400, [](int w, int h) { return noisyGif(w, h); });
    ASSERT_GT(gif.size() + 266, 64'512u);
    ASSERT_LE(gif.size(), 64'512u);
    qp::FittedImage fitted = qp::fitImage(gif, defaultMode(false));
    ASSERT_TRUE(fitted.ok());
    EXPECT_FALSE(fitted.keptAsIs);
    EXPECT_LE(fitted.bytes.size() + 266, 64'512u);
}

TEST(ImageFitTest, ColourfulPngBecomesJpegEvenWhenSmall) {
    Bytes png = fileOfAbout(50'000, [](int w, int h) { return pngFromRgba(w, h, photoPixels(w, h)); });
    ASSERT_LT(png.size(), 64'512u);
    qp::FittedImage fitted = qp::fitImage(png, defaultMode());
    ASSERT_TRUE(fitted.ok());
    EXPECT_EQ(fitted.kind, FittedKind::Jpeg);
    JpegInfo info = readJpeg(fitted.bytes);
    ASSERT_TRUE(info.ok);
    EXPECT_LE(fitted.bytes.size(), 64'512u);
}

TEST(ImageFitTest, PngOfFewColoursBecomesGif) {
    Bytes png = pngFromRgba(700, 500, fewColourPixels(700, 500, 16));
    qp::FittedImage fitted = qp::fitImage(png, defaultMode());
    ASSERT_TRUE(fitted.ok());
    EXPECT_EQ(fitted.kind, FittedKind::Gif);
    EXPECT_LE(fitted.bytes.size() + 266, 64'512u);
    EXPECT_TRUE(readGif(fitted.bytes).ok);
}

TEST(ImageFitTest, JpegIsCleanedAndKeptWhenItFits) {
    Bytes source = withMetadata(jpegFromRgba(200, 150, photoPixels(200, 150, 4), 85), 20'000);
    qp::FittedImage fitted = qp::fitImage(source, defaultMode());
    ASSERT_TRUE(fitted.ok());
    EXPECT_EQ(fitted.kind, FittedKind::Jpeg);
    EXPECT_FALSE(hasMarker(fitted.bytes, 0xE1));
    EXPECT_LE(fitted.bytes.size() + 20'000, source.size());
    EXPECT_EQ(fitted.width, 200);
}

TEST(ImageFitTest, PreserveModeOnlyCleansALargeJpeg) {
    Bytes source = withMetadata(jpegFromRgba(1200, 900, photoPixels(1200, 900, 6), 95), 30'000);
    qp::FittedImage fitted = qp::fitImage(source, qp::fitOptionsForMode(qp::ImageMode::Preserve, true));
    ASSERT_TRUE(fitted.ok());
    EXPECT_EQ(fitted.kind, FittedKind::Jpeg);
    EXPECT_TRUE(fitted.keptAsIs);
    EXPECT_GT(fitted.bytes.size(), 131'072u);
    EXPECT_LT(fitted.bytes.size(), source.size());
    EXPECT_FALSE(hasMarker(fitted.bytes, 0xE1));
    EXPECT_EQ(readJpeg(fitted.bytes).rgb, readJpeg(source).rgb);
}

TEST(ImageFitTest, LargePhotoFitsEachMode) {
    Bytes photo = jpegFromRgba(4000, 3000, photoPixels(4000, 3000, 8), 90);
    ASSERT_GT(photo.size(), 1'000'000u);
    qp::FittedImage fitted = qp::fitImage(photo, defaultMode());
    ASSERT_TRUE(fitted.ok());
    EXPECT_EQ(fitted.kind, FittedKind::Jpeg);
    EXPECT_LE(fitted.bytes.size(), 64'512u);
    EXPECT_TRUE(fitted.resized);
    JpegInfo info = readJpeg(fitted.bytes);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.width, fitted.width);
    EXPECT_LT(info.width, 4000);
    // Same aspect, within the truncation of each side.
    EXPECT_NEAR(double(info.width) / info.height, 4.0 / 3.0, 0.01);

    Bytes medium = jpegFromRgba(1600, 1200, photoPixels(1600, 1200, 8), 90);
    fitted = qp::fitImage(medium, qp::fitOptionsForMode(qp::ImageMode::Limit128K, true));
    ASSERT_TRUE(fitted.ok());
    EXPECT_LE(fitted.bytes.size(), 131'072u);
    EXPECT_GT(fitted.bytes.size(), 64'512u);
    EXPECT_TRUE(readJpeg(fitted.bytes).ok);
}

TEST(ImageFitTest, PaletteBmpKeptTrueColourBmpConverted) {
    Bytes indices(64 * 64, 1);
    Bytes palette8 = bmpFile(64, 64, 8, 0, {{0, 0, 0}, {9, 99, 199}}, indices);
    qp::FittedImage fitted = qp::fitImage(palette8, defaultMode());
    ASSERT_TRUE(fitted.ok());
    EXPECT_EQ(fitted.kind, FittedKind::Bmp);
    EXPECT_EQ(fitted.bytes, palette8);

    Bytes trueColour = bmpFile(64, 64, 24, 0, {}, Bytes(64 * 64 * 3, 77));
    fitted = qp::fitImage(trueColour, defaultMode());
    ASSERT_TRUE(fitted.ok());
    EXPECT_EQ(fitted.kind, FittedKind::Jpeg);
    EXPECT_EQ(readJpeg(fitted.bytes).width, 64);

    fitted = qp::fitImage(trueColour, defaultMode(false));
    ASSERT_TRUE(fitted.ok());
    EXPECT_EQ(fitted.kind, FittedKind::Gif);
}

TEST(ImageFitTest, AnimatedGifStaysAnimated) {
    std::vector<GifFrameLayout> frames(4);
    for (size_t i = 0; i < frames.size(); ++i) {
        frames[i].indices.assign(50 * 40, static_cast<uint8_t>(i * 40));
        for (int x = 0; x < 50; ++x) frames[i].indices[static_cast<size_t>(20 * 50 + x)] = 255;
    }
    Bytes gif = gifFromIndices(50, 40, rainbowPalette(), frames);
    qp::FittedImage fitted = qp::fitImage(gif, defaultMode());
    ASSERT_TRUE(fitted.ok());
    EXPECT_EQ(fitted.kind, FittedKind::Gif);
    // An animation that fits is the source itself, in either mode: its frames, disposal and palette as made.
    EXPECT_TRUE(fitted.keptAsIs);
    EXPECT_EQ(fitted.bytes, gif);
    EXPECT_EQ(qp::fitImage(gif, defaultMode(false)).bytes, gif);
    GifInfo info = readGif(fitted.bytes);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.frames, 4);
    EXPECT_TRUE(info.loops);

    // An animation too large for the limit is scaled down with all its frames.
    std::vector<GifFrameLayout> noisy(3);
    std::mt19937 random(11);
    for (GifFrameLayout& frame : noisy) {
        frame.indices.resize(200 * 200);
        for (uint8_t& index : frame.indices) index = static_cast<uint8_t>(random());
    }
    Bytes big = gifFromIndices(200, 200, rainbowPalette(), noisy);
    ASSERT_GT(big.size(), 64'512u);
    fitted = qp::fitImage(big, defaultMode(false));
    ASSERT_TRUE(fitted.ok());
    EXPECT_LE(fitted.bytes.size() + 266, 64'512u);
    info = readGif(fitted.bytes);
    EXPECT_EQ(info.frames, 3);
    EXPECT_LT(info.width, 200);
    EXPECT_TRUE(info.loops);

    // One made to play once still plays once when it has to be rewritten.
    fitted = qp::fitImage(gifFromIndices(200, 200, rainbowPalette(), noisy, false), defaultMode(false));
    ASSERT_TRUE(fitted.ok());
    info = readGif(fitted.bytes);
    EXPECT_EQ(info.frames, 3);
    EXPECT_FALSE(info.loops);
}

TEST(ImageFitTest, ThumbnailsFitTheirBox) {
    Bytes photo = jpegFromRgba(1000, 600, photoPixels(1000, 600, 3), 90);
    qp::FittedImage thumbnail = qp::makeThumbnail(photo, 240, 240, true, defaultMode());
    ASSERT_TRUE(thumbnail.ok());
    EXPECT_EQ(thumbnail.kind, FittedKind::Jpeg);
    JpegInfo info = readJpeg(thumbnail.bytes);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.width, 240);
    EXPECT_EQ(info.height, 144);
    EXPECT_TRUE(thumbnail.resized);

    thumbnail = qp::makeThumbnail(photo, 240, 240, true, defaultMode(false));
    ASSERT_TRUE(thumbnail.ok());
    EXPECT_EQ(thumbnail.kind, FittedKind::Gif);
    GifInfo gif = readGif(thumbnail.bytes);
    EXPECT_EQ(gif.width, 240);
    EXPECT_EQ(gif.height, 144);
}

TEST(ImageFitTest, UnusableFilesFail) {
    EXPECT_EQ(qp::fitImage({}, defaultMode()).fault, ImageFault::Empty);
    EXPECT_EQ(qp::fitImage(Bytes{'h', 'e', 'l', 'l', 'o'}, defaultMode()).fault, ImageFault::UnknownFormat);
    Bytes jpeg = jpegFromRgba(100, 100, photoPixels(100, 100), 80);
    EXPECT_EQ(qp::fitImage(Bytes(jpeg.begin(), jpeg.begin() + 500), defaultMode()).fault, ImageFault::Corrupt);
    EXPECT_FALSE(qp::makeThumbnail(Bytes(jpeg.begin(), jpeg.begin() + 500), 240, 240, true, defaultMode()).ok());
}

}  // namespace
