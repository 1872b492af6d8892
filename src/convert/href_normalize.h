// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Normalisation of the `href` and `src` values that content files use, so that one file is one entry however
// it is spelled: both separators, repeated separators, "./" and "../" steps, percent escapes ("%20"), and the
// case of the names when the exact spelling is not on disk.
#include <string>
#include <string_view>
#include <unordered_map>

namespace qp {

struct LinkTarget {
    std::string file;      // absolute, UTF-8, "/" separators
    std::string fragment;  // after the first "#", percent escapes decoded; empty when none
};

class HrefNormalizer {
public:
    // The target of `href` as written in the file `currentFile` (absolute). An empty path names the
    // current file itself.
    LinkTarget target(std::string_view currentFile, std::string_view href);
    // An absolute, lexically normal path with the on-disk spelling when only the case differs. Results are
    // kept, so each distinct spelling is looked up on disk once.
    std::string normalizePath(std::string_view path);
    // How many directories have been listed to match the case of names.
    size_t directoriesRead() const { return directoriesRead_; }

private:
    std::string normalizeUncached(std::string slashed);
    std::string matchCaseOnDisk(const std::string& path);
    const std::unordered_map<std::string, std::string>& caseBlindListing(const std::string& directory);
    bool folderExists(const std::string& folder);

    std::unordered_map<std::string, std::string> normalized_;
    std::unordered_map<std::string, std::unordered_map<std::string, std::string>> listings_;
    std::unordered_map<std::string, bool> folders_;
    size_t directoriesRead_ = 0;
};

// "%XX" escapes decoded (an invalid escape stays as written).
std::string decodePercentEscapes(std::string_view text);

}  // namespace qp
