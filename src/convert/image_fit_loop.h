// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The search for encoding parameters that bring an encoded picture under a byte limit.
#include <cstdint>
#include <functional>
#include <vector>

#include "convert/image_picture.h"

namespace qp {

constexpr int kStartQuality = 80;
constexpr int kLowestQuality = 40;

struct FitParameters {
    double quality = kStartQuality;  // JPEG quality
    double scale = 1.0;              // factor on both sides of the picture
};

using FitEncoder = std::function<ImageFault(const FitParameters&, std::vector<uint8_t>&)>;

// Encodes with falling quality (down to 40), then falling scale, until the result fits the limit, each
// step aiming at 0.9 of the limit. A result below 0.8 of the limit once both were lowered is an
// undershoot and is not taken; after two undershoots the next result that fits is taken, and one that
// does not fit sends the search back to the best undershoot. With scaleOnly the quality stays as given.
ImageFault runFittingLoop(double limit, FitParameters start, bool scaleOnly, const FitEncoder& encode,
                          std::vector<uint8_t>& result, FitParameters& used);

}  // namespace qp
