// SPDX-License-Identifier: GPL-3.0-or-later
#include "pipeline/source_builds.h"

#include <filesystem>
#include <system_error>

#include "core/ascii_text.h"
#include "core/message_sink.h"
#include "core/path_text.h"
#include "markup/style_sheet_check.h"
#include "pipeline/epub_build.h"
#include "pipeline/html_build.h"
#include "pipeline/opf_build.h"

namespace qp {

SourceKind sourceKindOf(std::string_view fileName) {
    const std::string_view name = fileNameOf(fileName);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return SourceKind::Unknown;
    const std::string_view extension = name.substr(dot + 1);
    if (equalsCaseBlind(extension, "html") || equalsCaseBlind(extension, "htm")) return SourceKind::Html;
    if (equalsCaseBlind(extension, "opf")) return SourceKind::Opf;
    if (equalsCaseBlind(extension, "epub")) return SourceKind::Epub;
    if (equalsCaseBlind(extension, "css")) return SourceKind::StyleSheet;
    return SourceKind::Unknown;
}

namespace {

BuildResult buildBook(SourceKind kind, const BuildPaths& paths, const BuildOptions& options) {
    switch (kind) {
        case SourceKind::Html: return buildHtmlBook(paths, options);
        case SourceKind::Opf: return buildOpfBook(paths, options);
        case SourceKind::Epub: return buildEpubBook(paths, options);
        case SourceKind::StyleSheet:
        case SourceKind::Unknown: break;
    }
    return BuildResult::Failed;
}

}  // namespace

BuildResult buildSource(SourceKind kind, const BuildPaths& paths, const BuildOptions& options) {
    if (kind == SourceKind::StyleSheet) {
        return checkStyleSheet(String::fromUtf8(paths.source), options.messages) ? BuildResult::Generated
                                                                                 : BuildResult::Failed;
    }
    const BuildResult result = buildBook(kind, paths, options);
    if (result == BuildResult::Failed) return result;
    // The verdict counts every warning the user saw during the build, whichever part raised it.
    const bool warningsShown = options.messages && options.messages->printedWarnings() > 0;
    FaultHeader verdict{options.messages};
    if (result == BuildResult::GeneratedWithWarnings || warningsShown) {
        report(verdict, InfoCode::SucceededWithWarnings);
        return BuildResult::GeneratedWithWarnings;
    }
    report(verdict, InfoCode::Succeeded);
    return BuildResult::Generated;
}

bool outputReplacesSource(const std::string& sourceFile, const std::string& outputPath) {
    std::error_code error;
    if (!std::filesystem::equivalent(sourceFile, outputPath, error)) return false;
    consolePrint("Error: The book would replace its own source file \"%s\"\n", sourceFile.c_str());
    return true;
}

}  // namespace qp
