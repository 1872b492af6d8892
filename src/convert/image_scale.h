// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Resampling by area averaging: every target pixel is the mean of the source area it covers, weighted by
// the covered fraction of each source pixel, with colours weighted by their alpha.
#include "convert/image_picture.h"

namespace qp {

ImageFault scalePicture(const Picture& source, int width, int height, Picture& target);

}  // namespace qp
