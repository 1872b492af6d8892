// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/image_bmp.h"

#include <array>
#include <bit>
#include <new>
#include <vector>

namespace qp {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

uint32_t le16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }

struct BitField {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit BitField(uint32_t m = 0) : mask(m) {
        if (mask == 0) return;
        shift = std::countr_zero(mask);
        bits = std::popcount(mask >> shift);
    }
    // The field scaled to 0-255 (fields wider than 8 bits keep their top 8).
    uint8_t value(uint32_t pixel) const {
        if (mask == 0) return 0;
        uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8) return static_cast<uint8_t>(v >> (bits - 8));
        uint32_t max = (1u << bits) - 1;
        return static_cast<uint8_t>((v * 255 + max / 2) / max);
    }
};

struct BmpHeader {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;
    uint32_t compression = kRgb;
    uint32_t dataOffset = 0;
    std::array<BitField, 4> fields;  // red, green, blue, alpha
    std::vector<std::array<uint8_t, 3>> palette;
};

bool readHeader(std::span<const uint8_t> file, BmpHeader& header) {
    if (file.size() < kFileHeaderSize + 4 || file[0] != 'B' || file[1] != 'M') return false;
    header.dataOffset = le32(&file[10]);
    const uint32_t infoSize = le32(&file[14]);
    if (infoSize < kCoreHeaderSize || file.size() - kFileHeaderSize < infoSize) return false;
    const uint8_t* info = &file[kFileHeaderSize];
    size_t paletteEntrySize = 4;
    uint32_t coloursUsed = 0;
    if (infoSize == kCoreHeaderSize) {
        header.width = static_cast<int>(le16(info + 4));
        header.height = static_cast<int>(le16(info + 6));
        header.bitsPerPixel = static_cast<int>(le16(info + 10));
        paletteEntrySize = 3;
    } else {
        if (infoSize < kInfoHeaderSize) return false;
        header.width = static_cast<int32_t>(le32(info + 4));
        auto height = static_cast<int32_t>(le32(info + 8));
        if (height == INT32_MIN) return false;
        header.topDown = height < 0;
        header.height = height < 0 ? -height : height;
        header.bitsPerPixel = static_cast<int>(le16(info + 14));
        header.compression = le32(info + 16);
        coloursUsed = le32(info + 32);
    }
    size_t paletteOffset = kFileHeaderSize + infoSize;
    if (header.compression == kBitFields || header.compression == kAlphaBitFields) {
        // Masks sit inside the larger headers, or right after the 40-byte one.
        size_t maskCount = header.compression == kAlphaBitFields || infoSize >= 56 ? 4 : 3;
        const uint8_t* masks = info + kInfoHeaderSize;
        if (infoSize == kInfoHeaderSize) {
            if (file.size() < paletteOffset + maskCount * 4) return false;
            paletteOffset += maskCount * 4;
        } else if (infoSize < kInfoHeaderSize + maskCount * 4) {
            return false;
        }
        for (size_t i = 0; i < maskCount; ++i) header.fields[i] = BitField(le32(masks + i * 4));
    } else if (header.bitsPerPixel == 16) {
        header.fields = {BitField(0x7C00), BitField(0x03E0), BitField(0x001F), BitField(0)};
    } else if (header.bitsPerPixel == 32) {
        header.fields = {BitField(0xFF0000), BitField(0xFF00), BitField(0xFF), BitField(0)};
    }
    if (header.width <= 0 || header.height <= 0) return false;
    if (header.bitsPerPixel <= 8) {
        if (header.bitsPerPixel != 1 && header.bitsPerPixel != 4 && header.bitsPerPixel != 8) return false;
        size_t count = coloursUsed == 0 || coloursUsed > 256 ? size_t{1} << header.bitsPerPixel : coloursUsed;
        if (file.size() < paletteOffset || (file.size() - paletteOffset) / paletteEntrySize < count) return false;
        for (size_t i = 0; i < count; ++i) {
            const uint8_t* entry = &file[paletteOffset + i * paletteEntrySize];
            header.palette.push_back({entry[2], entry[1], entry[0]});
        }
    } else if (header.bitsPerPixel != 16 && header.bitsPerPixel != 24 && header.bitsPerPixel != 32) {
        return false;
    }
    bool rle = header.compression == kRle8 || header.compression == kRle4;
    if (rle && header.bitsPerPixel != (header.compression == kRle8 ? 8 : 4)) return false;
    bool masked = header.compression == kBitFields || header.compression == kAlphaBitFields;
    if (masked && header.bitsPerPixel != 16 && header.bitsPerPixel != 32) return false;
    if (!rle && !masked && header.compression != kRgb) return false;
    return header.dataOffset <= file.size();
}

