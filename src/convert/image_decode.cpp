// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/image_decode.h"

#include <cstring>

#include "convert/image_bmp.h"
#include "convert/image_gif.h"
#include "convert/image_jpeg.h"
#include "convert/image_png.h"

namespace qp {

namespace {

bool startsWith(std::span<const uint8_t> file, const char* magic, size_t length) {
    return file.size() >= length && std::memcmp(file.data(), magic, length) == 0;
}

}  // namespace

ImageFormat sniffImageFormat(std::span<const uint8_t> file) {
    if (startsWith(file, "\xFF\xD8\xFF", 3)) return ImageFormat::Jpeg;
    if (startsWith(file, "\x89PNG\r\n\x1A\n", 8)) return ImageFormat::Png;
    if (startsWith(file, "GIF87a", 6) || startsWith(file, "GIF89a", 6)) return ImageFormat::Gif;
    if (startsWith(file, "BM", 2)) return ImageFormat::Bmp;
    return ImageFormat::Unknown;
}

ImageFault decodeImage(std::span<const uint8_t> file, DecodedImage& image) {
    if (file.empty()) return ImageFault::Empty;
    switch (sniffImageFormat(file)) {
        case ImageFormat::Jpeg: return decodeJpeg(file, image);
        case ImageFormat::Png: return decodePng(file, image);
        case ImageFormat::Gif: return decodeGif(file, image);
        case ImageFormat::Bmp: return decodeBmp(file, image);
        case ImageFormat::Unknown: break;
    }
    return ImageFault::UnknownFormat;
}

}  // namespace qp
