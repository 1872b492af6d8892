// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the anchors of the book text stand. A link or a table-of-contents entry opens the text at its target,
// and a reader starts reading there with a tag: every anchor stands on one. An element that writes its own
// start tag has its anchors placed there. Anchors that have no tag of their own wait for the next tag the text
// gets: those of an element whose tags are dropped (a `tqp:section`, an `idx:entry`), and the start of a later
// content file, whose `body` tag is not written. White space before that tag is written as it stands; any
// other text, or the end of the file, first gets the empty anchor tag "<a/>" to stand on.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qp {

class LinkTable;
class TextStream;

class AnchorPlacement {
public:
    AnchorPlacement(TextStream& stream, LinkTable& links) : stream_(stream), links_(links) {}

    // The content file whose anchors follow (absolute path).
    void startFile(std::string file) { file_ = std::move(file); }
    // An anchor of an element whose start tag is written next: it stands there, after the anchors waiting.
    void placeAtTag(std::string_view name, bool external);
    // An anchor of an element that writes no tag. One that would enter nothing new keeps no place.
    void holdForTag(std::string_view name, bool external);
    // The start of the file, which a link naming the file without a fragment opens.
    void holdFileStart() { fileStartHeld_ = true; }
    // Called with the bytes about to be written into the text.
    void beforeWrite(std::string_view bytes);
    // The anchors still waiting at the end of the file get the anchor tag.
    void endFile();

private:
    void placeHeld();
    void writeAnchorTag();

    TextStream& stream_;
    LinkTable& links_;
    std::string file_;
    bool fileStartHeld_ = false;
    std::vector<std::pair<std::string, bool>> held_;  // name, external
};

}  // namespace qp
