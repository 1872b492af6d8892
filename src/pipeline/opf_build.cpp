// SPDX-License-Identifier: GPL-3.0-or-later
#include "pipeline/opf_build.h"

#include <array>
#include <set>

#include "container/exth.h"
#include "core/ascii_text.h"
#include "core/message_sink.h"
#include "package/language_codes.h"
#include "package/opf_package.h"
#include "pipeline/book_builder.h"
#include "pipeline/child_books.h"
#include "pipeline/source_builds.h"

namespace qp {

namespace {

struct SingleMetadata {
    std::string_view name;
    uint32_t type;
};

// Metadata read once each, in the order they are added.
constexpr std::array kSingleMetadata{
    SingleMetadata{"dc:Publisher", exth::kPublisher},
    SingleMetadata{"Imprint", exth::kImprint},
    SingleMetadata{"dc:Contributor", exth::kContributor},
    SingleMetadata{"dc:Rights", exth::kRights},
    SingleMetadata{"dc:Type", exth::kType},
    SingleMetadata{"dc:Source", exth::kSource},
    SingleMetadata{"DictionaryVeryShortName", exth::kShortDictionaryLabel},
    SingleMetadata{"dc:Description", exth::kDescription},
    SingleMetadata{"Review", exth::kReview},
    SingleMetadata{"Adult", exth::kAdult},
};

// Guide reference types that name a cover image, the preferred first.
constexpr std::array<std::string_view, 7> kCoverTypes{
    "other.ms-coverimage-standard",
    "other.ms-coverimage",
    "other.ms-thumbimage-standard",
    "other.ms-thumbimage",
    "other.ms-titleimage-standard",
    "other.ms-titleimage",
    "cover",
};

bool readLanguage(const OpfPackage& package, BookBuilder& builder) {
    BookMetadata& metadata = builder.metadata();
    const auto language = package.metadata("dc:Language");
    if (!language || language->empty()) {
        builder.report(ErrorCode::LanguageMissing);
        return false;
    }
    const auto locale = localeOfLanguage(*language);
    if (!locale) {
        builder.report(ErrorCode::LanguageUnknown);
        return false;
    }
    metadata.locale = *locale;
    if (auto input = package.metadata("DictionaryInLanguage"))
        metadata.inputLanguage = localeOfLanguage(*input).value_or(0);
    if (auto output = package.metadata("DictionaryOutLanguage")) {
        metadata.outputLanguage = localeOfLanguage(*output).value_or(0);
    }
    return true;
}

// The cover: the EmbeddedCover path, replaced by the manifest item that meta name="cover" names.
void readCover(const OpfPackage& package, BookMetadata& metadata) {
    if (auto embedded = package.metadata("EmbeddedCover"); embedded && !embedded->empty()) {
        metadata.coverPath = package.resolve(*embedded);
    }
    for (size_t i = 0; i < package.metadataCount("meta"); ++i) {
        const auto name = package.metadataAttribute("meta", "name", i);
        if (!name || !equalsCaseBlind(*name, "cover")) continue;
        const auto content = package.metadataAttribute("meta", "content", i);
        if (const ManifestItem* item = content ? package.item(*content) : nullptr) metadata.coverPath = item->path;
        break;
    }
}

bool readMetadata(const OpfPackage& package, BookBuilder& builder) {
    BookMetadata& metadata = builder.metadata();
    if (auto title = package.metadata("dc:Title")) {
        metadata.title = *title;
        builder.announceMetadata(exthLabel(exth::kTitle), *title);
    }
    if (auto name = package.metadata("DatabaseName"); name && !name->empty()) metadata.databaseName = *name;
    if (!readLanguage(package, builder)) return false;

    metadata.add(exth::kDate, package.metadata("dc:Date").value_or(""));
    metadata.add(exth::kIsbn, package.metadata("dc:Identifier", 0, "scheme", "ISBN").value_or(""));
    for (size_t i = 0; i < package.metadataCount("dc:Creator"); ++i) {
        metadata.addCreators(package.metadata("dc:Creator", i).value_or(""));
    }
    for (size_t i = 0; i < package.metadataCount("dc:Subject"); ++i) {
        metadata.add(exth::kSubject, package.metadata("dc:Subject", i).value_or(""));
        metadata.add(exth::kBasicCode, package.metadataAttribute("dc:Subject", "BASICCode", i).value_or(""));
    }
    for (const SingleMetadata& single : kSingleMetadata) {
        metadata.add(single.type, package.metadata(single.name).value_or(""));
    }
    metadata.defaultLookupIndex = package.metadata("DefaultLookupIndex").value_or("");
    metadata.defaultLookupKey = package.metadata("DefaultLookupKey").value_or("");
    metadata.add(exth::kRetailPrice, package.metadata("SRP").value_or(""));
    metadata.add(exth::kRetailCurrency, package.metadataAttribute("SRP", "Currency").value_or(""));
    readCover(package, metadata);
    return true;
}

// The cover from the guide when the metadata named none, and the start reading location. Returns the
// references that go into the guide block of the text head.
std::vector<GuideReference> readGuide(const OpfPackage& package, BookBuilder& builder) {
    BookMetadata& metadata = builder.metadata();
    const std::vector<GuideReference> references = package.guide();
    for (std::string_view coverType : kCoverTypes) {
        if (!metadata.coverPath.empty()) break;
        for (const GuideReference& reference : references) {
            if (equalsCaseBlind(reference.type, coverType) && !reference.href.empty()) {
                metadata.coverPath = package.resolve(reference.href);
                break;
            }
        }
    }
    std::vector<GuideReference> listed;
    for (const GuideReference& reference : references) {
        if (equalsCaseBlind(reference.type, "start") && !metadata.startReading) {
            metadata.startReading = StartLocation{package.path(), reference.href};
        }
        if (reference.title.empty()) {
            builder.report(WarningCode::GuideTitleEmpty);
        } else {
            listed.push_back(reference);
        }
    }
    return listed;
}

// The table of contents comes from the NCX file, else from an ePub 3 navigation document (the item marked
// "nav"). An item marked "cover-image" names the cover when neither the metadata nor the guide did.
void readNavigationAndCoverItems(const OpfPackage& package, BookMetadata& metadata) {
    for (const ManifestItem& item : package.manifestItems()) {
        if (item.kind == ItemKind::TableOfContents && metadata.ncxPath.empty()) metadata.ncxPath = item.path;
    }
    for (const ManifestItem& item : package.manifestItems()) {
        if (metadata.ncxPath.empty() && hasProperty(item, "nav")) {
            metadata.ncxPath = item.path;
            metadata.navigationDocument = true;
        }
        if (metadata.coverPath.empty() && hasProperty(item, "cover-image")) metadata.coverPath = item.path;
    }
}

// The head of the book text with its guide block. The text is UTF-8 when asked for, by the option or by the
// package's output encoding.
bool writeHead(const OpfPackage& package, const OutputRequests& requests, BookBuilder& builder,
               const std::vector<GuideReference>& guide) {
    const bool utf8 = builder.options().forceUnicode || requests.encoding != kCodePageWestern;
    return builder.startText(utf8 ? kCodePageUtf8 : kCodePageWestern, "<html><head><guide>") &&
           builder.writeGuide(guide, package.path()) && builder.writeText("</guide></head>");
}

bool convertSpine(BookBuilder& builder, const std::vector<ManifestItem>& spine) {
    int files = 0;
    for (const ManifestItem& item : spine) {
        if (!isChildDocument(item) && (item.kind == ItemKind::Content || item.kind == ItemKind::Image)) ++files;
    }
    builder.report(InfoCode::ParsingFiles, files);
    builder.beginParsing(static_cast<uint64_t>(files));
    // A file that fails is reported and skipped, so that one run names every failing file; the build then
    // ends without a book. Only a text that can no longer be written stops the loop.
    // Spine items that name the same file (with different fragments) convert it once, at its first place.
    std::set<std::string> converted;
    for (const ManifestItem& item : spine) {
        if (builder.textFailed()) return false;
        if (isChildDocument(item)) continue;
        switch (item.kind) {
            case ItemKind::Content:
                if (!converted.insert(item.path).second) {
                    builder.report(InfoCode::FileAlreadyInBook, item.path);
                    break;
                }
                builder.report(InfoCode::ParsingFile, item.path);
                builder.convertContentFile(item.path);
                break;
            case ItemKind::Image: {
                builder.report(InfoCode::ParsingFile, item.path);
                const std::string page =
                    "<html><body><p align=\"center\"><img src=\"" + item.path + "\"></p></body></html>";
                builder.convertContent(String::fromUtf8(page), item.path);
                break;
            }
            case ItemKind::TableOfContents:
                builder.metadata().ncxPath = item.path;
                builder.metadata().navigationDocument = false;
                break;
            case ItemKind::Media: builder.registerMedia(item.path, item.mediaType); break;
            case ItemKind::ScriptPage:
            case ItemKind::PalmDatabase: break;
        }
    }
    return !builder.failed();
}

}  // namespace

BuildResult buildOpfBook(const BuildPaths& paths, const BuildOptions& options) {
    OpfPackage package;
    package.messages = options.messages;
    if (!package.open(String::fromUtf8(paths.source)) || !package.check()) return BuildResult::Failed;
    for (const ManifestItem& item : package.manifestItems()) {
        if (outputReplacesSource(item.path, paths.output)) return BuildResult::Failed;
    }
    // No dependency builder exists on this platform: the package's products are taken as up to date.
    if (options.onlyDependencies) return BuildResult::Generated;

    BookBuilder builder(options);
    const OutputRequests requests = package.outputRequests();
    builder.absorbFaults(package);
    builder.metadata().bookType = requests.contentType;

    if (!readMetadata(package, builder)) return BuildResult::Failed;
    const std::vector<GuideReference> guide = readGuide(package, builder);
    readNavigationAndCoverItems(package, builder.metadata());
    const auto spine = package.spine();
    if (!spine) return BuildResult::Failed;
    if (!writeHead(package, requests, builder, guide) || !convertSpine(builder, *spine)) return builder.abandon();
    // The child books live until the book that carries their records has been written.
    ChildBooks children;
    if (!children.build(package.path(), package.manifestItems(), options, builder)) return builder.abandon();
    builder.metadata().childBooks = children.books();
    return builder.finish(paths.output);
}

}  // namespace qp
