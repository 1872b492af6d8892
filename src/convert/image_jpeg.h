// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// JPEG decoding, encoding and lossless cleaning on libjpeg-turbo.
#include <cstdint>
#include <span>
#include <vector>

#include "convert/image_picture.h"

namespace qp {

// Decodes a JPEG into one RGBA frame. A file with damaged or missing data is refused (Corrupt).
ImageFault decodeJpeg(std::span<const uint8_t> file, DecodedImage& image);

// Encodes a picture as a baseline JPEG with optimised Huffman tables at the given quality (1-100).
// Transparent pixels are laid on white; an all-grey picture is written with one component.
ImageFault encodeJpeg(const Picture& picture, int quality, std::vector<uint8_t>& out);

// Rewrites a JPEG without touching its coefficients: every APPn and comment marker is dropped and the
// entropy coding is redone with optimised Huffman tables (progressive and arithmetic files become baseline).
ImageFault cleanJpeg(std::span<const uint8_t> file, std::vector<uint8_t>& out);

}  // namespace qp
