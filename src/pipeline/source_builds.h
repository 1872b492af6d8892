// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The builds a source file goes to, chosen by the extension of its name.
#include <string>
#include <string_view>

#include "pipeline/build_options.h"

namespace qp {

enum class SourceKind { Html, Opf, Epub, StyleSheet, Unknown };

// By the extension of the file name, case-blind on A-Z.
SourceKind sourceKindOf(std::string_view fileName);

// Builds the book from a source of that kind; a style sheet is checked and written back as "dump.css".
BuildResult buildSource(SourceKind kind, const BuildPaths& paths, const BuildOptions& options);

// True (with an error line naming the file) when the book would be written over a file the build reads.
bool outputReplacesSource(const std::string& sourceFile, const std::string& outputPath);

}  // namespace qp
