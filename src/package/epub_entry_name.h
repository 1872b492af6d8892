// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The names stored in a zip archive, turned into relative paths that stay below the unpacking directory.
//
// A stored name is decoded (UTF-8 when the entry's flag bit 11 says so, else code page 437), split at "/" and
// "\", and its "." and empty steps dropped; ".." steps go up one level. A name that is absolute, starts with a
// drive letter or climbs above the top is refused, never repaired: such an archive is hostile or broken.
#include <string>
#include <string_view>
#include <vector>

namespace qp {

enum class EntryNameVerdict { Accepted, Empty, Absolute, DriveLetter, EscapesDirectory };

struct EntryName {
    EntryNameVerdict verdict = EntryNameVerdict::Empty;
    std::string display;                  // the decoded name, control characters shown as "?"
    std::vector<std::string> components;  // the relative path's steps, UTF-8, none empty, "." or ".."
    bool directory = false;               // the stored name ends in a separator

    bool accepted() const { return verdict == EntryNameVerdict::Accepted; }
    // The steps joined with "/".
    std::string relativePath() const;
    // The last step ("" for an empty name).
    std::string_view fileName() const;
};

// Zip general-purpose flag bit 11: the name and comment are UTF-8.
constexpr unsigned kZipFlagUtf8Names = 1u << 11;

// The stored bytes as valid UTF-8: invalid sequences become U+FFFD, code page 437 bytes their characters.
std::string decodeEntryName(std::string_view stored, bool utf8);

EntryName parseEntryName(std::string_view stored, bool utf8);

}  // namespace qp
