// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The options of one build, where its source and book are, and how it ends.
#include <string>

#include "container/record_zero.h"
#include "convert/image_fit.h"
#include "core/message_sink.h"
#include "core/progress.h"

namespace qp {

struct BuildOptions {
    Compression compression = Compression::PalmDoc;
    ImageMode imageMode = ImageMode::Normal;
    bool allowJpeg = true;            // false: images become GIF, no JPEG in the book
    bool minimize = true;             // use the lowest file format version the content allows
    bool noCopyPaste = false;         // the book forbids copy and paste of its content
    bool allowAllScripts = false;     // all scripting in content is authorised
    bool forceUnicode = false;        // the book text is written as UTF-8
    bool rebuild = false;             // remove the generated files of the package and rebuild them first
    bool onlyDependencies = false;    // build the package's dependencies only, not the book
    bool noDependencies = false;      // neither check nor build the dependencies
    bool oneThread = false;           // a background build (-lowpriority) keeps to the main thread
    Progress* progress = nullptr;     // where the build shows how far it is; none: nowhere
    MessageSink* messages = nullptr;  // where the build's messages are shown; none: they are only recorded
};

// Absolute UTF-8 paths with "/" separators.
struct BuildPaths {
    std::string source;
    std::string output;
};

enum class BuildResult { Generated, GeneratedWithWarnings, Failed };

// The process exit code of a result: 0, 1 or 2.
constexpr int exitCodeOf(BuildResult result) {
    switch (result) {
        case BuildResult::Generated: return 0;
        case BuildResult::GeneratedWithWarnings: return 1;
        case BuildResult::Failed: return 2;
    }
    return 2;
}

}  // namespace qp
