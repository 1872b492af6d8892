// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Anchors and hyperlinks of the book text. While content is converted, a link is written as a fixed-width
// placeholder and remembered as a fixup; anchors are recorded at their byte positions. Once all text is
// written the pipeline calls resolveLinks() and then writeLinks(), which prints the numbers into the
// placeholders in place.
//
// Placeholders (X = a digit position, left as X when its target is never found):
//   " filepos=XXXXXXXXXX "   20 bytes, the target's byte position in the book text
//   " href=\"$XXXXX\""       14 bytes, a link to an image or asp file: its record number
//   " recindex=\"XXXXX\""    17 bytes, an image source ("lo" / "hi" before "recindex" for losrc / hisrc)
// Record numbers are the media table's record number plus 1, decided by the media table.
//
// Order of use by the pipeline (one LinkTable per book, living across all content files):
//   for each content file: HtmlConverter registers the file start, the anchors and the links;
//   resolveLinks();                  `ResolvingLinks`, `LinkNotResolved` per link and `SomeLinksNotResolved` once
//   resolve(start reading location)  the pipeline raises `StartNotResolved` when it gives nothing
//   writeLinks(stream, media);       `WritingLinks`
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "convert/href_normalize.h"
#include "core/fault.h"

namespace qp {

class MediaTable;
class TextStream;

class LinkTable {
public:
    // Messages are reported into `faults` (the builder's header).
    explicit LinkTable(FaultHeader& faults) : faults_(faults) {}

    // The start of a content file's text: what a link naming the file without fragment points to.
    void registerFileStart(std::string_view file, uint64_t position);
    // An anchor (`id` or `name` value, one leading "#" removed) of the file at a position. An external one
    // also enters the publication-wide name space (`ExternalAnchorRedefined` on a second definition, which is ignored).
    void registerAnchor(std::string_view file, std::string_view name, uint64_t position, bool external);
    // Whether registering the anchor would enter it anywhere: false for an empty name, and for one the file
    // already has unless it is external and the publication-wide name space lacks it.
    bool isNewAnchor(std::string_view file, std::string_view name, bool external);

    // The `href` of an `a`, `reference` or `metadata` element in `file`. Writes the placeholder that replaces
    // the attribute and returns false, or returns true when the attribute is written as it stands (an
    // outside link such as "http:" or "mailto:"). A media target that cannot be registered is dropped.
    bool rewriteHref(TextStream& stream, MediaTable& media, std::string_view file, std::string_view href, bool global);
    // The `src` (prefix ""), `losrc` ("lo") or `hisrc` ("hi") of an `img`: registers the picture and writes its
    // recindex placeholder. A missing or empty picture gets the built-in placeholder picture's record. False
    // (nothing written) only when the media table is full.
    bool writeImageSource(TextStream& stream, MediaTable& media, std::string_view file, std::string_view prefix,
                          std::string_view src);

    // Looks every link's target up. Returns the number of links left unresolved.
    size_t resolveLinks();
    // The byte position of a target given as an `href` relative to `baseFile` (the start reading location).
    std::optional<uint64_t> resolve(std::string_view baseFile, std::string_view href);
    // Prints the resolved positions and the record numbers into their placeholders.
    bool writeLinks(TextStream& stream, const MediaTable& media);

    // The positions the resolved links point to, in the order the links were written.
    std::vector<uint64_t> resolvedTargets() const;

    size_t linkCount() const { return links_.size(); }
    size_t anchorCount() const { return anchors_.size(); }
    HrefNormalizer& normalizer() { return normalizer_; }

private:
    struct LinkFixup {
        uint64_t digits;  // position of the first digit
        LinkTarget target;
        bool global;
        std::optional<uint64_t> resolved;
    };
    struct RecordFixup {
        uint64_t digits;
        std::string path;
    };

    std::optional<uint64_t> lookUp(const LinkTarget& target, bool global) const;
    int32_t registerMedia(MediaTable& media, const std::string& path, bool picture);
    static std::string anchorKey(std::string_view file, std::string_view name);

    FaultHeader& faults_;
    HrefNormalizer normalizer_;
    std::unordered_map<std::string, uint64_t> anchors_;
    std::unordered_map<std::string, uint64_t> externalAnchors_;
    std::vector<LinkFixup> links_;
    std::vector<RecordFixup> records_;
};

}  // namespace qp
