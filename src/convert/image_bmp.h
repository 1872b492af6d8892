// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small decoder for Windows bitmaps: 1, 4 and 8 bits with a palette (uncompressed, RLE4, RLE8), and
// 16, 24 and 32 bits (uncompressed or with bit-field masks).
#include <cstdint>
#include <span>

#include "convert/image_picture.h"

namespace qp {

ImageFault decodeBmp(std::span<const uint8_t> file, DecodedImage& image);

}  // namespace qp
