// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/anchor_placement.h"

#include "convert/link_table.h"
#include "convert/text_stream.h"

namespace qp {

namespace {

constexpr std::string_view kAnchorTag = "<a/>";

bool isWhiteSpace(std::string_view bytes) { return bytes.find_first_not_of(" \t\r\n") == std::string_view::npos; }

}  // namespace

void AnchorPlacement::placeAtTag(std::string_view name, bool external) {
    placeHeld();
    links_.registerAnchor(file_, name, stream_.position(), external);
}

void AnchorPlacement::holdForTag(std::string_view name, bool external) {
    // An anchor that enters nothing new is registered at once, so that a repeated external name still warns.
    if (links_.isNewAnchor(file_, name, external))
        held_.emplace_back(name, external);
    else
        links_.registerAnchor(file_, name, stream_.position(), external);
}

void AnchorPlacement::beforeWrite(std::string_view bytes) {
    if (!fileStartHeld_ && held_.empty()) return;
    if (bytes.starts_with('<')) {
        placeHeld();
    } else if (!isWhiteSpace(bytes)) {
        writeAnchorTag();
    }
}

void AnchorPlacement::endFile() {
    if (fileStartHeld_ || !held_.empty()) writeAnchorTag();
}

void AnchorPlacement::placeHeld() {
    const uint64_t position = stream_.position();
    if (fileStartHeld_) links_.registerFileStart(file_, position);
    fileStartHeld_ = false;
    for (const auto& [name, external] : held_) links_.registerAnchor(file_, name, position, external);
    held_.clear();
}

void AnchorPlacement::writeAnchorTag() {
    placeHeld();
    stream_.write(kAnchorTag);
}

}  // namespace qp
