#include "build/epub_build.h"

#include "build/build_drivers.h"
#include "build/epub_source.h"
#include "core/message_sink.h"

namespace qp {

namespace {

constexpr int kInfoUnpackingEpub = 39;
constexpr int kErrorCannotUnpackEpub = 191;

}  // namespace

int buildEpub(const String& sourcePath, const String& outputPath, const BuildOptions& options) {
    // The unpacked files live as long as `source`: they are removed whatever the build's result.
    EpubSource source;
    report(source, Severity::Info, kInfoUnpackingEpub);
    if (!source.unpack(sourcePath)) {
        report(source, Severity::Error, kErrorCannotUnpackEpub, sink().registerArgument(sourcePath));
        printReason(source.refusal());
        return kBuildFailed;
    }
    return buildOpfBook(source.packagePath(), outputPath, options);
}

}  // namespace qp
