// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing the files of the HTML preview, and the form of its data files: scripts that a page loads with
// <script src> (which works from file://, where fetch() does not), each storing one JSON value under its name
// in the global QuillpressPreviewData.
#include <filesystem>
#include <string>
#include <string_view>

namespace kova {

// Writes the file whole; false with "cannot write PATH: reason" in error.
bool writePreviewFile(const std::filesystem::path& path, std::string_view content, std::string& error);

// Writes the data file holding `json` under `name`; false as writePreviewFile.
bool writePreviewData(const std::filesystem::path& path, const std::string& name, std::string_view json,
                      std::string& error);

}  // namespace kova
