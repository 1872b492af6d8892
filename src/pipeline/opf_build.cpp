#include "pipeline/opf_build.h"
#include "core/ascii_text.h"

#include <array>

#include "pipeline/book_builder.h"
#include "pipeline/build_drivers.h"
#include "pipeline/finishing_stage.h"
#include "package/language_codes.h"
#include "package/opf_package.h"
#include "core/message_sink.h"

namespace qp {

namespace {

struct SingleMetadata {
    std::string_view name;
    uint32_t type;
};

// Metadata read once each, in the order they are added.
constexpr std::array kSingleMetadata{
    SingleMetadata{"dc:Publisher", 101}, SingleMetadata{"Imprint", 102},
    SingleMetadata{"dc:Contributor", 108}, SingleMetadata{"dc:Rights", 109},
    SingleMetadata{"dc:Type", 111}, SingleMetadata{"dc:Source", 112},
    SingleMetadata{"DictionaryVeryShortName", 200}, SingleMetadata{"dc:Description", 103},
    SingleMetadata{"Review", 107}, SingleMetadata{"Adult", 117},
};

// Guide reference types that name a cover image, the preferred first.
constexpr std::array<std::string_view, 7> kCoverTypes{
    "other.ms-coverimage-standard", "other.ms-coverimage", "other.ms-thumbimage-standard", "other.ms-thumbimage",
    "other.ms-titleimage-standard", "other.ms-titleimage", "cover",
};

void addIfPresent(BookBuilder& builder, uint32_t type, const std::optional<std::string>& value) {
    if (value && !value->empty()) builder.addMetadata(type, *value);
}

bool readLanguage(OpfPackage& package, BookBuilder& builder) {
    const auto language = package.metadata("dc:Language");
    if (!language || language->empty()) {
        report(builder, ErrorCode::LanguageMissing);
        return false;
    }
    const auto locale = localeOfLanguage(*language);
    if (!locale) {
        report(builder, ErrorCode::LanguageUnknown);
        return false;
    }
    builder.locale = *locale;
    if (auto input = package.metadata("DictionaryInLanguage")) builder.inputLanguage = localeOfLanguage(*input).value_or(0);
    if (auto output = package.metadata("DictionaryOutLanguage")) {
        builder.outputLanguage = localeOfLanguage(*output).value_or(0);
    }
    return true;
}

// The cover: the EmbeddedCover path, replaced by the manifest item that meta name="cover" names.
void readCover(const OpfPackage& package, BookBuilder& builder) {
    if (auto embedded = package.metadata("EmbeddedCover"); embedded && !embedded->empty()) {
        builder.coverPath = package.resolve(*embedded);
    }
    for (size_t i = 0; i < package.metadataCount("meta"); ++i) {
        const auto name = package.metadataAttribute("meta", "name", i);
        if (!name || !equalsCaseBlind(*name, "cover")) continue;
        const auto content = package.metadataAttribute("meta", "content", i);
        if (const ManifestItem* item = content ? package.item(*content) : nullptr) builder.coverPath = item->path;
        break;
    }
}

bool readMetadata(OpfPackage& package, BookBuilder& builder) {
    if (auto title = package.metadata("dc:Title")) {
        builder.title = *title;
        builder.announceMetadata("dc:Title", *title);
    }
    if (auto name = package.metadata("DatabaseName"); name && !name->empty()) builder.databaseName = *name;
    if (!readLanguage(package, builder)) return false;

    addIfPresent(builder, 106, package.metadata("dc:Date"));
    addIfPresent(builder, 104, package.metadata("dc:Identifier", 0, "scheme", "ISBN"));
    for (size_t i = 0; i < package.metadataCount("dc:Creator"); ++i) {
        builder.addCreators(package.metadata("dc:Creator", i).value_or(""));
    }
    for (size_t i = 0; i < package.metadataCount("dc:Subject"); ++i) {
        addIfPresent(builder, 105, package.metadata("dc:Subject", i));
        addIfPresent(builder, 110, package.metadataAttribute("dc:Subject", "BASICCode", i));
    }
    for (const SingleMetadata& single : kSingleMetadata) {
        addIfPresent(builder, single.type, package.metadata(single.name));
    }
    addIfPresent(builder, 118, package.metadata("SRP"));
    addIfPresent(builder, 119, package.metadataAttribute("SRP", "Currency"));
    readCover(package, builder);
    return true;
}

// The cover from the guide when the metadata named none, and the start reading location. Returns the
// references that go into the guide block of the text head.
std::vector<GuideReference> readGuide(const OpfPackage& package, BookBuilder& builder) {
    const std::vector<GuideReference> references = package.guide();
    for (std::string_view coverType : kCoverTypes) {
        if (!builder.coverPath.empty()) break;
        for (const GuideReference& reference : references) {
            if (equalsCaseBlind(reference.type, coverType) && !reference.href.empty()) {
                builder.coverPath = package.resolve(reference.href);
                break;
            }
        }
    }
    std::vector<GuideReference> listed;
    for (const GuideReference& reference : references) {
        if (equalsCaseBlind(reference.type, "start") && !builder.startReading) {
            builder.startReading = StartLocation{package.path(), reference.href};
        }
        if (reference.title.empty()) {
            report(builder, WarningCode::GuideTitleEmpty);
        } else {
            listed.push_back(reference);
        }
    }
    return listed;
}

// The head of the book text with its guide block; each reference's href becomes a link placeholder.
bool writeHead(const OpfPackage& package, BookBuilder& builder, const std::vector<GuideReference>& guide) {
    if (!builder.startText("<html><head><guide>")) return false;
    for (const GuideReference& reference : guide) {
        std::string tag = "<reference title=\"" + builder.attributeText(reference.title) + "\" type=\"" +
                          builder.attributeText(reference.type) + "\"";
        if (!reference.onclick.empty()) tag += " onclick=\"" + builder.attributeText(reference.onclick) + "\"";
        builder.stream.write(tag);
        if (builder.links.rewriteHref(builder.stream, builder.media, package.path(), reference.href, false)) {
            builder.stream.write(" href=\"" + builder.attributeText(reference.href) + "\"");
        }
        builder.stream.write("/>");
    }
    builder.stream.write("</guide></head>");
    builder.absorbFaults(builder.stream);
    return !builder.failed();
}

bool convertSpine(BookBuilder& builder, const std::vector<ManifestItem>& spine) {
    int files = 0;
    for (const ManifestItem& item : spine) {
        if (item.kind == ItemKind::Content || item.kind == ItemKind::Image) ++files;
    }
    report(builder, InfoCode::ParsingFiles, files);
    for (const ManifestItem& item : spine) {
        switch (item.kind) {
            case ItemKind::Content:
                report(builder, InfoCode::ParsingFile, sink().registerArgument(item.path));
                if (!builder.convertContentFile(item.path)) return false;
                break;
            case ItemKind::Image: {
                report(builder, InfoCode::ParsingFile, sink().registerArgument(item.path));
                const std::string page = "<html><body><p align=\"center\"><img src=\"" + item.path +
                                         "\"></p></body></html>";
                if (!builder.convertContent(String::fromUtf8(page), item.path)) return false;
                break;
            }
            case ItemKind::TableOfContents:
                builder.ncxPath = item.path;
                break;
            case ItemKind::Media:
                builder.media.registerFile(item.path, item.mediaType);
                builder.absorbFaults(builder.media);
                break;
            case ItemKind::ScriptPage:
            case ItemKind::PalmDatabase:
                break;
        }
    }
    return !builder.failed();
}

}  // namespace

int runOpfBuild(const String& sourcePath, const String& outputPath, const BuildOptions& options) {
    BookBuilder builder;
    OpfPackage package;
    if (!package.open(sourcePath) || !package.check()) return kBuildFailed;
    for (const ManifestItem& item : package.manifestItems()) {
        if (outputReplacesSource(item.path, outputPath.toUtf8())) return kBuildFailed;
    }
    // No dependency builder exists on this platform: the package's products are taken as up to date.
    if (options.onlyDependencies) return kBuildSucceeded;

    const OutputRequests requests = package.outputRequests();
    builder.absorbFaults(package);
    builder.contentType = requests.contentType;
    builder.textCodePage =
        (options.forceUnicode || requests.encoding != kCodePageWestern) ? kCodePageUtf8 : kCodePageWestern;
    builder.media.setAllowJpeg(options.allowJpeg);
    builder.media.setImageMode(options.imageMode);
    if (options.allowAllScripts) builder.flags |= book_flag::kAllScriptsAuthorised;
    if (options.noCopyPaste) builder.flags |= book_flag::kCopyPasteForbidden;

    if (!readMetadata(package, builder)) return kBuildFailed;
    const std::vector<GuideReference> guide = readGuide(package, builder);
    for (const ManifestItem& item : package.manifestItems()) {
        if (item.kind == ItemKind::TableOfContents && builder.ncxPath.empty()) builder.ncxPath = item.path;
    }
    const auto spine = package.spine();
    if (!spine) return kBuildFailed;
    if (!writeHead(package, builder, guide) || !convertSpine(builder, *spine)) {
        return abandonBuild(builder);
    }
    return finishBook(builder, outputPath,
                      {compressionOfCode(options.compression), options.minimize, options.allowJpeg});
}

}  // namespace qp
