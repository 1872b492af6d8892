// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the build keeps its temporary files.
#include <filesystem>

namespace qp {

// The directory the environment names for temporary files (TMPDIR, TMP, TEMP or TEMPDIR, the first that is
// set), else /tmp. It is not checked here: the caller learns whether it is usable when it creates its file
// there, and names the path in its message, rather than quietly writing somewhere else.
std::filesystem::path temporaryDirectory();

}  // namespace qp
