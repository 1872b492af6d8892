#include "build/build_drivers.h"

#include "build/epub_build.h"
#include "build/html_build.h"
#include "build/opf_build.h"
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

}  // namespace qp
