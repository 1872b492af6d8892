// SPDX-License-Identifier: GPL-3.0-or-later
// Unpacks arbitrary bytes as an ePub archive: whatever the archive holds, unpacking ends in a package or a
// refusal, nothing is written outside the working directory, and the working directory is gone afterwards.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/message_sink.h"
#include "fuzz_input_file.h"
#include "package/epub_source.h"

namespace {

namespace fs = std::filesystem;

FuzzInputFile input(".epub");

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path& inputPath = input.hold(data, size);
    fs::path working;
    {
        // Messages are assembled, as a build would, but printed nowhere.
        qp::MessageSink silent;
        qp::EpubSource source;
        source.messages = &silent;
        bool unpacked = source.unpack(qp::String::fromUtf8(inputPath.string()));
        working = source.workingDirectory().toUtf8();
        if (unpacked == source.packagePath().empty()) std::abort();
        if (!unpacked && source.refusal().empty()) std::abort();
        if (unpacked) {
            // The package lies inside the working directory.
            fs::path package = fs::path(source.packagePath().toUtf8()).lexically_normal();
            std::string relative = package.lexically_relative(working).string();
            if (relative.empty() || relative.rfind("..", 0) == 0) std::abort();
        }
    }
    if (!working.empty() && fs::exists(working)) std::abort();
    return 0;
}
