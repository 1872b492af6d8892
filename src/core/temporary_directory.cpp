// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/temporary_directory.h"

#include <cstdlib>

namespace qp {

std::filesystem::path temporaryDirectory() {
    for (const char* variable : {"TMPDIR", "TMP", "TEMP", "TEMPDIR"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return value;
    }
    return "/tmp";
}

}  // namespace qp
