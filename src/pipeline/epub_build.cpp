// SPDX-License-Identifier: GPL-3.0-or-later
#include "pipeline/epub_build.h"

#include "core/message_sink.h"
#include "package/epub_source.h"
#include "pipeline/opf_build.h"

namespace qp {

BuildResult buildEpubBook(const BuildPaths& paths, const BuildOptions& options) {
    // The unpacked files live as long as `source`: they are removed whatever the build's result.
    EpubSource source;
    source.messages = options.messages;
    report(source, InfoCode::UnpackingEpub);
    if (!source.unpack(String::fromUtf8(paths.source))) {
        report(source, ErrorCode::CannotUnpackEpub, paths.source);
        printReason(source.refusal());
        return BuildResult::Failed;
    }
    return buildOpfBook({source.packagePath().toUtf8(), paths.output}, options);
}

}  // namespace qp
