#pragma once
// The HTML build: one HTML file becomes the whole book; its head gives the title, authors and cover.
#include "pipeline/build_options.h"
#include "core/string.h"

namespace qp {

// Returns 0, 1 or 2 like every build.
int runHtmlBuild(const String& outputPath, const String& sourcePath, const BuildOptions& options);

}  // namespace qp
