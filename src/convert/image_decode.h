// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Recognises an image file by its first bytes and decodes it with the matching codec.
#include <cstdint>
#include <span>

#include "convert/image_picture.h"

namespace qp {

ImageFormat sniffImageFormat(std::span<const uint8_t> file);

// Empty for a zero-byte file, UnknownFormat for anything but JPEG, PNG, GIF and BMP.
ImageFault decodeImage(std::span<const uint8_t> file, DecodedImage& image);

}  // namespace qp
