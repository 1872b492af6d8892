// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Child documents: manifest items marked "merge-into" or "merge-into-key". Each is compiled as a book of its
// own, with the options of the book that names it, into a private temporary directory; the writer then
// copies the records of every child book, in manifest order, behind the records of the book itself. A child
// is a package (.opf, which may name children of its own) or a single page (.html).
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "package/epub_unpack_directory.h"
#include "package/opf_package.h"
#include "pipeline/build_options.h"

namespace qp {

class BookBuilder;

class ChildBooks {
public:
    // Builds the child items among the items of the package at `packagePath`. False after an error, which is
    // reported (the book then fails).
    bool build(const std::string& packagePath, const std::vector<ManifestItem>& items, const BuildOptions& options,
               BookBuilder& builder);
    // The built child books, in manifest order. They live as long as this object.
    const std::vector<std::string>& books() const { return books_; }

private:
    bool buildOne(const ManifestItem& item, const BuildOptions& options, BookBuilder& builder);

    std::unique_ptr<UnpackDirectory> directory_;
    std::vector<std::string> books_;
};

// True for an item that is a child document, not a page of the book's text.
inline bool isChildDocument(const ManifestItem& item) { return !item.mergeKey.empty(); }

}  // namespace qp
