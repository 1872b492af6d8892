// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// HtmlConverter: turns the content files of a book, one after the other, into the book text.
//
// One converter per book, driven by the pipeline:
//
//     TextStream stream;            stream.open();
//     LinkTable links(builder);     MediaTable media;     IndexMarkup index;
//     HtmlConverter converter(builder, stream, links, media, index, {.textCodePage = 1252});
//     stream.write("<html><head>...guide...</head>");   // the first file writes "<body ...>" itself
//     for each content file in spine order:
//         converter.convertFile(source, path, first);    // source already decoded (its code page known)
//     stream.write("</body></html>");
//     links.resolveLinks(); ... links.writeLinks(stream, media);
//
// Each file is streamed through the parser one markup item at a time (held elements such as `pre`, `script`
// and `select` as one subtree), so a file is never held as a whole tree. Messages go to the fault header
// given to the constructor. Per file: the head's style sheets, the "could not exactly decode" warning and the
// "Introduced some entities" info (each at most once per file). Across files: the anchors and links, the
// non-crossable page breaks, the language flag.
//
// Anchors stand where the element's start tag begins, after the style sheet's `before` text (its margin
// spaces and wrappers), so that a link lands on the element itself; when that text opens with a page break,
// the anchor goes before the break, so that the reader shows the target's page.
#include <cstdint>
#include <memory>
#include <vector>

#include "core/fault.h"
#include "core/progress.h"
#include "core/string.h"
#include "markup/css_sheet_files.h"

namespace qp {

class IndexMarkup;
class LinkTable;
class MediaTable;
class TextStream;
class ElementWriter;

struct ConversionOptions {
    int32_t textCodePage = kCodePageWestern;  // 1252 or 65001
    bool suppressFontFaces = false;
};

class HtmlConverter {
public:
    HtmlConverter(FaultHeader& faults, TextStream& stream, LinkTable& links, MediaTable& media, IndexMarkup& index,
                  ConversionOptions options = {});
    ~HtmlConverter();
    HtmlConverter(const HtmlConverter&) = delete;
    HtmlConverter& operator=(const HtmlConverter&) = delete;

    // Converts one content file (`path` names it, for its links and style sheets). `writeBodyTag` writes the
    // file's `body` start tag (the first file of the book). False with `NoBodyInContent` when the file has no body.
    // One space follows every file that has a body.
    bool convertFile(const String& source, const String& path, bool writeBodyTag);
    // Where the conversion of a file tells how far into its text it is.
    void setProgress(Progress& progress) { progress_ = &progress; }
    // A `lang` attribute was met in some file.
    bool languageSeen() const;
    // Positions just before each `tqp:pagebreak` whose `crossable` is "no", in text order.
    const std::vector<uint64_t>& nonCrossableBreaks() const;

private:
    std::unique_ptr<ElementWriter> writer_;
    FaultHeader& faults_;
    TextStream& stream_;
    LinkTable& links_;
    StyleSheetFiles sheetFiles_;  // the linked sheets of the whole build
    Progress silent_;
    Progress* progress_ = &silent_;
};

}  // namespace qp
