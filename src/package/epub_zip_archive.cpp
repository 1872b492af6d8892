// SPDX-License-Identifier: GPL-3.0-or-later
#include "package/epub_zip_archive.h"

#include <algorithm>
#include <climits>
#include <vector>

#include <unzip.h>

namespace qp {

namespace {

constexpr uint32_t kModeTypeMask = 0170000;
constexpr uint32_t kModeSymbolicLink = 0120000;
constexpr uint32_t kModeDirectory = 0040000;
constexpr uint32_t kDosDirectoryAttribute = 0x10;

uint32_t unixMode(uint32_t externalAttributes) { return externalAttributes >> 16; }

ZipArchive::Step stepOf(int status) {
    if (status == UNZ_OK) return ZipArchive::Step::Entry;
    if (status == UNZ_END_OF_LIST_OF_FILE) return ZipArchive::Step::End;
    return ZipArchive::Step::Failed;
}

}  // namespace

bool ZipEntryInfo::symbolicLink() const { return (unixMode(externalAttributes) & kModeTypeMask) == kModeSymbolicLink; }

bool ZipEntryInfo::directory() const {
    return (unixMode(externalAttributes) & kModeTypeMask) == kModeDirectory ||
           (externalAttributes & kDosDirectoryAttribute) != 0;
}

ZipArchive::ZipArchive(const std::string& path) : handle_(unzOpen64(path.c_str())) {}

ZipArchive::~ZipArchive() {
    if (handle_ == nullptr) return;
    if (entryOpen_) unzCloseCurrentFile(handle_);
    unzClose(handle_);
}

ZipArchive::Step ZipArchive::first() { return isOpen() ? stepOf(unzGoToFirstFile(handle_)) : Step::Failed; }

ZipArchive::Step ZipArchive::next() { return isOpen() ? stepOf(unzGoToNextFile(handle_)) : Step::Failed; }

bool ZipArchive::currentInfo(ZipEntryInfo& info) {
    if (!isOpen()) return false;
    unz_file_info64 raw{};
    if (unzGetCurrentFileInfo64(handle_, &raw, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return false;
    // Names hold at most 65,535 bytes (a 16-bit length), so this allocation is bounded.
    std::vector<char> name(raw.size_filename + 1);
    if (unzGetCurrentFileInfo64(handle_, &raw, name.data(), static_cast<uLong>(name.size()), nullptr, 0, nullptr, 0) !=
        UNZ_OK) {
        return false;
    }
    info.storedName.assign(name.data(), raw.size_filename);
    info.flags = static_cast<uint32_t>(raw.flag);
    info.method = static_cast<uint32_t>(raw.compression_method);
    info.versionMadeBy = static_cast<uint32_t>(raw.version);
    info.externalAttributes = static_cast<uint32_t>(raw.external_fa);
    info.compressedSize = raw.compressed_size;
    info.uncompressedSize = raw.uncompressed_size;
    return true;
}

bool ZipArchive::openEntry() {
    if (!isOpen() || entryOpen_) return false;
    entryOpen_ = unzOpenCurrentFile(handle_) == UNZ_OK;
    return entryOpen_;
}

long ZipArchive::read(void* buffer, size_t size) {
    if (!entryOpen_) return -1;
    unsigned chunk = static_cast<unsigned>(std::min<size_t>(size, INT_MAX));
    return unzReadCurrentFile(handle_, buffer, chunk);
}

bool ZipArchive::closeEntry() {
    if (!entryOpen_) return false;
    entryOpen_ = false;
    return unzCloseCurrentFile(handle_) == UNZ_OK;
}

}  // namespace qp
