// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Colour statistics of a picture, used to choose the output format.
#include <cstddef>

#include "convert/image_picture.h"

namespace qp {

// Number of distinct colours, counting every pixel whose alpha is below 128 as one transparent colour.
// Counting stops at limit + 1, so a result above limit only says "more than limit".
size_t countColours(const Picture& picture, size_t limit);

// True when every pixel has equal red, green and blue.
bool isGreyscale(const Picture& picture);

// True when some pixel is not fully opaque.
bool hasTransparency(const Picture& picture);

}  // namespace qp
