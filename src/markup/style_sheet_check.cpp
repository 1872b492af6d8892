// SPDX-License-Identifier: GPL-3.0-or-later
#include "markup/style_sheet_check.h"

#include <fstream>

#include "core/message_sink.h"
#include "core/path_text.h"
#include "markup/css_parser.h"
#include "markup/css_text.h"

namespace qp {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string selectorText(const CssSelector& selector) {
    std::string text = selector.element;
    if (!selector.className.empty()) text += "." + selector.className;
    if (!selector.id.empty()) text += "#" + selector.id;
    if (!selector.pseudoClass.empty()) text += ":" + selector.pseudoClass;
    return text;
}

bool isDroppedFontInformation(const CssDeclaration& declaration) {
    return equalsCaseBlind(declaration.name, "font-family") ||
           (equalsCaseBlind(declaration.name, "color") && equalsCaseBlind(declaration.value, "#000000"));
}

// The dump's place: the source's directory (either separator accepted), composed with "/".
std::string dumpPath(const String& source) { return withForwardSlashes(source.directoryPart().toUtf8()) + "dump.css"; }

}  // namespace

std::string styleSheetDump(const StyleSheet& sheet, bool dropFontInformation) {
    std::string dump;
    for (const CssRule& rule : sheet.rules) {
        for (size_t i = 0; i < rule.selectors.size(); ++i) {
            if (i > 0) dump += ", ";
            dump += selectorText(rule.selectors[i]);
        }
        dump += kLineEnd;
        dump += "{";
        dump += kLineEnd;
        for (const CssDeclaration& declaration : rule.declarations) {
            if (dropFontInformation && isDroppedFontInformation(declaration)) continue;
            dump += "\t" + declaration.name + ":" + declaration.value + ";";
            dump += kLineEnd;
        }
        dump += "}";
        dump += kLineEnd;
    }
    return dump;
}

bool checkStyleSheet(const String& path, MessageSink* messages) {
    String text;
    text.messages = messages;
    if (!text.loadFile(path)) return false;
    if (text.kind() == TextKind::SingleByte)
        text.declareCodePage(kCodePageWestern);
    else
        text.convertTo(kCodePageWestern);

    FaultHeader faults;
    faults.messages = messages;
    const StyleSheet sheet = parseStyleSheet(text.bytes(), faults, text.context);
    const std::string dump = styleSheetDump(sheet);

    const std::string target = dumpPath(path);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(dump.data(), static_cast<std::streamsize>(dump.size()));
    out.close();
    if (!out) {
        report(faults, ErrorCode::FileNotAccessible, target);
        return false;
    }
    return true;
}

}  // namespace qp
