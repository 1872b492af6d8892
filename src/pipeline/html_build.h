// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The HTML build: one HTML file becomes the whole book; its head gives the title, authors and cover.
#include "pipeline/build_options.h"

namespace qp {

BuildResult buildHtmlBook(const BuildPaths& paths, const BuildOptions& options);

}  // namespace qp
