// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fitting an image file to the byte limit of the book's image mode: small GIF, JPEG and palette BMP files
// are kept, everything else is re-encoded as JPEG or GIF, lowering the JPEG quality and then the picture
// size until the result fits.
#include <cstdint>
#include <span>
#include <vector>

#include "convert/image_picture.h"

namespace qp {

constexpr uint32_t kDefaultImageLimit = 64'512;
constexpr uint32_t kLargeImageLimit = 131'072;
constexpr uint32_t kPreservedImageLimit = 2'147'483'647;
// Room a GIF must leave below the limit.
constexpr uint32_t kGifAllowance = 266;

// How images are fitted: reduced to the normal byte limit, each limited to 128 KB, or kept at their size.
enum class ImageMode : uint8_t { Normal, Limit128K, Preserve };

uint32_t imageModeLimit(ImageMode imageMode);

struct FitOptions {
    uint32_t limit = kDefaultImageLimit;
    bool allowJpeg = true;
    bool preserve = false;  // ImageMode::Preserve: a JPEG is only cleaned
};

FitOptions fitOptionsForMode(ImageMode imageMode, bool allowJpeg);

enum class FittedKind { Jpeg, Gif, Bmp };

struct FittedImage {
    ImageFault fault = ImageFault::None;
    FittedKind kind = FittedKind::Jpeg;
    std::vector<uint8_t> bytes;
    bool keptAsIs = false;  // the file's own bytes (a cleaned JPEG counts as kept)
    bool resized = false;   // the picture was made smaller to fit
    int width = 0;
    int height = 0;
    int sourceWidth = 0;  // the picture's own size, for the resizing note
    int sourceHeight = 0;

    bool ok() const { return fault == ImageFault::None; }
};

// The bytes to store for an image file.
FittedImage fitImage(std::span<const uint8_t> file, const FitOptions& options);

// A thumbnail: the first frame scaled down into the box keeping its aspect ratio, as JPEG at quality 80
// (GIF when JPEG is not wanted or not allowed), fitted further when it still exceeds the limit.
FittedImage makeThumbnail(std::span<const uint8_t> file, int boxWidth, int boxHeight, bool wantJpeg,
                          const FitOptions& options);

// Width and height of a picture scaled into a box, keeping its aspect ratio; never larger than the picture.
void thumbnailSize(int width, int height, int boxWidth, int boxHeight, int& outWidth, int& outHeight);

}  // namespace qp
