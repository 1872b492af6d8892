// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test pictures made with the image libraries themselves (and BMP files laid out by hand), and decoders
// that check what the image layer produced. Nothing here uses the code under test.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <gif_lib.h>
#include <png.h>
#include <turbojpeg.h>

namespace imagetest {

using Bytes = std::vector<uint8_t>;

// RGBA pixels of a smooth scene with fine noise, which compresses like a photograph.
inline Bytes photoPixels(int width, int height, unsigned seed = 1, int noise = 24) {
    Bytes rgba(static_cast<size_t>(width) * height * 4);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> jitter(-noise, noise);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double u = static_cast<double>(x) / width;
            double v = static_cast<double>(y) / height;
            double base[3] = {128 + 100 * std::sin(6.0 * u + 2.0 * v), 128 + 90 * std::cos(5.0 * v - 3.0 * u),
                              128 + 80 * std::sin(9.0 * u * v + 1.0)};
            uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            for (int c = 0; c < 3; ++c) {
                p[c] = static_cast<uint8_t>(std::clamp(static_cast<int>(base[c]) + jitter(random), 0, 255));
            }
            p[3] = 255;
        }
    }
    return rgba;
}

// RGBA pixels drawn from a small set of colours at random (no smooth areas).
inline Bytes fewColourPixels(int width, int height, int colours, unsigned seed = 2) {
    Bytes rgba(static_cast<size_t>(width) * height * 4);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, colours - 1);
    for (size_t i = 0; i < rgba.size(); i += 4) {
        int k = pick(random);
        rgba[i] = static_cast<uint8_t>(k * 37);
        rgba[i + 1] = static_cast<uint8_t>(255 - k * 11);
        rgba[i + 2] = static_cast<uint8_t>(k * 97);
        rgba[i + 3] = 255;
    }
    return rgba;
}

// --- PNG (libpng writer) ---

struct PngLayout {
    int colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    int bitDepth = 8;
    bool interlaced = false;
};

// Rows of raw samples as libpng expects them for the colour type and depth; palette given separately.
inline Bytes pngFromRows(int width, int height, const Bytes& samples, const PngLayout& layout,
                         const std::vector<png_color>& palette = {}) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("png write failed");
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, size_t length) {
            auto* target = static_cast<Bytes*>(png_get_io_ptr(p));
            target->insert(target->end(), data, data + length);
        },
        nullptr);
    png_set_IHDR(png, info, width, height, layout.bitDepth, layout.colourType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_write_info(png, info);
    size_t rowBytes = png_get_rowbytes(png, info);
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) rows[y] = const_cast<png_bytep>(&samples[static_cast<size_t>(y) * rowBytes]);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

inline Bytes pngFromRgba(int width, int height, const Bytes& rgba) {
    return pngFromRows(width, height, rgba, PngLayout{});
}

// --- JPEG (TurboJPEG compressor) ---

inline Bytes jpegFromRgba(int width, int height, const Bytes& rgba, int quality, int subsampling = TJSAMP_420,
                          int flags = 0) {
    tjhandle handle = tjInitCompress();
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    int status =
        tjCompress2(handle, rgba.data(), width, 0, height, TJPF_RGBA, &buffer, &size, subsampling, quality, flags);
    Bytes out;
    if (status == 0) out.assign(buffer, buffer + size);
    tjFree(buffer);
    tjDestroy(handle);
    if (status != 0) throw std::runtime_error("jpeg write failed");
    return out;
}

// Inserts an APP1 segment of junk and a comment right after the start-of-image marker.
inline Bytes withMetadata(const Bytes& jpeg, size_t junkBytes) {
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    for (size_t done = 0; done < junkBytes;) {
        size_t chunk = std::min<size_t>(60000, junkBytes - done);
        size_t length = chunk + 2 + 6;
        out.insert(out.end(), {0xFF, 0xE1, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length & 0xFF)});
        out.insert(out.end(), {'E', 'x', 'i', 'f', 0, 0});
        for (size_t i = 0; i < chunk; ++i) out.push_back(static_cast<uint8_t>(i * 7));
        done += chunk;
    }
    const char comment[] = "made by a test";
    size_t length = sizeof(comment) - 1 + 2;
    out.insert(out.end(), {0xFF, 0xFE, 0, static_cast<uint8_t>(length)});
    out.insert(out.end(), comment, comment + sizeof(comment) - 1);
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

struct JpegInfo {
    bool ok = false;
    int width = 0;
    int height = 0;
    int colourspace = -1;
    Bytes rgb;
};

inline JpegInfo readJpeg(const Bytes& jpeg) {
    JpegInfo info;
    tjhandle handle = tjInitDecompress();
    int subsampling = 0;
    auto* data = const_cast<unsigned char*>(jpeg.data());
    if (tjDecompressHeader3(handle, data, jpeg.size(), &info.width, &info.height, &subsampling, &info.colourspace) ==
        0) {
        info.rgb.resize(static_cast<size_t>(info.width) * info.height * 3);
        info.ok = tjDecompress2(handle, data, jpeg.size(), info.rgb.data(), info.width, 0, info.height, TJPF_RGB,
                                TJFLAG_STOPONWARNING) == 0;
    }
    tjDestroy(handle);
    return info;
}

// True when the JPEG holds a marker of the given code before its first scan.
inline bool hasMarker(const Bytes& jpeg, uint8_t code) {
    size_t i = 2;
    while (i + 4 <= jpeg.size() && jpeg[i] == 0xFF) {
        if (jpeg[i + 1] == code) return true;
        if (jpeg[i + 1] == 0xDA) return false;
        i += 2 + ((jpeg[i + 2] << 8) | jpeg[i + 3]);
    }
    return false;
}

