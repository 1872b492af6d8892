// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/media_table.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <optional>
#include <system_error>

#include "convert/image_fit.h"
#include "convert/placeholder_gif.h"
#include "core/ascii_text.h"
#include "core/message_sink.h"
#include "core/path_text.h"

namespace qp {

namespace {

// A message naming a file.
using FileMessage = Message<MessageText>;

namespace fs = std::filesystem;

std::string extensionOf(const std::string& path) {
    std::string ext = fs::path(path).extension().string();
    return ext.empty() ? ext : ext.substr(1);
}

// The file's size, or nothing when it is no longer a regular file.
std::optional<uintmax_t> regularFileSize(const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error) || error) return std::nullopt;
    const uintmax_t size = fs::file_size(path, error);
    if (error) return std::nullopt;
    return size;
}

bool readWhole(const std::string& path, std::vector<uint8_t>& bytes) {
    const std::optional<uintmax_t> size = regularFileSize(path);
    if (!size || *size == 0 || *size > MediaTable::kMaxFileBytes) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    try {
        bytes.resize(static_cast<size_t>(*size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<size_t>(in.gcount()) == bytes.size();
}

std::string thumbnailName(const std::string& path, const MediaSelectors& selectors, FittedKind kind) {
    fs::path file(path);
    return file.stem().string() + "_thumb" + std::to_string(selectors.boxWidth) + "x" +
           std::to_string(selectors.boxHeight) + (kind == FittedKind::Jpeg ? ".jpg" : ".gif");
}

uint8_t typeOfFitted(FittedKind kind) {
    switch (kind) {
        case FittedKind::Gif: return media_type::kGif;
        case FittedKind::Bmp: return media_type::kBmp;
        case FittedKind::Jpeg: break;
    }
    return media_type::kJpeg;
}

}  // namespace

size_t MediaTable::KeyHash::operator()(const Key& key) const {
    size_t hash = std::hash<std::string>()(key.path);
    for (int32_t value : {key.selectors.boxWidth, key.selectors.boxHeight, key.selectors.format}) {
        hash = hash * 1'000'003u ^ std::hash<int32_t>()(value);
    }
    return hash;
}

uint8_t MediaTable::typeOf(std::string_view typeHint) {
    std::string hint = lowerAscii(typeHint);
    if (!hint.empty() && hint.front() == '.') hint.erase(0, 1);
    if (hint.starts_with("image/")) return media_type::kImage;
    if (hint == "gif" || hint == "jpg" || hint == "jpeg" || hint == "bmp" || hint == "png") return media_type::kImage;
    if (hint == "audio/wma" || hint == "wma") return media_type::kWma;
    if (hint == "audio/mpeg") return media_type::kMpeg;
    if (hint == "audio/midi" || hint == "mid") return media_type::kMidi;
    if (hint == "audio/x-ogg" || hint == "ogg") return media_type::kOgg;
    return media_type::kOther;
}

void MediaTable::reportFile(Message<MessageText> message, const std::string& path) { report(*this, message, path); }

int32_t MediaTable::recordOf(std::string_view path, MediaSelectors selectors) const {
    auto found = index_.find(Key{absoluteNormalPath(path), selectors});
    return found == index_.end() ? -1 : static_cast<int32_t>(entries_[found->second].firstRecord);
}

uint64_t MediaTable::bookBytesOf(const MediaEntry& entry) const {
    if (entry.placeholder) return placeholderGif().size();
    if (entry.type != media_type::kImage) return entry.fileBytes;
    return std::min<uint64_t>({entry.fileBytes, imageModeLimit(imageMode_), PdbDatabase::kMaxRecordLength});
}

int32_t MediaTable::addEntry(MediaEntry entry) {
    if (entries_.size() > kMaxEntries - 1) {
        report(*this, ErrorCode::TooManyImages);
        return -1;
    }
    // Checked here, before anything is read, so that a book too large for its file format fails at once.
    const uint64_t bytes = bookBytesOf(entry);
    if (uint64_t{recordCount_} + entry.recordCount > kMaxRecords || bookBytes_ + bytes > PdbDatabase::kMaxFileSize) {
        reportFile(ErrorCode::BookTooLarge, entry.path);
        return -1;
    }
    try {
        entry.firstRecord = recordCount_;
        entry.allowJpeg = allowJpeg_;
        index_.emplace(Key{entry.path, entry.selectors}, entries_.size());
        entries_.push_back(std::move(entry));
    } catch (const std::bad_alloc&) {
        report(*this, ErrorCode::NotEnoughMemory);
        return -1;
    }
    recordCount_ += entries_.back().recordCount;
    bookBytes_ += bytes;
    return static_cast<int32_t>(entries_.back().firstRecord);
}

int32_t MediaTable::registerFile(std::string_view path, std::string_view typeHint, MediaSelectors selectors) {
    std::string absolute = absoluteNormalPath(path);
    auto found = index_.find(Key{absolute, selectors});
    if (found != index_.end()) return static_cast<int32_t>(entries_[found->second].firstRecord);

    const uint8_t type = typeOf(typeHint.empty() ? std::string_view(extensionOf(absolute)) : typeHint);
    const bool image = type == media_type::kImage;
    if (path.empty()) {
        report(*this, image ? Message<>(WarningCode::ImageNotSpecified) : Message<>(WarningCode::MediaNotFound));
        return -1;
    }
    std::error_code error;
    const bool regular = fs::is_regular_file(absolute, error);
    const uintmax_t size = regular ? fs::file_size(absolute, error) : 0;
    if (!regular || error) {
        reportFile(image ? FileMessage(WarningCode::ImageNotFound) : FileMessage(WarningCode::MediaNotFound), absolute);
        return -1;
    }
    if (size == 0 || (image && size > kMaxFileBytes)) {
        reportFile(image ? FileMessage(WarningCode::ImageInvalid) : FileMessage(WarningCode::MediaNotFound), absolute);
        return -1;
    }
    MediaEntry entry;
    entry.path = absolute;
    entry.selectors = selectors;
    entry.type = type;
    entry.fileBytes = size;
    const uint64_t mediaRecords = (size - 1) / kMediaRecordSize + 1;
    entry.recordCount = image ? 1 : static_cast<uint32_t>(std::min<uint64_t>(mediaRecords, UINT32_MAX));
    entry.fileName = fs::path(absolute).filename().string();
    return addEntry(std::move(entry));
}

int32_t MediaTable::registerPlaceholder(std::string_view path) {
    std::string absolute = absoluteNormalPath(path);
    auto found = index_.find(Key{absolute, MediaSelectors{}});
    if (found != index_.end()) return static_cast<int32_t>(entries_[found->second].firstRecord);
    MediaEntry entry;
    entry.path = absolute;
    entry.type = media_type::kImage;
    entry.placeholder = true;
    entry.fileName = fs::path(absolute).filename().string();
    return addEntry(std::move(entry));
}

bool MediaTable::fileChanged(const MediaEntry& entry) {
    reportFile(ErrorCode::CannotOpenFile, entry.path);
    return false;
}

bool MediaTable::writeImage(MediaEntry& entry, RecordSink& sink) {
    FittedImage fitted;
    if (!entry.placeholder) {
        std::vector<uint8_t> file;
        if (!readWhole(entry.path, file)) return fileChanged(entry);
        if (entry.selectors.thumbnail()) {
            bool jpeg = entry.selectors.format == MediaSelectors::kThumbnailJpeg;
            fitted = makeThumbnail(file, entry.selectors.boxWidth, entry.selectors.boxHeight, jpeg,
                                   fitOptionsForMode(imageMode_, entry.allowJpeg));
        } else {
            fitted = fitImage(file, fitOptionsForMode(imageMode_, entry.allowJpeg));
        }
        if (fitted.ok() && fitted.bytes.size() > PdbDatabase::kMaxRecordLength) fitted.fault = ImageFault::Corrupt;
        if (!fitted.ok()) {
            reportFile(fitted.fault == ImageFault::UnknownFormat ? FileMessage(WarningCode::ImageFormatUnsupported)
                                                                 : FileMessage(WarningCode::ImageInvalid),
                       entry.path);
            entry.placeholder = true;
        }
    }
    if (entry.placeholder) {
        entry.type = media_type::kGif;
        const std::vector<uint8_t>& gif = placeholderGif();
        return sink.addRecord(gif.data(), gif.size());
    }
    entry.type = typeOfFitted(fitted.kind);
    entry.resized = fitted.resized;
    if (fitted.resized && !entry.selectors.thumbnail()) {
        // A note for verbose mode, not a fault of the source: it is not kept in the table's fault header.
        const std::string sizes = " (" + std::to_string(fitted.sourceWidth) + "x" +
                                  std::to_string(fitted.sourceHeight) + " to " + std::to_string(fitted.width) + "x" +
                                  std::to_string(fitted.height) + ")";
        if (messages) messages->raise(WarningCode::ImageResized, entry.path + sizes);
    }
    if (entry.selectors.thumbnail()) entry.fileName = thumbnailName(entry.path, entry.selectors, fitted.kind);
    return sink.addRecord(fitted.bytes.data(), fitted.bytes.size());
}

// The file is cut into exactly the records counted at registration.
bool MediaTable::writeMedia(const MediaEntry& entry, RecordSink& sink) {
    if (regularFileSize(entry.path) != entry.fileBytes) return fileChanged(entry);
    std::ifstream in(entry.path, std::ios::binary);
    if (!in) return fileChanged(entry);
    std::vector<uint8_t> chunk(kMediaRecordSize);
    for (uint64_t left = entry.fileBytes; left > 0;) {
        const auto count = static_cast<size_t>(std::min<uint64_t>(left, chunk.size()));
        in.read(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(count));
        if (static_cast<size_t>(in.gcount()) != count) return fileChanged(entry);
        if (!sink.addRecord(chunk.data(), count)) return false;
        left -= count;
    }
    return true;
}

bool MediaTable::writeRecords(RecordSink& sink) {
    for (MediaEntry& entry : entries_) {
        const bool image = entry.type == media_type::kImage || entry.type == media_type::kGif ||
                           entry.type == media_type::kJpeg || entry.type == media_type::kBmp;
        reportFile(image ? FileMessage(InfoCode::ConvertingImage) : FileMessage(InfoCode::ConvertingMedia), entry.path);
        bool written = image ? writeImage(entry, sink) : writeMedia(entry, sink);
        if (!written) return false;
    }
    return true;
}

}  // namespace qp
