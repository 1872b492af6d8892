// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/pdb_database.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <new>
#include <utility>

#include "core/big_endian.h"

namespace qp {

namespace {
constexpr size_t kGapSize = 2;
constexpr size_t kEntrySize = 8;

}  // namespace

uint32_t currentPdbDate() {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
                  .count();
    return static_cast<uint32_t>((ms + 500) / 1000);
}

bool PdbDatabase::recordFailure() {
    report(*this, ErrorCode::NotEnoughMemory);
    return false;
}

bool PdbDatabase::create(const std::filesystem::path& path, uint32_t type, uint32_t creator) {
    path_ = path;
    readOnly_ = false;
    records_.clear();
    name_.clear();
    type_ = type;
    creator_ = creator;
    uniqueIdSeed_ = 0;
    creationDate_ = modificationDate_ = currentPdbDate();
    if (!pending_.begin(path_)) return false;
    return true;
}

// The header and the entry table are read first, then each record straight into its own buffer: opening
// needs no second copy of the file in memory.
bool PdbDatabase::open(const std::filesystem::path& path) {
    path_ = path;
    readOnly_ = true;
    pending_.abandon();
    records_.clear();
    try {
        std::ifstream in(path, std::ios::binary);
        std::error_code error;
        const uintmax_t fileLength = std::filesystem::file_size(path, error);
        if (!in || error) return false;
        auto readAt = [&](uint64_t offset, uint8_t* data, size_t size) {
            in.seekg(static_cast<std::streamoff>(offset));
            in.read(reinterpret_cast<char*>(data), static_cast<std::streamsize>(size));
            return static_cast<size_t>(in.gcount()) == size;
        };
        std::vector<uint8_t> header(kHeaderSize);
        if (fileLength < kHeaderSize || !readAt(0, header.data(), kHeaderSize)) return false;
        const size_t count = getBigEndian16(header.data() + 76);
        const size_t dataStart = kHeaderSize + kEntrySize * count;
        if (fileLength < dataStart) return false;
        header.resize(dataStart);
        if (!readAt(kHeaderSize, header.data() + kHeaderSize, dataStart - kHeaderSize)) return false;
        if (!parseHeader(header, fileLength)) return false;
        for (size_t i = 0; i < count; ++i) {
            std::vector<uint8_t>& bytes = records_[i].bytes;
            if (!bytes.empty() && !readAt(recordOffset(header, i), bytes.data(), bytes.size())) return false;
        }
    } catch (const std::bad_alloc&) {
        records_.clear();
        return recordFailure();
    }
    return true;
}

uint64_t PdbDatabase::recordOffset(std::span<const uint8_t> header, size_t index) {
    return getBigEndian32(header.data() + kHeaderSize + kEntrySize * index);
}

bool PdbDatabase::parseHeader(std::span<const uint8_t> header, uint64_t fileLength) {
    const uint8_t* bytes = header.data();
    const size_t count = getBigEndian16(bytes + 76);
    const size_t dataStart = kHeaderSize + kEntrySize * count;
    name_.assign(reinterpret_cast<const char*>(bytes), strnlen(reinterpret_cast<const char*>(bytes), kNameSize));
    attributes_ = getBigEndian16(bytes + 32);
    version_ = getBigEndian16(bytes + 34);
    creationDate_ = getBigEndian32(bytes + 36);
    modificationDate_ = getBigEndian32(bytes + 40);
    type_ = getBigEndian32(bytes + 60);
    creator_ = getBigEndian32(bytes + 64);
    uniqueIdSeed_ = getBigEndian32(bytes + 68);
    records_.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* entry = bytes + kHeaderSize + kEntrySize * i;
        const uint64_t begin = recordOffset(header, i);
        const uint64_t end = i + 1 < count ? recordOffset(header, i + 1) : fileLength;
        if (begin < dataStart || begin > end || end > fileLength) return false;
        records_[i].bytes.resize(static_cast<size_t>(end - begin));
        records_[i].attributes = entry[4];
        records_[i].uniqueId = getBigEndian24(entry + 5);
    }
    return true;
}

bool PdbDatabase::createRecord(size_t length, size_t index) {
    if (readOnly_ || records_.size() >= kMaxRecords || length > kMaxRecordLength) return recordFailure();
    try {
        Record record;
        record.bytes.resize(length);
        record.uniqueId = uniqueIdSeed_++ & 0xFFFFFF;
        index = std::min(index, records_.size());
        records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(index), std::move(record));
    } catch (const std::bad_alloc&) {
        return recordFailure();
    }
    return true;
}

bool PdbDatabase::appendRecord(std::span<const uint8_t> bytes, size_t paddedLength) {
    try {
        return adoptRecord(std::vector<uint8_t>(bytes.begin(), bytes.end()), paddedLength);
    } catch (const std::bad_alloc&) {
        return recordFailure();
    }
}

