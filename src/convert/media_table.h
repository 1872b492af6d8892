// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The table of the images and media files a book uses: one entry per distinct file (and thumbnail
// request), each with its record number, and the writing of their records once the text is done.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "container/pdb_database.h"
#include "convert/image_fit.h"
#include "core/fault.h"

namespace qp {

// Media type bytes of the entries.
namespace media_type {
constexpr uint8_t kOther = 0x21;
constexpr uint8_t kImage = 0x22;
constexpr uint8_t kGif = 0x25;
constexpr uint8_t kJpeg = 0x26;
constexpr uint8_t kBmp = 0x27;
constexpr uint8_t kWma = 0x28;
constexpr uint8_t kMpeg = 0x29;
constexpr uint8_t kMidi = 0x2A;
constexpr uint8_t kOgg = 0x2B;
}  // namespace media_type

// The three caller values that tell entries of one file apart; for a thumbnail the box and the format.
struct MediaSelectors {
    int32_t boxWidth = 0;
    int32_t boxHeight = 0;
    int32_t format = 0;  // for thumbnails: kThumbnailJpeg or kThumbnailGif

    static constexpr int32_t kThumbnailJpeg = 0;
    static constexpr int32_t kThumbnailGif = 1;

    bool operator==(const MediaSelectors&) const = default;
    bool thumbnail() const { return boxWidth > 0 || boxHeight > 0; }
};

struct MediaEntry {
    std::string path;  // absolute, UTF-8, "/" separators
    MediaSelectors selectors;
    uint32_t firstRecord = 0;
    uint8_t type = media_type::kOther;
    uint32_t recordCount = 1;
    uint64_t fileBytes = 0;  // the file's size when it was registered
    bool placeholder = false;
    bool allowJpeg = true;
    bool resized = false;  // the picture was made smaller to fit
    std::string fileName;  // the stored name; a made thumbnail gets "_thumb<width>x<height>"
};

// Where finished records go (the book writer's media store).
class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual bool addRecord(const uint8_t* data, size_t size) = 0;
};

class MediaTable : public FaultHeader {
public:
    static constexpr size_t kMaxEntries = 99'999;
    static constexpr uint32_t kMediaRecordSize = 64'512;
    static constexpr uint64_t kMaxFileBytes = 256ull * 1024 * 1024;
    // Record 0, a text record and the end record leave the rest of a book's records to the media.
    static constexpr uint32_t kMaxRecords = PdbDatabase::kMaxRecords - 3;

    // JPEG output for the entries registered from now on (false: images become GIF).
    void setAllowJpeg(bool allow) { allowJpeg_ = allow; }
    // The byte limit images are fitted to.
    void setImageMode(ImageMode imageMode) { imageMode_ = imageMode; }

    // The first record number of a file, registering it when new; -1 when the file is missing, a directory,
    // empty or an image past the size cap (warning naming it), when the table is full (`TooManyImages`) or when
    // the media would no longer fit into a book file (`BookTooLarge`). The type hint is a MIME type or an
    // extension; empty means the path's extension.
    int32_t registerFile(std::string_view path, std::string_view typeHint = {}, MediaSelectors selectors = {});
    // An image entry that is written as the built-in picture; the file need not exist.
    int32_t registerPlaceholder(std::string_view path);
    // The record number of a registered file, or -1.
    int32_t recordOf(std::string_view path, MediaSelectors selectors = {}) const;

    size_t entryCount() const { return entries_.size(); }
    const MediaEntry& entry(size_t index) const { return entries_[index]; }
    uint32_t recordCount() const { return recordCount_; }

    // Writes every entry's records in table order. Images are fitted to the image mode's limit; one that
    // cannot be used is reported (`ImageInvalid`) and the built-in picture takes its record, so later record
    // numbers stay right. A file that was removed or changed since it was registered ends the writing with
    // `CannotOpenFile` naming it, since its records can no longer be the ones the text refers to. False then, and
    // when the sink refuses a record.
    bool writeRecords(RecordSink& sink);

    // The media type byte of a MIME type or extension.
    static uint8_t typeOf(std::string_view typeHint);

private:
    struct Key {
        std::string path;
        MediaSelectors selectors;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key& key) const;
    };

    int32_t addEntry(MediaEntry entry);
    // The most bytes an entry's records can take in the book.
    uint64_t bookBytesOf(const MediaEntry& entry) const;
    void reportFile(Message<MessageText> message, const std::string& path);
    // `CannotOpenFile` naming a file that was removed or changed after it was registered; always false.
    bool fileChanged(const MediaEntry& entry);
    bool writeImage(MediaEntry& entry, RecordSink& sink);
    bool writeMedia(const MediaEntry& entry, RecordSink& sink);

    std::vector<MediaEntry> entries_;
    std::unordered_map<Key, size_t, KeyHash> index_;
    uint32_t recordCount_ = 0;
    uint64_t bookBytes_ = 0;
    bool allowJpeg_ = true;
    ImageMode imageMode_ = ImageMode::Normal;
};

}  // namespace qp
