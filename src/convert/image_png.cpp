// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/image_png.h"

#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

#include <png.h>

#include "core/big_endian.h"

namespace qp {

namespace {

constexpr png_uint_32 kMaxSide = 1'000'000;
constexpr png_alloc_size_t kMaxChunkBytes = 8 * 1024 * 1024;
constexpr png_uint_32 kMaxAncillaryChunks = 1000;

struct PngReader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::span<const uint8_t> file;
    size_t offset = 0;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitsPerPixel = 0;

    ~PngReader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

void readFromMemory(png_structp png, png_bytep target, size_t length) {
    auto* reader = static_cast<PngReader*>(png_get_io_ptr(png));
    if (reader->file.size() - reader->offset < length) png_error(png, "truncated");
    std::memcpy(target, reader->file.data() + reader->offset, length);
    reader->offset += length;
}

// libpng prints its messages by default; the caller gets a status instead.
[[noreturn]] void jumpOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void ignoreWarning(png_structp, png_const_charp) {}

// The declared size, read straight from the IHDR chunk that must follow the signature, so that a huge
// picture is refused before libpng starts on it.
bool declaresTooManyPixels(std::span<const uint8_t> file) {
    if (file.size() < 24 || std::memcmp(&file[12], "IHDR", 4) != 0) return false;
    return uint64_t{getBigEndian32(&file[16])} * getBigEndian32(&file[20]) > kMaxImagePixels;
}

// The two steps below run inside libpng's error jump; they create no objects with destructors.
bool readHeader(PngReader& reader) {
    if (setjmp(png_jmpbuf(reader.png))) return false;
    png_set_user_limits(reader.png, kMaxSide, kMaxSide);
    png_set_chunk_malloc_max(reader.png, kMaxChunkBytes);
    png_set_chunk_cache_max(reader.png, kMaxAncillaryChunks);
    png_set_read_fn(reader.png, &reader, readFromMemory);
    png_read_info(reader.png, reader.info);
    int bitDepth = 0;
    int colourType = 0;
    png_get_IHDR(reader.png, reader.info, &reader.width, &reader.height, &bitDepth, &colourType, nullptr, nullptr,
                 nullptr);
    reader.bitsPerPixel = bitDepth * png_get_channels(reader.png, reader.info);
    png_set_expand(reader.png);
    png_set_strip_16(reader.png);
    png_set_gray_to_rgb(reader.png);
    png_set_add_alpha(reader.png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(reader.png);
    png_read_update_info(reader.png, reader.info);
    return png_get_rowbytes(reader.png, reader.info) == static_cast<size_t>(reader.width) * 4;
}

bool readPixels(PngReader& reader, png_bytepp rows) {
    if (setjmp(png_jmpbuf(reader.png))) return false;
    png_read_image(reader.png, rows);
    return true;
}

}  // namespace

ImageFault decodePng(std::span<const uint8_t> file, DecodedImage& image) {
    if (declaresTooManyPixels(file)) return ImageFault::TooLarge;
    PngReader reader;
    reader.file = file;
    reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, jumpOnError, ignoreWarning);
    if (!reader.png) return ImageFault::OutOfMemory;
    reader.info = png_create_info_struct(reader.png);
    if (!reader.info) return ImageFault::OutOfMemory;
    if (!readHeader(reader)) return ImageFault::Corrupt;
    image.format = ImageFormat::Png;
    image.bitsPerPixel = reader.bitsPerPixel;
    image.frames.clear();
    std::vector<png_bytep> rows;
    try {
        image.frames.emplace_back();
        Picture& picture = image.frames.back().picture;
        ImageFault fault = allocatePicture(picture, static_cast<int>(reader.width), static_cast<int>(reader.height));
        if (fault != ImageFault::None) return fault;
        rows.resize(reader.height);
        for (png_uint_32 y = 0; y < reader.height; ++y) rows[y] = picture.pixel(0, static_cast<int>(y));
    } catch (const std::bad_alloc&) {
        return ImageFault::OutOfMemory;
    }
    return readPixels(reader, rows.data()) ? ImageFault::None : ImageFault::Corrupt;
}

}  // namespace qp
