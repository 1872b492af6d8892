// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The image and media records of a book: the run of records from the first image record up to the
// first record that is not media (the end-of-file record or an auxiliary record known by its magic).
// Each is numbered from 1 as the text's recindex values count them, told apart by its leading bytes,
// and measured from its own header bytes.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "byte_view.h"

namespace kova {

class Book;

enum class ImageKind { jpeg, gif, bmp, png, media };

struct ImageRecord {
    uint32_t number = 0;     // counted from 1, as recindex="00001" names the first image record
    size_t recordIndex = 0;  // position in the book's record list
    ImageKind kind = ImageKind::media;
    size_t size = 0;                 // stored length, padding included
    std::optional<uint32_t> width;   // read from the picture's header; absent for media and
    std::optional<uint32_t> height;  // for headers too short or damaged to tell
    bool cover = false;
    bool thumbnail = false;
};

// The kind of a record by its leading bytes.
ImageKind imageKindOf(ByteView bytes);

// "JPEG", "GIF", "BMP", "PNG" or "media".
std::string imageKindName(ImageKind kind);

// The file extension an extracted record gets: "jpg", "gif", "bmp", "png" or "bin".
std::string imageExtension(ImageKind kind);

struct ImageSize {
    uint32_t width = 0;
    uint32_t height = 0;
};

// The picture's dimensions from its header bytes, or nothing when they cannot be read.
std::optional<ImageSize> imageSizeOf(ByteView bytes, ImageKind kind);

// True when the record starts an auxiliary record (FLIS, FCIS, FDST, DATP, INDX, HUFF, CDIC) or is
// the end-of-file record, either of which ends the image records.
bool endsImageRecords(ByteView bytes);

// The image records of records[firstImageRecord …]; the cover and thumbnail offsets (counted from the
// first image record) mark their records.
std::vector<ImageRecord> readImageRecords(const std::vector<ByteView>& records, size_t firstImageRecord,
                                          std::optional<uint32_t> coverOffset, std::optional<uint32_t> thumbnailOffset);

// "image00001.jpg" and so on.
std::string imageFileName(const ImageRecord& image);

// Writes every image record of the book into the directory (created when missing) under its file name.
// Returns false with a message in error when a directory or file cannot be written.
bool extractImages(const Book& book, const std::filesystem::path& directory, std::string& error);

}  // namespace kova
