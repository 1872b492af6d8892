#pragma once
// The ePub build: the archive is unpacked into a working directory and its package built as an OPF package,
// with the same options and the output path formed from the ePub's own name.
#include "pipeline/build_options.h"
#include "core/string.h"

namespace qp {

int buildEpub(const String& sourcePath, const String& outputPath, const BuildOptions& options);

}  // namespace qp
