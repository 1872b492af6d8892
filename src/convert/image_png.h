// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// PNG decoding on libpng, with bounds on the declared size and on chunk memory.
#include <cstdint>
#include <span>

#include "convert/image_picture.h"

namespace qp {

// Decodes a PNG into one RGBA frame (16-bit samples reduced to 8, palettes and grey expanded).
ImageFault decodePng(std::span<const uint8_t> file, DecodedImage& image);

}  // namespace qp
