#include "pipeline/finishing_stage.h"

#include <filesystem>
#include <new>
#include <vector>

#include "pipeline/build_drivers.h"
#include "container/book_writer.h"
#include "core/big_endian.h"
#include "convert/image_decode.h"
#include "core/message_sink.h"
#include "package/opf_package.h"

namespace qp {

namespace {

namespace fs = std::filesystem;
constexpr uint32_t kExthStartReading = 116;
constexpr int kMinimumCoverSide = 500;
constexpr int32_t kThumbnailBox = 240;

// The writer's media store as the media table's record sink.
class WriterRecordSink : public RecordSink {
public:
    explicit WriterRecordSink(BookWriter& writer) : writer_(writer) {}
    bool addRecord(const uint8_t* data, size_t size) override {
        return writer_.addMediaRecord(std::span<const uint8_t>(data, size)) != 0;
    }

private:
    BookWriter& writer_;
};

void reportPath(BookBuilder& builder, MessageCode code, const std::string& path) {
    report(builder, code, sink().registerArgument(path));
}

void resolveStartReading(BookBuilder& builder) {
    if (!builder.startReading) return;
    report(builder, InfoCode::ResolvingStart);
    const auto position = builder.links.resolve(builder.startReading->baseFile, builder.startReading->href);
    if (!position || *position > UINT32_MAX) {
        report(builder, WarningCode::StartNotResolved);
        return;
    }
    std::vector<uint8_t> stored;
    appendBigEndian32(stored, static_cast<uint32_t>(*position));
    builder.metadata.push_back({kExthStartReading, {}, std::move(stored)});
    builder.announceMetadata(exthLabel(kExthStartReading), std::to_string(*position));
}

void handOverMetadata(BookBuilder& builder, BookWriter& writer) {
    writer.setTextEncoding(builder.textCodePage);
    writer.setFullName(String::fromUtf8(builder.title));
    if (builder.databaseName) writer.setDatabaseName(String::fromUtf8(*builder.databaseName));
    writer.setBookType(builder.contentType);
    writer.setLanguages(builder.locale, builder.inputLanguage, builder.outputLanguage);
    uint32_t flags = builder.flags;
    if (builder.textCodePage == kCodePageUtf8) flags |= book_flag::kUtf8Text;
    writer.setExthFlags(flags);
    for (const MetadataEntry& entry : builder.metadata) {
        if (entry.stored) {
            writer.addMetadataValue(entry.type, *entry.stored);
        } else {
            writer.addMetadata(entry.type, String::fromUtf8(entry.text));
        }
    }
}

struct CoverRecords {
    int32_t cover = -1;
    int32_t thumbnail = -1;
};

// Checks the cover and registers it twice: as itself and as a thumbnail within the box.
CoverRecords registerCover(BookBuilder& builder, bool allowJpeg) {
    CoverRecords records;
    const std::string& path = builder.coverPath;
    if (path.empty()) return records;
    std::error_code error;
    const bool regular = fs::is_regular_file(path, error);
    const uintmax_t size = regular ? fs::file_size(path, error) : 0;
    if (!regular || error || size == 0) {
        reportPath(builder, WarningCode::CoverNotFound, path);
        return records;
    }
    String file;
    file.quiet = true;
    DecodedImage image;
    if (!file.loadFile(String::fromUtf8(path)) ||
        decodeImage(std::span<const uint8_t>(file.data(), file.length()), image) != ImageFault::None ||
        image.frames.empty()) {
        reportPath(builder, WarningCode::CoverInvalid, path);
        return records;
    }
    if (image.first().width < kMinimumCoverSide || image.first().height < kMinimumCoverSide) {
        reportPath(builder, WarningCode::CoverTooSmall, path);
    }
    const MediaSelectors thumbnail{kThumbnailBox, kThumbnailBox,
                                   allowJpeg ? MediaSelectors::kThumbnailJpeg : MediaSelectors::kThumbnailGif};
    records.cover = builder.media.registerFile(path);
    if (records.cover >= 0) records.thumbnail = builder.media.registerFile(path, {}, thumbnail);
    builder.absorbFaults(builder.media);
    return records;
}

bool writeMedia(BookBuilder& builder, BookWriter& writer, const CoverRecords& cover) {
    WriterRecordSink recordSink(writer);
    const bool written = builder.media.writeRecords(recordSink);
    builder.absorbFaults(builder.media);
    builder.absorbFaults(writer);
    if (!written) return false;
    if (cover.cover >= 0 && cover.thumbnail >= 0) {
        writer.setCoverOffsets(static_cast<uint32_t>(cover.cover), static_cast<uint32_t>(cover.thumbnail), false);
    }
    return true;
}

bool readText(BookBuilder& builder, std::vector<uint8_t>& text) {
    try {
        if (builder.stream.readAll(text)) return true;
        builder.absorbFaults(builder.stream);
    } catch (const std::bad_alloc&) {
        report(builder, ErrorCode::NotEnoughContiguousMemory);
    }
    return false;
}

bool writeBook(BookBuilder& builder, BookWriter& writer, const std::vector<uint8_t>& text, bool minimize) {
    TrailingInputs inputs;
    for (uint64_t position : builder.nonCrossableBreaks()) {
        if (position <= UINT32_MAX) inputs.positions.push_back({static_cast<uint32_t>(position), false});
    }
    const bool assembled = writer.writeText(text, std::move(inputs)) && writer.assemble(minimize, text);
    builder.absorbFaults(writer);
    if (!assembled || builder.failed()) return false;
    const bool saved = writer.save();
    builder.absorbFaults(writer);
    if (!saved) return false;
    report(builder, InfoCode::Saving);
    return true;
}

}  // namespace

int abandonBuild(BookBuilder& builder) {
    report(builder, InfoCode::Failed);
    return kBuildFailed;
}

Compression compressionOfCode(int32_t code) {
    switch (code) {
        case 1: return Compression::None;
        case 17480: return Compression::Huffman;
        default: return Compression::PalmDoc;
    }
}

int finishBook(BookBuilder& builder, const String& outputPath, const FinishingOptions& options) {
    if (builder.stream.isOpen() && builder.stream.position() > 0 &&
        builder.contentType != content_type::kPlainText) {
        builder.stream.write("</body></html>");
        builder.absorbFaults(builder.stream);
    }
    if (builder.failed()) return abandonBuild(builder);

    builder.links.resolveLinks();
    resolveStartReading(builder);
    if (!builder.ncxPath.empty()) {
        reportPath(builder, InfoCode::BuildingToc, builder.ncxPath);
    }

    BookWriter writer(fs::path(outputPath.toUtf8()), options.compression);
    if (writer.failed()) {
        builder.absorbFaults(writer);
        return abandonBuild(builder);
    }
    handOverMetadata(builder, writer);
    builder.absorbFaults(writer);
    const CoverRecords cover = registerCover(builder, options.allowJpeg);
    if (!builder.links.writeLinks(builder.stream, builder.media)) builder.absorbFaults(builder.stream);
    if (builder.failed() || !writeMedia(builder, writer, cover)) return abandonBuild(builder);

    std::vector<uint8_t> text;
    if (!readText(builder, text) || !writeBook(builder, writer, text, options.minimize) || builder.failed()) {
        return abandonBuild(builder);
    }
    if (builder.warned()) {
        report(builder, InfoCode::SucceededWithWarnings);
        return kBuildWithWarnings;
    }
    report(builder, InfoCode::Succeeded);
    return kBuildSucceeded;
}

}  // namespace qp
