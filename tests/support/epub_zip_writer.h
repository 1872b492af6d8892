// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds zip archives for the ePub tests with minizip's writer, including the malformed and hostile kinds:
// any stored name, unix modes, flag bits, and entries whose declared size differs from their data.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <zip.h>
#include <zlib.h>

namespace qptest {

struct ZipMember {
    ZipMember(std::string entryName, std::string entryData) : name(std::move(entryName)), data(std::move(entryData)) {}

    std::string name;
    std::string data;
    uint32_t flags = 0;               // general-purpose flag bits (11: UTF-8 name, 0: encrypted)
    uint32_t externalAttributes = 0;  // unix mode in the upper half
    bool stored = false;              // no compression
    // When set, the data is deflated by the test and the archive declares this uncompressed size instead.
    std::optional<uint64_t> declaredSize;
};

inline ZipMember symbolicLinkMember(std::string name, std::string target) {
    ZipMember member(std::move(name), std::move(target));
    member.externalAttributes = (0120777u << 16);
    member.stored = true;
    return member;
}

inline ZipMember storedMember(std::string name, std::string data) {
    ZipMember member(std::move(name), std::move(data));
    member.stored = true;
    return member;
}

// Raw deflate (no zlib header), as zip entries hold it.
inline std::string rawDeflate(const std::string& data) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::runtime_error("deflateInit2 failed");
    }
    std::string out(deflateBound(&stream, data.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    int status = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (status != Z_STREAM_END) throw std::runtime_error("deflate failed");
    return out;
}

inline void writeZip(const std::filesystem::path& path, const std::vector<ZipMember>& members) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (zip == nullptr) throw std::runtime_error("cannot create " + path.string());
    constexpr uLong kMadeByUnix = (3u << 8) | 20u;
    for (const ZipMember& member : members) {
        zip_fileinfo info{};
        info.external_fa = member.externalAttributes;
        bool raw = member.declaredSize.has_value();
        int method = member.stored ? 0 : Z_DEFLATED;
        if (zipOpenNewFileInZip4_64(zip, member.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, method,
                                    Z_BEST_COMPRESSION, raw ? 1 : 0, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0,
                                    kMadeByUnix, member.flags, 0) != ZIP_OK) {
            throw std::runtime_error("cannot add " + member.name);
        }
        std::string bytes = raw ? rawDeflate(member.data) : member.data;
        if (!bytes.empty() && zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size())) != ZIP_OK) {
            throw std::runtime_error("cannot write " + member.name);
        }
        if (raw) {
            uLong crc =
                crc32(0, reinterpret_cast<const Bytef*>(member.data.data()), static_cast<uInt>(member.data.size()));
            zipCloseFileInZipRaw64(zip, *member.declaredSize, crc);
        } else {
            zipCloseFileInZip(zip);
        }
    }
    zipClose(zip, nullptr);
}

}  // namespace qptest
