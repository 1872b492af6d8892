// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The OPF build: reads the package, its metadata, guide, manifest and spine, converts the content files in
// spine order and ends in the finishing stage.
#include "pipeline/build_options.h"

namespace qp {

BuildResult buildOpfBook(const BuildPaths& paths, const BuildOptions& options);

}  // namespace qp
