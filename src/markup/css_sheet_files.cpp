// SPDX-License-Identifier: GPL-3.0-or-later
#include "markup/css_sheet_files.h"

#include "core/message_sink.h"
#include "markup/css_parser.h"

namespace qp {

namespace {

void readSheet(const String& path, int32_t defaultCodePage, StyleSheetFiles::Sheet& sheet) {
    String text;
    text.quiet = true;
    if (!text.loadFile(path)) {
        report(sheet.faults, ErrorCode::CssFileNotFound, path);
        return;
    }
    if (text.kind() == TextKind::SingleByte && text.codePage() == kCodePageAscii) {
        int32_t codePage = defaultCodePage;
        const std::string charset = leadingCharset(text.bytes());
        if (!charset.empty()) {
            const int32_t named = codePageOfCharset(charset);
            if (named != kCodePageUnset)
                codePage = named;
            else
                report(sheet.faults, WarningCode::UnsupportedEncoding, text.context);
        }
        text.declareCodePage(codePage);
    }
    sheet.rules = parseStyleSheet(text.toUtf8(), sheet.faults, text.context).rules;
}

}  // namespace

const StyleSheetFiles::Sheet& StyleSheetFiles::load(const String& path, int32_t defaultCodePage) {
    String absolute = path;
    absolute.makeAbsolute();
    auto [place, added] = sheets_.try_emplace({absolute.toUtf8(), defaultCodePage});
    if (added) {
        place->second.faults.messages = messages_;
        readSheet(absolute, defaultCodePage, place->second);
    }
    return place->second;
}

}  // namespace qp
