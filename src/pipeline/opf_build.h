#pragma once
// The OPF build: reads the package, its metadata, guide, manifest and spine, converts the content files in
// spine order and ends in the finishing stage.
#include "pipeline/build_options.h"
#include "core/string.h"

namespace qp {

// Returns 0, 1 or 2 like every build.
int runOpfBuild(const String& sourcePath, const String& outputPath, const BuildOptions& options);

}  // namespace qp
