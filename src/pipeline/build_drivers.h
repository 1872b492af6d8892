#pragma once
// The builds the command line chooses from by the extension of the source file. Each build returns
// 0 (book generated), 1 (book generated with warnings) or 2 (no book, because of errors).
#include <string>

#include "pipeline/build_options.h"
#include "core/string.h"

namespace qp {

constexpr int kBuildSucceeded = 0;
constexpr int kBuildWithWarnings = 1;
constexpr int kBuildFailed = 2;

// A single HTML file. The dependency options do not apply to it.
int buildHtmlBook(const String& outputPath, const String& sourcePath, const BuildOptions& options);
// An OPF package.
int buildOpfBook(const String& sourcePath, const String& outputPath, const BuildOptions& options);
// An ePub archive: unpacked, then built as its root package.
int buildEpubBook(const String& sourcePath, const String& outputPath, const BuildOptions& options);
// A style sheet: parsed and written back as "dump.css" beside it. True when the parse succeeded.
bool runStyleSheetCheck(const String& sourcePath);

// True (with an error line naming the file) when the book would be written over a file the build reads.
bool outputReplacesSource(const std::string& sourceFile, const std::string& outputPath);

}  // namespace qp
