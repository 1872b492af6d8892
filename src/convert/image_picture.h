// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decoded pictures: 8-bit RGBA pixels, row after row, and the frames of an animation.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qp {

// Upper bound for the pixels one decoded file may hold (all frames together); larger pictures are refused
// before their pixels are allocated.
constexpr uint64_t kMaxImagePixels = 100'000'000;

enum class ImageFormat { Unknown, Jpeg, Png, Gif, Bmp };

// Why an image operation failed.
enum class ImageFault { None, Empty, UnknownFormat, Corrupt, TooLarge, OutOfMemory, EncodeFailed, DoesNotFit };

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;  // width * height * 4 bytes

    bool empty() const { return width <= 0 || height <= 0; }
    uint8_t* pixel(int x, int y) { return rgba.data() + (static_cast<size_t>(y) * width + x) * 4; }
    const uint8_t* pixel(int x, int y) const { return rgba.data() + (static_cast<size_t>(y) * width + x) * 4; }
};

// Sizes the pixel buffer (all pixels transparent black). Corrupt for an empty size, TooLarge beyond
// kMaxImagePixels, OutOfMemory when the buffer cannot be had.
ImageFault allocatePicture(Picture& picture, int width, int height);

struct AnimationFrame {
    Picture picture;  // the whole canvas as shown while the frame is displayed
    int delayCentiseconds = 0;
};

struct DecodedImage {
    ImageFormat format = ImageFormat::Unknown;
    int bitsPerPixel = 0;  // of the source (BMP and PNG palette rules need it)
    std::vector<AnimationFrame> frames;
    int loopCount = -1;  // GIF animation repeat count (0 = for ever; -1: no repeat block, played once)

    bool animated() const { return frames.size() > 1; }
    const Picture& first() const { return frames.front().picture; }
};

}  // namespace qp
