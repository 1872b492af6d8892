// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A zip archive read through minizip: the entries in archive order, their central-directory facts, and the
// inflated bytes of the current entry.
#include <cstddef>
#include <cstdint>
#include <string>

namespace qp {

struct ZipEntryInfo {
    std::string storedName;  // the name's bytes as the archive holds them
    uint32_t flags = 0;      // general-purpose bit flags
    uint32_t method = 0;     // 0 stored, 8 deflated
    uint32_t versionMadeBy = 0;
    uint32_t externalAttributes = 0;
    uint64_t compressedSize = 0;
    uint64_t uncompressedSize = 0;

    bool encrypted() const { return (flags & 1u) != 0; }
    // Unix file modes live in the upper half of the external attributes, whichever host made the archive.
    bool symbolicLink() const;
    bool directory() const;
};

class ZipArchive {
public:
    enum class Step { Entry, End, Failed };

    // Opens the archive; isOpen() tells whether it is a zip file that could be read.
    explicit ZipArchive(const std::string& path);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool isOpen() const { return handle_ != nullptr; }

    // Moves to the first or the next entry.
    Step first();
    Step next();
    // The current entry's facts; false when the central directory cannot be read.
    bool currentInfo(ZipEntryInfo& info);

    // Inflating the current entry: open, read until 0 (end) or a negative value (fault), close. Closing
    // reports false when the whole entry was read and its checksum does not match.
    bool openEntry();
    long read(void* buffer, size_t size);
    bool closeEntry();

private:
    void* handle_ = nullptr;
    bool entryOpen_ = false;
};

}  // namespace qp
