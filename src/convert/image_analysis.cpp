// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/image_analysis.h"

#include <new>
#include <unordered_set>

namespace qp {

namespace {

constexpr uint32_t kTransparentKey = 0xFFFFFFFFu;

}  // namespace

size_t countColours(const Picture& picture, size_t limit) {
    std::unordered_set<uint32_t> seen;
    try {
        seen.reserve(limit + 2);
        const uint8_t* p = picture.rgba.data();
        const uint8_t* end = p + picture.rgba.size();
        for (; p != end; p += 4) {
            uint32_t key = p[3] < 128 ? kTransparentKey : (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
            if (seen.insert(key).second && seen.size() > limit) break;
        }
    } catch (const std::bad_alloc&) {
        return limit + 1;
    }
    return seen.size();
}

bool isGreyscale(const Picture& picture) {
    const uint8_t* p = picture.rgba.data();
    const uint8_t* end = p + picture.rgba.size();
    for (; p != end; p += 4) {
        if (p[0] != p[1] || p[1] != p[2]) return false;
    }
    return true;
}

bool hasTransparency(const Picture& picture) {
    const uint8_t* p = picture.rgba.data();
    const uint8_t* end = p + picture.rgba.size();
    for (; p != end; p += 4) {
        if (p[3] != 255) return true;
    }
    return false;
}

}  // namespace qp
