// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/image_fit.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "convert/image_analysis.h"
#include "convert/image_decode.h"
#include "convert/image_fit_loop.h"
#include "convert/image_gif.h"
#include "convert/image_jpeg.h"
#include "convert/image_scale.h"

namespace qp {

namespace {

constexpr size_t kPaletteColours = 256;

int scaledSide(int side, double scale) { return scale < 1.0 ? std::max(1, static_cast<int>(side * scale)) : side; }

// Keeps the last scaled copy, so that quality steps at one scale do not resample again.
class ScaledPicture {
public:
    explicit ScaledPicture(const Picture& source) : source_(source) {}

    ImageFault at(double scale, const Picture*& picture) {
        int width = scaledSide(source_.width, scale);
        int height = scaledSide(source_.height, scale);
        if (width == source_.width && height == source_.height) {
            picture = &source_;
            return ImageFault::None;
        }
        if (width != scaled_.width || height != scaled_.height) {
            if (ImageFault fault = scalePicture(source_, width, height, scaled_); fault != ImageFault::None) {
                scaled_ = Picture{};
                return fault;
            }
        }
        picture = &scaled_;
        return ImageFault::None;
    }

private:
    const Picture& source_;
    Picture scaled_;
};

void takeFitted(FittedImage& fitted, const FitParameters& used, FittedKind kind, int width, int height) {
    fitted.kind = kind;
    fitted.resized =
        used.scale < 1.0 && (scaledSide(width, used.scale) < width || scaledSide(height, used.scale) < height);
    fitted.width = scaledSide(width, used.scale);
    fitted.height = scaledSide(height, used.scale);
}

FittedImage fitJpeg(const Picture& picture, double limit) {
    FittedImage fitted;
    ScaledPicture scaled(picture);
    FitEncoder encode = [&](const FitParameters& parameters, std::vector<uint8_t>& out) {
        const Picture* source = nullptr;
        if (ImageFault fault = scaled.at(parameters.scale, source); fault != ImageFault::None) return fault;
        return encodeJpeg(*source, static_cast<int>(std::lround(parameters.quality)), out);
    };
    FitParameters used;
    fitted.fault = runFittingLoop(limit, FitParameters{}, false, encode, fitted.bytes, used);
    takeFitted(fitted, used, FittedKind::Jpeg, picture.width, picture.height);
    return fitted;
}

ImageFault encodeScaledGif(const DecodedImage& image, double scale, std::vector<uint8_t>& out) {
    const Picture& first = image.first();
    const int width = scaledSide(first.width, scale);
    const int height = scaledSide(first.height, scale);
    if (width == first.width && height == first.height) return encodeGif(image.frames, image.loopCount, out);
    std::vector<AnimationFrame> frames;
    try {
        frames.resize(image.frames.size());
    } catch (const std::bad_alloc&) {
        return ImageFault::OutOfMemory;
    }
    for (size_t i = 0; i < frames.size(); ++i) {
        frames[i].delayCentiseconds = image.frames[i].delayCentiseconds;
        ImageFault fault = scalePicture(image.frames[i].picture, width, height, frames[i].picture);
        if (fault != ImageFault::None) return fault;
    }
    return encodeGif(frames, image.loopCount, out);
}

// GIF fitting works on the scale alone; the first scale is guessed from the starting size.
FittedImage fitGif(const DecodedImage& image, double limit, double startSize) {
    FittedImage fitted;
    FitEncoder encode = [&](const FitParameters& parameters, std::vector<uint8_t>& out) {
        return encodeScaledGif(image, parameters.scale, out);
    };
    FitParameters start;
    start.scale = std::min(1.0, std::sqrt(0.9 * limit / std::max(startSize, 1.0)));
    FitParameters used;
    fitted.fault = limit > 0 ? runFittingLoop(limit, start, true, encode, fitted.bytes, used) : ImageFault::DoesNotFit;
    takeFitted(fitted, used, FittedKind::Gif, image.first().width, image.first().height);
    return fitted;
}

FittedImage keep(std::span<const uint8_t> file, FittedKind kind, const Picture& picture) {
    FittedImage fitted;
    fitted.kind = kind;
    fitted.keptAsIs = true;
    fitted.width = picture.width;
    fitted.height = picture.height;
    try {
        fitted.bytes.assign(file.begin(), file.end());
    } catch (const std::bad_alloc&) {
        fitted.fault = ImageFault::OutOfMemory;
    }
    return fitted;
}

// A JPEG source: cleaned, or re-encoded when that is smaller. Empty bytes when neither fits.
FittedImage tryJpegSource(std::span<const uint8_t> file, const Picture& picture, const FitOptions& options) {
    FittedImage fitted = keep(file, FittedKind::Jpeg, picture);
    if (!fitted.ok()) return fitted;
    std::vector<uint8_t> cleaned;
    if (cleanJpeg(file, cleaned) == ImageFault::None && cleaned.size() < fitted.bytes.size()) {
        fitted.bytes = std::move(cleaned);
    }
    if (options.preserve) return fitted;
    std::vector<uint8_t> reencoded;
    if (encodeJpeg(picture, kStartQuality, reencoded) == ImageFault::None && reencoded.size() < fitted.bytes.size()) {
        fitted.bytes = std::move(reencoded);
        fitted.keptAsIs = false;
    }
    if (fitted.bytes.size() > options.limit) fitted.bytes.clear();
    return fitted;
}

FittedImage convert(const DecodedImage& image, std::span<const uint8_t> file, const FitOptions& options) {
    const Picture& first = image.first();
    const bool fewColours = image.format == ImageFormat::Png && countColours(first, kPaletteColours) <= kPaletteColours;
    if (options.allowJpeg && !fewColours) return fitJpeg(first, options.limit);
    const double limit = options.limit > kGifAllowance ? static_cast<double>(options.limit - kGifAllowance) : 0.0;
    const double startSize = image.format == ImageFormat::Gif ? static_cast<double>(file.size())
                                                              : static_cast<double>(first.width) * first.height / 3.0;
    return fitGif(image, limit, startSize);
}

FittedImage fitDecoded(const DecodedImage& image, std::span<const uint8_t> file, const FitOptions& options) {
    const Picture& first = image.first();
    const uint64_t limit = options.limit;
    switch (image.format) {
        case ImageFormat::Jpeg:
            if (options.allowJpeg) {
                FittedImage fitted = tryJpegSource(file, first, options);
                if (!fitted.ok() || !fitted.bytes.empty()) return fitted;
            }
            break;
        case ImageFormat::Bmp:
            if (image.bitsPerPixel <= 8 && file.size() <= limit) return keep(file, FittedKind::Bmp, first);
            break;
        case ImageFormat::Gif:
            // A GIF that fits is kept as it is: an animation keeps its own frame rectangles, disposal and
            // palettes, which re-encoding whole frames would blow up tenfold.
            if (file.size() + kGifAllowance <= limit) return keep(file, FittedKind::Gif, first);
            if (image.animated()) {
                FittedImage fitted;
                fitted.kind = FittedKind::Gif;
                fitted.width = first.width;
                fitted.height = first.height;
                fitted.fault = encodeGif(image.frames, image.loopCount, fitted.bytes);
                if (fitted.ok() && fitted.bytes.size() + kGifAllowance <= limit) return fitted;
            }
            break;
        case ImageFormat::Png:
        case ImageFormat::Unknown: break;
    }
    return convert(image, file, options);
}

}  // namespace

uint32_t imageModeLimit(ImageMode imageMode) {
    switch (imageMode) {
        case ImageMode::Normal: return kDefaultImageLimit;
        case ImageMode::Limit128K: return kLargeImageLimit;
        case ImageMode::Preserve: return kPreservedImageLimit;
    }
    return kDefaultImageLimit;
}

FitOptions fitOptionsForMode(ImageMode imageMode, bool allowJpeg) {
    FitOptions options;
    options.limit = imageModeLimit(imageMode);
    options.allowJpeg = allowJpeg;
    options.preserve = imageMode == ImageMode::Preserve;
    return options;
}

FittedImage fitImage(std::span<const uint8_t> file, const FitOptions& options) {
    DecodedImage image;
    FittedImage failed;
    failed.fault = decodeImage(file, image);
    if (!failed.ok()) return failed;
    try {
        FittedImage fitted = fitDecoded(image, file, options);
        fitted.sourceWidth = image.first().width;
        fitted.sourceHeight = image.first().height;
        return fitted;
    } catch (const std::bad_alloc&) {
        failed.fault = ImageFault::OutOfMemory;
        return failed;
    }
}

void thumbnailSize(int width, int height, int boxWidth, int boxHeight, int& outWidth, int& outHeight) {
    outWidth = width;
    outHeight = height;
    const bool wide = boxWidth > 0 && width > boxWidth;
    const bool tall = boxHeight > 0 && height > boxHeight;
    if (!wide && !tall) return;
    // The side that overflows its box more sets the scale; the other is rounded to the nearest pixel.
    const bool byWidth =
        !tall || (wide && static_cast<int64_t>(width) * boxHeight >= static_cast<int64_t>(height) * boxWidth);
    if (byWidth) {
        outWidth = boxWidth;
        outHeight = std::max(1, static_cast<int>(std::lround(static_cast<double>(height) * boxWidth / width)));
    } else {
        outHeight = boxHeight;
        outWidth = std::max(1, static_cast<int>(std::lround(static_cast<double>(width) * boxHeight / height)));
    }
}

FittedImage makeThumbnail(std::span<const uint8_t> file, int boxWidth, int boxHeight, bool wantJpeg,
                          const FitOptions& options) {
    DecodedImage image;
    FittedImage fitted;
    fitted.fault = decodeImage(file, image);
    if (!fitted.ok()) return fitted;
    try {
        const Picture& first = image.first();
        int width = 0;
        int height = 0;
        thumbnailSize(first.width, first.height, boxWidth, boxHeight, width, height);
        DecodedImage thumbnail;
        thumbnail.format = image.format;
        thumbnail.frames.resize(1);
        Picture& picture = thumbnail.frames[0].picture;
        if (width == first.width && height == first.height) {
            picture = first;
        } else if (fitted.fault = scalePicture(first, width, height, picture); !fitted.ok()) {
            return fitted;
        }
        const bool jpeg = wantJpeg && options.allowJpeg;
        const uint32_t allowance = jpeg ? 0 : kGifAllowance;
        fitted.kind = jpeg ? FittedKind::Jpeg : FittedKind::Gif;
        fitted.width = width;
        fitted.height = height;
        fitted.fault =
            jpeg ? encodeJpeg(picture, kStartQuality, fitted.bytes) : encodeGif(thumbnail.frames, 0, fitted.bytes);
        if (fitted.ok() && fitted.bytes.size() + allowance > options.limit) {
            const double limit = options.limit > allowance ? static_cast<double>(options.limit - allowance) : 0.0;
            const auto size = static_cast<double>(fitted.bytes.size());
            fitted = jpeg ? fitJpeg(picture, limit) : fitGif(thumbnail, limit, size);
        }
        fitted.resized = fitted.resized || width < first.width || height < first.height;
        return fitted;
    } catch (const std::bad_alloc&) {
        fitted = FittedImage{};
        fitted.fault = ImageFault::OutOfMemory;
        return fitted;
    }
}

}  // namespace qp
