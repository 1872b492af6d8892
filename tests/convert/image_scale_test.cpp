// SPDX-License-Identifier: GPL-3.0-or-later
// Area-averaging scaler, colour statistics, palette reduction and thumbnail sizes.
#include "convert/image_scale.h"

#include <gtest/gtest.h>

#include "convert/image_analysis.h"
#include "convert/image_fit.h"
#include "convert/image_quantize.h"
#include "image_test_pictures.h"

namespace {

using qp::ImageFault;
using qp::Picture;

Picture greyRow(std::initializer_list<uint8_t> values) {
    Picture picture;
    qp::allocatePicture(picture, static_cast<int>(values.size()), 1);
    int x = 0;
    for (uint8_t v : values) {
        uint8_t* p = picture.pixel(x++, 0);
        p[0] = p[1] = p[2] = v;
        p[3] = 255;
    }
    return picture;
}

TEST(ImageScaleTest, WholeBlocksAverage) {
    Picture source;
    ASSERT_EQ(qp::allocatePicture(source, 4, 4), ImageFault::None);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            uint8_t* p = source.pixel(x, y);
            p[0] = static_cast<uint8_t>(10 * (y * 4 + x));
            p[1] = 200;
            p[2] = 0;
            p[3] = 255;
        }
    }
    Picture target;
    ASSERT_EQ(qp::scalePicture(source, 2, 2, target), ImageFault::None);
    // Top-left block: 0, 10, 40, 50 -> 25; bottom-right: 100, 110, 140, 150 -> 125.
    EXPECT_EQ(target.pixel(0, 0)[0], 25);
    EXPECT_EQ(target.pixel(1, 1)[0], 125);
    EXPECT_EQ(target.pixel(1, 0)[1], 200);
    EXPECT_EQ(target.pixel(1, 0)[3], 255);
}

TEST(ImageScaleTest, PartlyCoveredPixelsCountByTheirShare) {
    // 3 -> 2: the first target covers pixel 0 fully and half of pixel 1: (0 + 45) / 1.5 = 30;
    // the second covers half of pixel 1 and pixel 2: (45 + 180) / 1.5 = 150.
    Picture target;
    ASSERT_EQ(qp::scalePicture(greyRow({0, 90, 180}), 2, 1, target), ImageFault::None);
    EXPECT_EQ(target.pixel(0, 0)[0], 30);
    EXPECT_EQ(target.pixel(1, 0)[0], 150);
    // Enlarging repeats pixels.
    ASSERT_EQ(qp::scalePicture(greyRow({7, 77}), 4, 1, target), ImageFault::None);
    EXPECT_EQ(target.pixel(1, 0)[0], 7);
    EXPECT_EQ(target.pixel(2, 0)[0], 77);
}

TEST(ImageScaleTest, TransparentPixelsDoNotTint) {
    Picture source;
    ASSERT_EQ(qp::allocatePicture(source, 2, 1), ImageFault::None);
    uint8_t* blue = source.pixel(0, 0);
    blue[2] = blue[3] = 255;
    uint8_t* clearRed = source.pixel(1, 0);
    clearRed[0] = 255;  // alpha stays 0
    Picture target;
    ASSERT_EQ(qp::scalePicture(source, 1, 1, target), ImageFault::None);
    EXPECT_EQ(target.pixel(0, 0)[0], 0);
    EXPECT_EQ(target.pixel(0, 0)[2], 255);
    EXPECT_EQ(target.pixel(0, 0)[3], 128);
}

TEST(ImageAnalysisTest, ColoursGreyAndTransparency) {
    Picture row = greyRow({1, 2, 2, 3});
    EXPECT_EQ(qp::countColours(row, 256), 3u);
    EXPECT_EQ(qp::countColours(row, 2), 3u);  // stops past the limit
    EXPECT_TRUE(qp::isGreyscale(row));
    EXPECT_FALSE(qp::hasTransparency(row));
    row.pixel(0, 0)[1] = 9;
    row.pixel(3, 0)[3] = 100;
    row.pixel(2, 0)[3] = 0;
    EXPECT_FALSE(qp::isGreyscale(row));
    EXPECT_TRUE(qp::hasTransparency(row));
    EXPECT_EQ(qp::countColours(row, 256), 3u);  // the two clear pixels count as one colour

    Picture photo{300, 200, imagetest::photoPixels(300, 200)};
    EXPECT_EQ(qp::countColours(photo, 256), 257u);
}

TEST(ImageQuantizeTest, FewColoursStayExactManyAreReduced) {
    Picture few{64, 64, imagetest::fewColourPixels(64, 64, 200)};
    few.pixel(5, 5)[3] = 0;
    qp::IndexedPicture indexed;
    ASSERT_EQ(qp::quantizePicture(few, indexed), ImageFault::None);
    ASSERT_GE(indexed.transparentIndex, 0);
    EXPECT_EQ(indexed.indices[5 * 64 + 5], indexed.transparentIndex);
    for (int i : {0, 1, 777, 4095}) {
        if (i == 5 * 64 + 5) continue;
        const auto& colour = indexed.palette[indexed.indices[static_cast<size_t>(i)]];
        EXPECT_EQ(colour[0], few.rgba[i * 4]);
        EXPECT_EQ(colour[1], few.rgba[i * 4 + 1]);
        EXPECT_EQ(colour[2], few.rgba[i * 4 + 2]);
    }

    Picture photo{200, 150, imagetest::photoPixels(200, 150)};
    ASSERT_EQ(qp::quantizePicture(photo, indexed), ImageFault::None);
    EXPECT_LE(indexed.palette.size(), 256u);
    EXPECT_EQ(indexed.transparentIndex, -1);
    // The mapped colours stay near the originals on average.
    double error = 0;
    for (size_t i = 0; i < indexed.indices.size(); ++i) {
        const auto& colour = indexed.palette[indexed.indices[i]];
        for (int c = 0; c < 3; ++c) error += std::abs(int(colour[c]) - int(photo.rgba[i * 4 + c]));
    }
    EXPECT_LT(error / (indexed.indices.size() * 3), 20.0);
}

TEST(ThumbnailSizeTest, FitsTheBoxKeepingAspect) {
    int w = 0;
    int h = 0;
    qp::thumbnailSize(1000, 500, 240, 240, w, h);
    EXPECT_EQ(w, 240);
    EXPECT_EQ(h, 120);
    qp::thumbnailSize(500, 1000, 240, 240, w, h);
    EXPECT_EQ(w, 120);
    EXPECT_EQ(h, 240);
    qp::thumbnailSize(1000, 333, 240, 240, w, h);  // 333 * 0.24 = 79.92 -> 80
    EXPECT_EQ(w, 240);
    EXPECT_EQ(h, 80);
    qp::thumbnailSize(1000, 1000, 300, 100, w, h);  // the height is the tighter side
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 100);
    qp::thumbnailSize(200, 100, 240, 240, w, h);  // already inside: unchanged
    EXPECT_EQ(w, 200);
    EXPECT_EQ(h, 100);
}

}  // namespace
