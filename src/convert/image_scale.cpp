// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/image_scale.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace qp {

namespace {

// The source pixels that one target pixel covers and how much of each.
struct Coverage {
    int first = 0;
    std::vector<float> weights;
};

std::vector<Coverage> coverages(int sourceSize, int targetSize) {
    std::vector<Coverage> result(static_cast<size_t>(targetSize));
    const double ratio = static_cast<double>(sourceSize) / targetSize;
    for (int t = 0; t < targetSize; ++t) {
        double start = t * ratio;
        double end = std::min((t + 1) * ratio, static_cast<double>(sourceSize));
        int first = static_cast<int>(std::floor(start));
        int last = std::min(static_cast<int>(std::ceil(end)) - 1, sourceSize - 1);
        Coverage& coverage = result[static_cast<size_t>(t)];
        coverage.first = first;
        for (int s = first; s <= last; ++s) {
            double overlap = std::min(end, s + 1.0) - std::max(start, static_cast<double>(s));
            coverage.weights.push_back(static_cast<float>(overlap / (end - start)));
        }
    }
    return result;
}

}  // namespace

ImageFault scalePicture(const Picture& source, int width, int height, Picture& target) {
    if (source.empty()) return ImageFault::Corrupt;
    try {
        if (ImageFault fault = allocatePicture(target, width, height); fault != ImageFault::None) return fault;
        const std::vector<Coverage> across = coverages(source.width, width);
        const std::vector<Coverage> down = coverages(source.height, height);
        // Horizontal pass into premultiplied floats, one row of the source at a time.
        std::vector<float> rows(static_cast<size_t>(source.height) * width * 4);
        for (int y = 0; y < source.height; ++y) {
            float* out = &rows[static_cast<size_t>(y) * width * 4];
            for (int x = 0; x < width; ++x, out += 4) {
                const Coverage& coverage = across[static_cast<size_t>(x)];
                float sum[4] = {0, 0, 0, 0};
                const uint8_t* p = source.pixel(coverage.first, y);
                for (float weight : coverage.weights) {
                    float alpha = p[3] * weight;
                    sum[0] += p[0] * alpha;
                    sum[1] += p[1] * alpha;
                    sum[2] += p[2] * alpha;
                    sum[3] += alpha;
                    p += 4;
                }
                std::copy(sum, sum + 4, out);
            }
        }
        // Vertical pass and back to straight 8-bit colour.
        std::vector<float> sum(static_cast<size_t>(width) * 4);
        for (int y = 0; y < height; ++y) {
            const Coverage& coverage = down[static_cast<size_t>(y)];
            std::fill(sum.begin(), sum.end(), 0.0f);
            for (size_t k = 0; k < coverage.weights.size(); ++k) {
                const float weight = coverage.weights[k];
                const float* in = &rows[(static_cast<size_t>(coverage.first) + k) * width * 4];
                for (size_t i = 0; i < sum.size(); ++i) sum[i] += in[i] * weight;
            }
            uint8_t* out = target.pixel(0, y);
            for (int x = 0; x < width; ++x, out += 4) {
                const float* s = &sum[static_cast<size_t>(x) * 4];
                float alpha = s[3];
                for (int c = 0; c < 3; ++c) {
                    float value = alpha > 0 ? s[c] / alpha : 0.0f;
                    out[c] = static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
                }
                out[3] = static_cast<uint8_t>(std::clamp(std::lround(alpha), 0L, 255L));
            }
        }
    } catch (const std::bad_alloc&) {
        return ImageFault::OutOfMemory;
    }
    return ImageFault::None;
}

}  // namespace qp
