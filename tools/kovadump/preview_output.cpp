// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview_output.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "json_writer.h"

namespace kova {

namespace {

bool writeParts(const std::filesystem::path& path, std::initializer_list<std::string_view> parts, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (std::string_view part : parts)
        if (out) out.write(part.data(), static_cast<std::streamsize>(part.size()));
    if (out) out.close();
    if (out) return true;
    error = "cannot write " + path.string() + ": " + std::strerror(errno);
    return false;
}

}  // namespace

bool writePreviewFile(const std::filesystem::path& path, std::string_view content, std::string& error) {
    return writeParts(path, {content}, error);
}

bool writePreviewData(const std::filesystem::path& path, const std::string& name, std::string_view json,
                      std::string& error) {
    const std::string head =
        "window.QuillpressPreviewData = window.QuillpressPreviewData || {};\nQuillpressPreviewData[" +
        JsonWriter::quote(name) + "] = ";
    return writeParts(path, {head, json, ";\n"}, error);
}

}  // namespace kova
