// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview_output.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "json_writer.h"

namespace kova {

bool writePreviewFile(const std::filesystem::path& path, std::string_view content, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (out) out.close();
    if (out) return true;
    error = "cannot write " + path.string() + ": " + std::strerror(errno);
    return false;
}

std::string previewDataScript(const std::string& name, const std::string& json) {
    return "window.QuillpressPreviewData = window.QuillpressPreviewData || {};\nQuillpressPreviewData[" +
           JsonWriter::quote(name) + "] = " + json + ";\n";
}

}  // namespace kova