bool PdbDatabase::adoptRecord(std::vector<uint8_t>&& bytes, size_t paddedLength) {
    if (readOnly_ || records_.size() >= kMaxRecords || std::max(bytes.size(), paddedLength) > kMaxRecordLength)
        return recordFailure();
    try {
        if (bytes.size() < paddedLength) bytes.resize(paddedLength);
        Record record;
        record.bytes = std::move(bytes);
        record.uniqueId = uniqueIdSeed_++ & 0xFFFFFF;
        records_.push_back(std::move(record));
    } catch (const std::bad_alloc&) {
        return recordFailure();
    }
    return true;
}

std::vector<uint8_t> PdbDatabase::releaseRecord(size_t index) {
    if (index >= records_.size()) return {};
    return std::exchange(records_[index].bytes, {});
}

bool PdbDatabase::writeRecord(size_t index, size_t offset, std::span<const uint8_t> bytes) {
    if (readOnly_ || index >= records_.size()) return recordFailure();
    std::vector<uint8_t>& target = records_[index].bytes;
    if (offset > target.size() || bytes.size() > target.size() - offset) return recordFailure();
    std::copy(bytes.begin(), bytes.end(), target.begin() + static_cast<std::ptrdiff_t>(offset));
    return true;
}

bool PdbDatabase::resizeRecord(size_t index, size_t length) {
    if (readOnly_ || index >= records_.size() || length > kMaxRecordLength) return recordFailure();
    try {
        records_[index].bytes.resize(length);
    } catch (const std::bad_alloc&) {
        return recordFailure();
    }
    return true;
}

bool PdbDatabase::deleteRecord(size_t index) {
    if (readOnly_ || index >= records_.size()) return recordFailure();
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

std::span<const uint8_t> PdbDatabase::record(size_t index) const {
    if (index >= records_.size()) return {};
    return records_[index].bytes;
}

uint32_t PdbDatabase::recordUniqueId(size_t index) const {
    return index < records_.size() ? records_[index].uniqueId : 0;
}

void PdbDatabase::setName(std::string_view name) {
    name_ = name.substr(0, kNameSize - 1);
    name_ = name_.substr(0, name_.find('\0'));
}

std::string PdbDatabase::name() const { return name_; }

uint64_t PdbDatabase::fileSize() const {
    uint64_t total = kHeaderSize + kEntrySize * records_.size() + kGapSize;
    for (const Record& record : records_) total += record.bytes.size();
    return total;
}

std::vector<uint8_t> PdbDatabase::headerImage() const {
    const size_t dataStart = kHeaderSize + kEntrySize * records_.size() + kGapSize;
    std::vector<uint8_t> file(dataStart);
    uint8_t* header = file.data();
    std::copy(name_.begin(), name_.end(), header);
    putBigEndian16(header + 32, attributes_);
    putBigEndian16(header + 34, version_);
    putBigEndian32(header + 36, creationDate_);
    putBigEndian32(header + 40, modificationDate_);
    putBigEndian32(header + 60, type_);
    putBigEndian32(header + 64, creator_);
    putBigEndian32(header + 68, uniqueIdSeed_);
    putBigEndian16(header + 76, static_cast<uint16_t>(records_.size()));

    size_t offset = dataStart;
    for (size_t i = 0; i < records_.size(); ++i) {
        uint8_t* entry = header + kHeaderSize + kEntrySize * i;
        putBigEndian32(entry, static_cast<uint32_t>(offset));
        entry[4] = records_[i].attributes;
        putBigEndian24(entry + 5, records_[i].uniqueId);
        offset += records_[i].bytes.size();
    }
    return file;
}

std::vector<uint8_t> PdbDatabase::image() const {
    if (fileSize() > 0xFFFFFFFFu) return {};
    std::vector<uint8_t> file = headerImage();
    for (const Record& record : records_) file.insert(file.end(), record.bytes.begin(), record.bytes.end());
    return file;
}

// The records are written one after the other behind the header, never copied into one image: a large book
// needs no second copy of itself in memory.
bool PdbDatabase::save() {
    if (readOnly_ || path_.empty() || fileSize() > 0xFFFFFFFFu) return false;
    modificationDate_ = currentPdbDate();
    std::vector<uint8_t> header;
    try {
        header = headerImage();
    } catch (const std::bad_alloc&) {
        return recordFailure();
    }
    if (!pending_.active() && !pending_.begin(path_)) return false;
    if (!pending_.append(header)) return false;
    for (const Record& record : records_) {
        if (!pending_.append(record.bytes)) return false;
    }
    return pending_.commit();
}

}  // namespace qp
