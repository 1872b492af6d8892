// SPDX-License-Identifier: GPL-3.0-or-later
#include "pipeline/book_metadata.h"

#include "container/exth.h"
#include "core/ascii_text.h"

namespace qp {

void BookMetadata::add(uint32_t type, std::string_view value) {
    if (!value.empty()) entries.push_back({type, std::string(value), std::nullopt});
}

void BookMetadata::addCreators(std::string_view names) {
    while (!names.empty()) {
        const size_t end = names.find(';');
        add(exth::kCreator, trimmed(names.substr(0, end)));
        if (end == std::string_view::npos) break;
        names.remove_prefix(end + 1);
    }
}

}  // namespace qp
