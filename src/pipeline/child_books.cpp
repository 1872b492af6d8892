// SPDX-License-Identifier: GPL-3.0-or-later
#include "pipeline/child_books.h"

#include <set>
#include <system_error>

#include "core/ascii_text.h"
#include "core/message_sink.h"
#include "pipeline/book_builder.h"
#include "pipeline/html_build.h"
#include "pipeline/opf_build.h"
#include "pipeline/source_builds.h"

namespace qp {

namespace {

namespace fs = std::filesystem;

// The packages being built, outermost first: a package that names itself, directly or through its
// children, as a child would never end.
std::vector<std::string>& packagesInProgress() {
    static std::vector<std::string> packages;
    return packages;
}

class PackageInProgress {
public:
    explicit PackageInProgress(std::string path) { packagesInProgress().push_back(std::move(path)); }
    ~PackageInProgress() { packagesInProgress().pop_back(); }
    PackageInProgress(const PackageInProgress&) = delete;
    PackageInProgress& operator=(const PackageInProgress&) = delete;
};

bool isPackage(const ManifestItem& item) {
    return equalsCaseBlind(item.mediaType, "application/oebps-package+xml") ||
           sourceKindOf(item.path) == SourceKind::Opf;
}

}  // namespace

bool ChildBooks::build(const std::string& packagePath, const std::vector<ManifestItem>& items,
                       const BuildOptions& options, BookBuilder& builder) {
    std::error_code error;
    const PackageInProgress inProgress(fs::weakly_canonical(packagePath, error).string());
    std::set<std::string> keys;
    for (const ManifestItem& item : items) {
        if (!isChildDocument(item)) continue;
        if (!keys.insert(item.mergeKey).second) {
            builder.report(ErrorCode::DuplicateChildId);
            builder.report(ErrorCode::ChildMergeFailed, item.path);
            return false;
        }
        if (!buildOne(item, options, builder)) return false;
    }
    return true;
}

bool ChildBooks::buildOne(const ManifestItem& item, const BuildOptions& options, BookBuilder& builder) {
    const auto fail = [&](const char* reason) {
        builder.report(ErrorCode::ChildMergeFailed, item.path);
        if (reason) printReason(reason);
        return false;
    };
    const auto failBecause = [&](Message<> cause) {
        builder.report(cause);
        return fail(nullptr);
    };
    std::error_code error;
    if (!fs::is_regular_file(item.path, error)) return failBecause(ErrorCode::ChildNotOpened);
    const bool package = isPackage(item);
    if (!package && item.kind != ItemKind::Content) {
        return fail("a child document is a package (.opf) or a page (.html)");
    }
    const std::string source = fs::weakly_canonical(item.path, error).string();
    for (const std::string& building : packagesInProgress()) {
        if (building == source) return fail("the child is a book it is part of");
    }
    if (!directory_) directory_ = std::make_unique<UnpackDirectory>("quillpress-children-");
    if (!directory_->created()) return failBecause(ErrorCode::ChildDirectoryNotCreated);

    builder.report(InfoCode::BuildingChild, item.path);
    const std::string output = (directory_->path() / ("child" + std::to_string(books_.size()) + ".kova")).string();
    const BuildPaths paths{item.path, output};
    const BuildResult result = package ? buildOpfBook(paths, options) : buildHtmlBook(paths, options);
    if (result == BuildResult::Failed) return fail(nullptr);
    books_.push_back(output);
    return true;
}

}  // namespace qp
