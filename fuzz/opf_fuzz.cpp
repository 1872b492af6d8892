// Reads arbitrary bytes as an OPF package file and asks it everything the OPF build asks: the checks, the
// metadata, the output requests, the manifest, the spine and the guide.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "build/opf_package.h"
#include "core/message_sink.h"

namespace {

namespace fs = std::filesystem;

// Keeps the fuzzer's output quiet: messages are assembled but not printed.
qp::MessageSink silentSink;
[[maybe_unused]] qp::MessageSink* const previousSink = qp::installSink(&silentSink);

const fs::path& inputPath() {
    static const fs::path path = fs::temp_directory_path() / ("opf-fuzz-input-" + std::to_string(::getpid()) + ".opf");
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        std::ofstream out(inputPath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    qp::OpfPackage package;
    if (!package.open(qp::String::fromUtf8(inputPath().string()))) return 0;
    (void)package.metadata("dc:Title");
    (void)package.metadata("dc:Language");
    (void)package.metadata("dc:Identifier", 0, "scheme", "ISBN");
    (void)package.metadataAttribute("dc:Creator", "role");
    (void)package.metadataCount("dc:Subject");
    (void)package.outputRequests();
    (void)package.guide();
    if (!package.check()) return 0;
    for (const qp::ManifestItem& item : package.manifestItems()) (void)package.item(item.id);
    (void)package.spine();
    (void)package.resolve("../images/cover.jpg");
    return 0;
}
