#include "pipeline/epub_build.h"

#include "pipeline/build_drivers.h"
#include "package/epub_source.h"
#include "core/message_sink.h"

namespace qp {

namespace {

}  // namespace

int buildEpub(const String& sourcePath, const String& outputPath, const BuildOptions& options) {
    // The unpacked files live as long as `source`: they are removed whatever the build's result.
    EpubSource source;
    report(source, InfoCode::UnpackingEpub);
    if (!source.unpack(sourcePath)) {
        report(source, ErrorCode::CannotUnpackEpub, sink().registerArgument(sourcePath));
        printReason(source.refusal());
        return kBuildFailed;
    }
    return buildOpfBook(source.packagePath(), outputPath, options);
}

}  // namespace qp
