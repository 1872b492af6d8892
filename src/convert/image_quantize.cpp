// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/image_quantize.h"

#include <memory>
#include <new>
#include <unordered_map>

#include <libimagequant.h>

namespace qp {

namespace {

constexpr size_t kMaxColours = 256;
constexpr uint32_t kTransparentKey = 0xFFFFFFFFu;

uint32_t colourKey(const uint8_t* p) {
    return p[3] < 128 ? kTransparentKey : (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
}

// Exact palette; false when the picture has more than 256 colours.
bool exactPalette(const Picture& picture, IndexedPicture& out) {
    std::unordered_map<uint32_t, uint8_t> entries;
    entries.reserve(kMaxColours + 1);
    const size_t pixels = static_cast<size_t>(picture.width) * picture.height;
    for (size_t i = 0; i < pixels; ++i) {
        const uint8_t* p = &picture.rgba[i * 4];
        uint32_t key = colourKey(p);
        auto found = entries.find(key);
        if (found == entries.end()) {
            if (entries.size() == kMaxColours) return false;
            auto index = static_cast<uint8_t>(entries.size());
            found = entries.emplace(key, index).first;
            if (key == kTransparentKey) {
                out.transparentIndex = index;
                out.palette.push_back({0, 0, 0});
            } else {
                out.palette.push_back({p[0], p[1], p[2]});
            }
        }
        out.indices[i] = found->second;
    }
    return true;
}

struct LiqAttrDeleter {
    void operator()(liq_attr* attr) const { liq_attr_destroy(attr); }
};
struct LiqImageDeleter {
    void operator()(liq_image* image) const { liq_image_destroy(image); }
};
struct LiqResultDeleter {
    void operator()(liq_result* result) const { liq_result_destroy(result); }
};

ImageFault quantizedPalette(const Picture& picture, IndexedPicture& out) {
    std::unique_ptr<liq_attr, LiqAttrDeleter> attr(liq_attr_create());
    if (!attr) return ImageFault::OutOfMemory;
    liq_set_max_colors(attr.get(), static_cast<int>(kMaxColours));
    std::unique_ptr<liq_image, LiqImageDeleter> image(
        liq_image_create_rgba(attr.get(), picture.rgba.data(), picture.width, picture.height, 0));
    if (!image) return ImageFault::EncodeFailed;
    liq_result* raw = nullptr;
    if (liq_image_quantize(image.get(), attr.get(), &raw) != LIQ_OK) return ImageFault::EncodeFailed;
    std::unique_ptr<liq_result, LiqResultDeleter> result(raw);
    liq_set_dithering_level(result.get(), 1.0f);
    if (liq_write_remapped_image(result.get(), image.get(), out.indices.data(), out.indices.size()) != LIQ_OK) {
        return ImageFault::EncodeFailed;
    }
    const liq_palette* palette = liq_get_palette(result.get());
    std::vector<int> remap(palette->count);
    for (unsigned i = 0; i < palette->count; ++i) {
        const liq_color& c = palette->entries[i];
        if (c.a < 128) {
            if (out.transparentIndex < 0) {
                out.transparentIndex = static_cast<int>(out.palette.size());
                out.palette.push_back({0, 0, 0});
            }
            remap[i] = out.transparentIndex;
        } else {
            remap[i] = static_cast<int>(out.palette.size());
            out.palette.push_back({c.r, c.g, c.b});
        }
    }
    for (uint8_t& index : out.indices) index = static_cast<uint8_t>(remap[index]);
    return ImageFault::None;
}

}  // namespace

ImageFault quantizePicture(const Picture& picture, IndexedPicture& out) {
    if (picture.empty()) return ImageFault::EncodeFailed;
    out = IndexedPicture{};
    out.width = picture.width;
    out.height = picture.height;
    try {
        out.indices.resize(static_cast<size_t>(picture.width) * picture.height);
        if (exactPalette(picture, out)) return ImageFault::None;
        out.palette.clear();
        out.transparentIndex = -1;
        return quantizedPalette(picture, out);
    } catch (const std::bad_alloc&) {
        return ImageFault::OutOfMemory;
    }
}

}  // namespace qp