// --- GIF (giflib) ---

struct GifFrameLayout {
    std::vector<uint8_t> indices;  // whole-screen frame
    int delay = 10;
    int transparent = NO_TRANSPARENT_COLOR;
};

inline Bytes gifFromIndices(int width, int height, const std::vector<GifColorType>& palette,
                            const std::vector<GifFrameLayout>& frames, bool loop = true) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(
        &out,
        [](GifFileType* g, const GifByteType* data, int length) {
            auto* target = static_cast<Bytes*>(g->UserData);
            target->insert(target->end(), data, data + length);
            return length;
        },
        &error);
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(palette.size()), palette.data());
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, width, height, map->BitsPerPixel, 0, map);
    if (frames.size() > 1 && loop) {
        EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
        EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
        const GifByteType count[3] = {1, 0, 0};
        EGifPutExtensionBlock(gif, 3, count);
        EGifPutExtensionTrailer(gif);
    }
    for (const GifFrameLayout& frame : frames) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSE_BACKGROUND;
        gcb.DelayTime = frame.delay;
        gcb.TransparentColor = frame.transparent;
        GifByteType extension[4];
        size_t length = EGifGCBToExtension(&gcb, extension);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension);
        EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr);
        for (int y = 0; y < height; ++y) {
            EGifPutLine(gif, const_cast<GifPixelType*>(&frame.indices[static_cast<size_t>(y) * width]), width);
        }
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

// A palette of 256 distinct colours.
inline std::vector<GifColorType> rainbowPalette(int size = 256) {
    std::vector<GifColorType> palette(static_cast<size_t>(size));
    for (int i = 0; i < size; ++i) {
        palette[i] = {static_cast<GifByteType>(i), static_cast<GifByteType>((i * 53) & 0xFF),
                      static_cast<GifByteType>(255 - i)};
    }
    return palette;
}

// A single-frame GIF of random pixels; LZW barely compresses them, so the size follows the pixel count.
inline Bytes noisyGif(int width, int height, unsigned seed = 3) {
    std::mt19937 random(seed);
    GifFrameLayout frame;
    frame.indices.resize(static_cast<size_t>(width) * height);
    for (uint8_t& index : frame.indices) index = static_cast<uint8_t>(random());
    return gifFromIndices(width, height, rainbowPalette(), {frame});
}

struct GifInfo {
    bool ok = false;
    int width = 0;
    int height = 0;
    int frames = 0;
    bool loops = false;
};

inline GifInfo readGif(const Bytes& bytes) {
    struct Input {
        const Bytes* bytes;
        size_t offset;
    } input{&bytes, 0};
    GifInfo info;
    int error = 0;
    GifFileType* gif = DGifOpen(
        &input,
        [](GifFileType* g, GifByteType* target, int length) {
            auto* in = static_cast<Input*>(g->UserData);
            size_t count = std::min(static_cast<size_t>(length), in->bytes->size() - in->offset);
            std::memcpy(target, in->bytes->data() + in->offset, count);
            in->offset += count;
            return static_cast<int>(count);
        },
        &error);
    if (!gif) return info;
    if (DGifSlurp(gif) == GIF_OK) {
        info.ok = true;
        info.width = gif->SWidth;
        info.height = gif->SHeight;
        info.frames = gif->ImageCount;
        // Extensions before an image are kept with that image.
        auto findLoop = [&](const ExtensionBlock* blocks, int count) {
            for (int i = 0; i < count; ++i) {
                if (blocks[i].Function == APPLICATION_EXT_FUNC_CODE && blocks[i].ByteCount == 11 &&
                    std::memcmp(blocks[i].Bytes, "NETSCAPE2.0", 11) == 0) {
                    info.loops = true;
                }
            }
        };
        findLoop(gif->ExtensionBlocks, gif->ExtensionBlockCount);
        if (gif->ImageCount > 0) findLoop(gif->SavedImages[0].ExtensionBlocks, gif->SavedImages[0].ExtensionBlockCount);
    }
    DGifCloseFile(gif, &error);
    return info;
}

// --- BMP (laid out by hand) ---

inline void putLe(Bytes& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A BITMAPINFOHEADER file: the palette (BGR order given as RGB here) and the pixel data as stored.
inline Bytes bmpFile(int width, int height, int bitsPerPixel, uint32_t compression,
                     const std::vector<std::array<uint8_t, 3>>& palette, const Bytes& pixelData) {
    Bytes out = {'B', 'M'};
    uint32_t offset = 14 + 40 + static_cast<uint32_t>(palette.size()) * 4;
    putLe(out, offset + static_cast<uint32_t>(pixelData.size()), 4);
    putLe(out, 0, 4);
    putLe(out, offset, 4);
    putLe(out, 40, 4);
    putLe(out, static_cast<uint32_t>(width), 4);
    putLe(out, static_cast<uint32_t>(height), 4);
    putLe(out, 1, 2);
    putLe(out, static_cast<uint32_t>(bitsPerPixel), 2);
    putLe(out, compression, 4);
    putLe(out, static_cast<uint32_t>(pixelData.size()), 4);
    putLe(out, 2835, 4);
    putLe(out, 2835, 4);
    putLe(out, static_cast<uint32_t>(palette.size()), 4);
    putLe(out, 0, 4);
    for (const auto& colour : palette) out.insert(out.end(), {colour[2], colour[1], colour[0], 0});
    out.insert(out.end(), pixelData.begin(), pixelData.end());
    return out;
}

}  // namespace imagetest
