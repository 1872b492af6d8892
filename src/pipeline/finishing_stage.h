#pragma once
// The finishing stage that both builds end in: closes the text, resolves links and the start reading
// location, adds the cover and the media, compresses the text and writes the book.
#include <cstdint>

#include "pipeline/book_builder.h"
#include "container/record_zero.h"
#include "core/string.h"

namespace qp {

struct FinishingOptions {
    Compression compression = Compression::PalmDoc;
    bool minimize = true;
    bool allowJpeg = true;
};

// Returns 0 (book written), 1 (written with warnings) or 2 (no book). Nothing is written on failure.
int finishBook(BookBuilder& builder, const String& outputPath, const FinishingOptions& options);

// Ends a build that failed before the finishing stage: info 29, result 2.
int abandonBuild(BookBuilder& builder);

// The compression a build option code stands for.
Compression compressionOfCode(int32_t code);

}  // namespace qp
