// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/image_fit_loop.h"

#include <algorithm>
#include <cmath>

namespace qp {

namespace {

// The loop settles in a few rounds; the bound only guards against pictures that cannot shrink further.
constexpr int kMaxFittingRounds = 40;

}  // namespace

ImageFault runFittingLoop(double limit, FitParameters start, bool scaleOnly, const FitEncoder& encode,
                          std::vector<uint8_t>& result, FitParameters& used) {
    FitParameters parameters = start;
    int undershoots = 0;
    double bestUndershoot = 0;
    FitParameters best = parameters;
    for (int round = 0; round < kMaxFittingRounds; ++round) {
        std::vector<uint8_t> bytes;
        if (ImageFault fault = encode(parameters, bytes); fault != ImageFault::None) return fault;
        const auto size = static_cast<double>(bytes.size());
        const bool fits = size <= limit;
        const bool undershoot = size < 0.8 * limit;
        const bool accept = fits && !(undershoot && parameters.scale < 1.0 && parameters.quality < kStartQuality);
        if (accept || (undershoots >= 2 && fits)) {
            result = std::move(bytes);
            used = parameters;
            return ImageFault::None;
        }
        if (undershoots >= 2) {
            if (!scaleOnly && parameters.quality > kLowestQuality) {
                parameters.quality = best.quality;
            } else {
                parameters.scale = best.scale;
            }
            continue;
        }
        const FitParameters previous = parameters;
        const double ratio = 0.9 * limit / std::max(size, 1.0);
        if (!scaleOnly && parameters.quality > kLowestQuality) {
            parameters.quality = std::clamp(parameters.quality * ratio, double{kLowestQuality}, double{kStartQuality});
        } else {
            parameters.scale = std::min(1.0, parameters.scale * std::sqrt(ratio));
        }
        if (undershoot) {
            ++undershoots;
            if (size > bestUndershoot) {
                best = previous;
                bestUndershoot = size;
            }
        }
    }
    return ImageFault::DoesNotFit;
}

}  // namespace qp
