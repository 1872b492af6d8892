#include "pipeline/build_drivers.h"

#include <filesystem>
#include <system_error>

#include "pipeline/epub_build.h"
#include "pipeline/html_build.h"
#include "pipeline/opf_build.h"
#include "core/message_sink.h"
#include "markup/style_sheet_check.h"

namespace qp {

int buildHtmlBook(const String& outputPath, const String& sourcePath, const BuildOptions& options) {
    return runHtmlBuild(outputPath, sourcePath, options);
}

int buildOpfBook(const String& sourcePath, const String& outputPath, const BuildOptions& options) {
    return runOpfBuild(sourcePath, outputPath, options);
}

int buildEpubBook(const String& sourcePath, const String& outputPath, const BuildOptions& options) {
    return buildEpub(sourcePath, outputPath, options);
}

bool runStyleSheetCheck(const String& sourcePath) { return checkStyleSheet(sourcePath); }

bool outputReplacesSource(const std::string& sourceFile, const std::string& outputPath) {
    std::error_code error;
    if (!std::filesystem::equivalent(sourceFile, outputPath, error)) return false;
    consolePrint("Error: The book would replace its own source file \"%s\"\n", sourceFile.c_str());
    return true;
}

}  // namespace qp
