// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ePub build: the archive is unpacked into a working directory and its package built as an OPF package,
// with the same options and the output path formed from the ePub's own name.
#include "pipeline/build_options.h"

namespace qp {

BuildResult buildEpubBook(const BuildPaths& paths, const BuildOptions& options);

}  // namespace qp
