// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reduction of a picture to at most 256 palette colours for GIF output.
#include <array>
#include <cstdint>
#include <vector>

#include "convert/image_picture.h"

namespace qp {

struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> indices;                 // one palette index per pixel
    std::vector<std::array<uint8_t, 3>> palette;  // 1 to 256 entries
    int transparentIndex = -1;                    // the entry that stands for alpha below 128, or -1
};

// A picture of at most 256 colours keeps its colours exactly; a richer one gets a dithered palette from
// libimagequant. Pixels with alpha below 128 all map to the transparent entry.
ImageFault quantizePicture(const Picture& picture, IndexedPicture& out);

}  // namespace qp