// Run-length data into one palette index per pixel (rows bottom-up, as stored). Skipped pixels keep index 0.
bool expandRunLength(std::span<const uint8_t> data, const BmpHeader& header, std::vector<uint8_t>& indices) {
    const bool four = header.compression == kRle4;
    const size_t width = static_cast<size_t>(header.width);
    const size_t height = static_cast<size_t>(header.height);
    size_t x = 0;
    size_t y = 0;
    size_t i = 0;
    auto put = [&](uint8_t index) {
        if (x < width && y < height) indices[y * width + x] = index;
        ++x;
    };
    while (i + 1 < data.size()) {
        uint8_t count = data[i];
        uint8_t value = data[i + 1];
        i += 2;
        if (count > 0) {
            for (unsigned k = 0; k < count; ++k) put(four ? (k % 2 == 0 ? value >> 4 : value & 0x0F) : value);
            continue;
        }
        if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            if (i + 1 >= data.size()) return false;
            x += data[i];
            y += data[i + 1];
            i += 2;
        } else {
            size_t bytes = four ? (value + 1) / 2 : value;
            if (data.size() - i < bytes) return false;
            for (unsigned k = 0; k < value; ++k) {
                uint8_t byte = data[i + (four ? k / 2 : k)];
                put(four ? (k % 2 == 0 ? byte >> 4 : byte & 0x0F) : byte);
            }
            i += bytes + (bytes % 2);
        }
        if (y >= height) return true;
    }
    return false;  // cut off before the end-of-bitmap code
}

void setPaletteColour(uint8_t* pixel, const BmpHeader& header, unsigned index) {
    if (index < header.palette.size()) {
        pixel[0] = header.palette[index][0];
        pixel[1] = header.palette[index][1];
        pixel[2] = header.palette[index][2];
    }
    pixel[3] = 255;
}

size_t rowStride(const BmpHeader& header) {
    return ((static_cast<size_t>(header.width) * header.bitsPerPixel + 31) / 32) * 4;
}

void readUncompressed(std::span<const uint8_t> data, const BmpHeader& header, Picture& picture) {
    const size_t stride = rowStride(header);
    const bool hasAlpha = header.fields[3].mask != 0;
    for (int row = 0; row < header.height; ++row) {
        const uint8_t* line = data.data() + static_cast<size_t>(row) * stride;
        int y = header.topDown ? row : header.height - 1 - row;
        for (int x = 0; x < header.width; ++x) {
            uint8_t* pixel = picture.pixel(x, y);
            switch (header.bitsPerPixel) {
                case 1: setPaletteColour(pixel, header, (line[x / 8] >> (7 - x % 8)) & 1); break;
                case 4: setPaletteColour(pixel, header, (line[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F); break;
                case 8: setPaletteColour(pixel, header, line[x]); break;
                case 24:
                    pixel[0] = line[x * 3 + 2];
                    pixel[1] = line[x * 3 + 1];
                    pixel[2] = line[x * 3];
                    pixel[3] = 255;
                    break;
                default: {
                    uint32_t value = header.bitsPerPixel == 16 ? le16(line + x * 2) : le32(line + x * 4);
                    for (int c = 0; c < 3; ++c) pixel[c] = header.fields[static_cast<size_t>(c)].value(value);
                    pixel[3] = hasAlpha ? header.fields[3].value(value) : 255;
                }
            }
        }
    }
}

}  // namespace

ImageFault decodeBmp(std::span<const uint8_t> file, DecodedImage& image) {
    BmpHeader header;
    try {
        if (!readHeader(file, header)) return ImageFault::Corrupt;
        image.format = ImageFormat::Bmp;
        image.bitsPerPixel = header.bitsPerPixel;
        image.frames.clear();
        image.frames.emplace_back();
        Picture& picture = image.frames.back().picture;
        std::span<const uint8_t> data = file.subspan(header.dataOffset);
        const bool rle = header.compression == kRle8 || header.compression == kRle4;
        if (!rle && data.size() / rowStride(header) < static_cast<size_t>(header.height)) return ImageFault::Corrupt;
        if (ImageFault fault = allocatePicture(picture, header.width, header.height); fault != ImageFault::None) {
            return fault;
        }
        if (!rle) {
            readUncompressed(data, header, picture);
            return ImageFault::None;
        }
        std::vector<uint8_t> indices(static_cast<size_t>(header.width) * header.height, 0);
        if (!expandRunLength(data, header, indices)) return ImageFault::Corrupt;
        for (int row = 0; row < header.height; ++row) {
            int y = header.topDown ? row : header.height - 1 - row;
            for (int x = 0; x < header.width; ++x) {
                setPaletteColour(picture.pixel(x, y), header, indices[static_cast<size_t>(row) * header.width + x]);
            }
        }
        return ImageFault::None;
    } catch (const std::bad_alloc&) {
        image.frames.clear();
        return ImageFault::OutOfMemory;
    }
}

}  // namespace qp
