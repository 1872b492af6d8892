// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/placeholder_gif.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "convert/image_gif.h"

namespace qp {

namespace {

constexpr uint8_t kGifTrailer = 0x3B;
constexpr std::string_view kComment = "quillpress: image not available";

void fill(Picture& picture, int x, int y, uint32_t rgb) {
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return;
    uint8_t* p = picture.pixel(x, y);
    p[0] = static_cast<uint8_t>(rgb >> 16);
    p[1] = static_cast<uint8_t>(rgb >> 8);
    p[2] = static_cast<uint8_t>(rgb);
    p[3] = 255;
}

Picture drawPlaceholder() {
    Picture picture;
    allocatePicture(picture, kPlaceholderWidth, kPlaceholderHeight);
    const int w = kPlaceholderWidth;
    const int h = kPlaceholderHeight;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint32_t colour = 0xDDE6EE;                                              // sky
            if ((x - 58) * (x - 58) + (y - 17) * (y - 17) <= 49) colour = 0xF2B233;  // sun
            if (y > h - 28 + std::abs(x - 28)) colour = 0x5E8C4A;                    // hill
            if (y > h - 22 + std::abs(x - 56) / 2) colour = 0x3F6B35;                // far hill
            if (x < 3 || y < 3 || x >= w - 3 || y >= h - 3) colour = 0x555555;       // frame
            fill(picture, x, y, colour);
        }
    }
    // The red cross from corner to corner.
    for (int x = 3; x < w - 3; ++x) {
        int y = 3 + (x - 3) * (h - 7) / (w - 7);
        for (int d = -1; d <= 1; ++d) {
            fill(picture, x, y + d, 0xCC2222);
            fill(picture, x, h - 1 - y + d, 0xCC2222);
        }
    }
    return picture;
}

// A comment extension of exactly `size` bytes (at least 3): the text, padded with blanks, in sub-blocks.
std::vector<uint8_t> commentBlock(size_t size) {
    std::vector<uint8_t> block = {0x21, 0xFE};
    size_t text = 0;
    // Text length t costs t plus one length byte per 255 bytes; some sizes need one empty comment more.
    auto cost = [](size_t t) { return 3 + t + (t + 254) / 255; };
    bool extraComment = false;
    while (cost(text) < size) ++text;
    if (cost(text) != size) {
        extraComment = true;
        text = 0;
        while (cost(text) + 3 < size) ++text;
    }
    for (size_t done = 0; done < text;) {
        size_t length = std::min<size_t>(255, text - done);
        block.push_back(static_cast<uint8_t>(length));
        for (size_t i = 0; i < length; ++i, ++done) {
            block.push_back(done < kComment.size() ? static_cast<uint8_t>(kComment[done]) : ' ');
        }
    }
    block.push_back(0x00);
    if (extraComment) block.insert(block.end(), {0x21, 0xFE, 0x00});
    return block;
}

std::vector<uint8_t> makePlaceholderGif() {
    std::vector<AnimationFrame> frames(1);
    frames[0].picture = drawPlaceholder();
    std::vector<uint8_t> gif;
    if (encodeGif(frames, 0, gif) != ImageFault::None || gif.empty() || gif.back() != kGifTrailer) return gif;
    if (gif.size() + 3 <= kPlaceholderGifSize) {
        std::vector<uint8_t> comment = commentBlock(kPlaceholderGifSize - gif.size());
        gif.insert(gif.end() - 1, comment.begin(), comment.end());
    }
    return gif;
}

}  // namespace

const std::vector<uint8_t>& placeholderGif() {
    static const std::vector<uint8_t> gif = makePlaceholderGif();
    return gif;
}

}  // namespace qp
