// SPDX-License-Identifier: GPL-3.0-or-later
// Reads arbitrary bytes as an OPF package file and asks it everything the OPF build asks: the checks, the
// metadata, the output requests, the manifest, the spine and the guide.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/message_sink.h"
#include "fuzz_input_file.h"
#include "package/opf_package.h"

namespace {

namespace fs = std::filesystem;

FuzzInputFile input(".opf");

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path& inputPath = input.hold(data, size);
    // Messages are assembled, as a build would, but printed nowhere.
    qp::MessageSink silent;
    qp::OpfPackage package;
    package.messages = &silent;
    if (!package.open(qp::String::fromUtf8(inputPath.string()))) return 0;
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
