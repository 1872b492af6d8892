// SPDX-License-Identifier: GPL-3.0-or-later
#include "image_records.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <sstream>

#include "kova_book.h"

namespace kova {

namespace {

constexpr uint8_t pngSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr uint8_t endOfFileMarker[] = {0xE9, 0x8E, 0x0D, 0x0A};
constexpr const char* auxiliaryMagics[] = {"FLIS", "FCIS", "FDST", "DATP", "INDX", "HUFF", "CDIC"};

bool startsWith(ByteView bytes, const void* prefix, size_t length) {
    return bytes.fits(0, length) && std::memcmp(bytes.data(), prefix, length) == 0;
}

uint32_t le16(ByteView bytes, size_t offset) { return bytes.u8(offset) | uint32_t{bytes.u8(offset + 1)} << 8; }

uint32_t le32(ByteView bytes, size_t offset) { return le16(bytes, offset) | le16(bytes, offset + 2) << 16; }

// Start-of-frame markers carry the dimensions; C4 (Huffman tables), C8 (reserved) and CC (arithmetic
// conditioning) share the range without being frames.
bool isStartOfFrame(uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Walks the marker segments before the first scan until a start-of-frame segment: its length, the
// sample precision, then height and width.
std::optional<ImageSize> jpegSize(ByteView bytes) {
    size_t at = 2;
    while (at < bytes.size()) {
        if (bytes.u8(at) != 0xFF) return std::nullopt;
        while (at < bytes.size() && bytes.u8(at) == 0xFF) ++at;  // fill bytes
        if (at >= bytes.size()) return std::nullopt;
        const uint8_t marker = bytes.u8(at++);
        if ((marker >= 0xD0 && marker <= 0xD8) || marker == 0x01) continue;  // markers without a segment
        if (marker == 0xD9 || marker == 0xDA) return std::nullopt;           // image end or scan: no frame
        const uint32_t length = bytes.u16(at);
        if (length < 2 || !bytes.fits(at, length)) return std::nullopt;
        if (isStartOfFrame(marker)) {
            if (length < 7) return std::nullopt;
            return ImageSize{bytes.u16(at + 5), bytes.u16(at + 3)};
        }
        at += length;
    }
    return std::nullopt;
}

// The logical screen follows the six signature bytes: width and height, little-endian.
std::optional<ImageSize> gifSize(ByteView bytes) {
    if (!bytes.fits(0, 10)) return std::nullopt;
    return ImageSize{le16(bytes, 6), le16(bytes, 8)};
}

// After the 14-byte file header comes the information header, whose size tells its layout: the old
// 12-byte core header has 16-bit sides, the later ones signed 32-bit sides (a negative height means
// the rows run top-down).
std::optional<ImageSize> bmpSize(ByteView bytes) {
    if (!bytes.fits(0, 18)) return std::nullopt;
    const uint32_t headerSize = le32(bytes, 14);
    if (headerSize == 12) {
        if (!bytes.fits(0, 22)) return std::nullopt;
        return ImageSize{le16(bytes, 18), le16(bytes, 20)};
    }
    if (headerSize < 16 || !bytes.fits(0, 26)) return std::nullopt;
    const auto width = static_cast<int32_t>(le32(bytes, 18));
    const auto height = static_cast<int32_t>(le32(bytes, 22));
    if (width < 0 || height == INT32_MIN) return std::nullopt;
    return ImageSize{static_cast<uint32_t>(width), static_cast<uint32_t>(height < 0 ? -height : height)};
}

// The first chunk after the signature must be IHDR: length, "IHDR", width, height (big-endian).
std::optional<ImageSize> pngSize(ByteView bytes) {
    if (!bytes.fits(0, 24) || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) return std::nullopt;
    return ImageSize{bytes.u32(16), bytes.u32(20)};
}

}  // namespace

ImageKind imageKindOf(ByteView bytes) {
    if (startsWith(bytes, "\xFF\xD8", 2)) return ImageKind::jpeg;
    if (startsWith(bytes, "GIF8", 4)) return ImageKind::gif;
    if (startsWith(bytes, "BM", 2)) return ImageKind::bmp;
    if (startsWith(bytes, pngSignature, sizeof pngSignature)) return ImageKind::png;
    return ImageKind::media;
}

std::string imageKindName(ImageKind kind) {
    switch (kind) {
        case ImageKind::jpeg: return "JPEG";
        case ImageKind::gif: return "GIF";
        case ImageKind::bmp: return "BMP";
        case ImageKind::png: return "PNG";
        case ImageKind::media: break;
    }
    return "media";
}

std::string imageExtension(ImageKind kind) {
    switch (kind) {
        case ImageKind::jpeg: return "jpg";
        case ImageKind::gif: return "gif";
        case ImageKind::bmp: return "bmp";
        case ImageKind::png: return "png";
        case ImageKind::media: break;
    }
    return "bin";
}

std::optional<ImageSize> imageSizeOf(ByteView bytes, ImageKind kind) {
    switch (kind) {
        case ImageKind::jpeg: return jpegSize(bytes);
        case ImageKind::gif: return gifSize(bytes);
        case ImageKind::bmp: return bmpSize(bytes);
        case ImageKind::png: return pngSize(bytes);
        case ImageKind::media: break;
    }
    return std::nullopt;
}

bool endsImageRecords(ByteView bytes) {
    if (bytes.size() == sizeof endOfFileMarker && startsWith(bytes, endOfFileMarker, sizeof endOfFileMarker))
        return true;
    return std::any_of(std::begin(auxiliaryMagics), std::end(auxiliaryMagics),
                       [&](const char* magic) { return startsWith(bytes, magic, 4); });
}

std::vector<ImageRecord> readImageRecords(const std::vector<ByteView>& records, size_t firstImageRecord,
                                          std::optional<uint32_t> coverOffset,
                                          std::optional<uint32_t> thumbnailOffset) {
    std::vector<ImageRecord> images;
    if (firstImageRecord == 0) return images;  // record 0 holds the headers, never a picture
    for (size_t index = firstImageRecord; index < records.size() && !endsImageRecords(records[index]); ++index) {
        ImageRecord image;
        const size_t offset = index - firstImageRecord;
        image.number = static_cast<uint32_t>(offset + 1);
        image.recordIndex = index;
        image.kind = imageKindOf(records[index]);
        image.size = records[index].size();
        if (auto size = imageSizeOf(records[index], image.kind)) {
            image.width = size->width;
            image.height = size->height;
        }
        image.cover = coverOffset == offset;
        image.thumbnail = thumbnailOffset == offset;
        images.push_back(image);
    }
    return images;
}

std::string imageFileName(const ImageRecord& image) {
    std::ostringstream name;
    name << "image" << std::setw(5) << std::setfill('0') << image.number << '.' << imageExtension(image.kind);
    return name.str();
}

bool extractImages(const Book& book, const std::filesystem::path& directory, std::string& error) {
    std::error_code code;
    std::filesystem::create_directories(directory, code);
    if (code || !std::filesystem::is_directory(directory)) {
        error = "cannot create directory " + directory.string() + (code ? ": " + code.message() : "");
        return false;
    }
    for (const ImageRecord& image : book.imageRecords()) {
        const std::filesystem::path path = directory / imageFileName(image);
        const ByteView bytes = book.record(image.recordIndex);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            error = "cannot write " + path.string();
            return false;
        }
    }
    return true;
}

}  // namespace kova
