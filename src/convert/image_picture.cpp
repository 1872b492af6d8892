// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/image_picture.h"

#include <new>

namespace qp {

ImageFault allocatePicture(Picture& picture, int width, int height) {
    if (width <= 0 || height <= 0) return ImageFault::Corrupt;
    uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (pixels > kMaxImagePixels) return ImageFault::TooLarge;
    try {
        picture.rgba.assign(pixels * 4, 0);
    } catch (const std::bad_alloc&) {
        return ImageFault::OutOfMemory;
    }
    picture.width = width;
    picture.height = height;
    return ImageFault::None;
}

}  // namespace qp
