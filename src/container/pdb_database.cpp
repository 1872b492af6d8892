#include "container/pdb_database.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <new>

#include "container/big_endian.h"

namespace qp {

namespace {

constexpr int kErrorNotEnoughMemory = 222;
constexpr size_t kGapSize = 2;
constexpr size_t kEntrySize = 8;

}  // namespace

uint32_t currentPdbDate() {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::system_clock::now().time_since_epoch())
                  .count();
    return static_cast<uint32_t>((ms + 500) / 1000);
}

bool PdbDatabase::recordFailure() {
    report(*this, Severity::Error, kErrorNotEnoughMemory);
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

bool PdbDatabase::open(const std::filesystem::path& path) {
    path_ = path;
    readOnly_ = true;
    pending_.abandon();
    records_.clear();
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in) return false;
        std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (in.bad() || !parse(file)) return false;
    } catch (const std::bad_alloc&) {
        records_.clear();
        return recordFailure();
    }
    return true;
}

bool PdbDatabase::parse(std::span<const uint8_t> file) {
    if (file.size() < kHeaderSize) return false;
    const uint8_t* header = file.data();
    size_t count = getBigEndian16(header + 76);
    size_t dataStart = kHeaderSize + kEntrySize * count;
    if (file.size() < dataStart) return false;
    name_.assign(reinterpret_cast<const char*>(header), strnlen(reinterpret_cast<const char*>(header), kNameSize));
    attributes_ = getBigEndian16(header + 32);
    version_ = getBigEndian16(header + 34);
    creationDate_ = getBigEndian32(header + 36);
    modificationDate_ = getBigEndian32(header + 40);
    type_ = getBigEndian32(header + 60);
    creator_ = getBigEndian32(header + 64);
    uniqueIdSeed_ = getBigEndian32(header + 68);
    records_.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* entry = header + kHeaderSize + kEntrySize * i;
        size_t begin = getBigEndian32(entry);
        size_t end = i + 1 < count ? getBigEndian32(entry + kEntrySize) : file.size();
        if (begin < dataStart || begin > end || end > file.size()) return false;
        records_[i].bytes.assign(file.begin() + begin, file.begin() + end);
        records_[i].attributes = entry[4];
        records_[i].uniqueId = static_cast<uint32_t>(entry[5]) << 16 | entry[6] << 8 | entry[7];
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
    if (!createRecord(std::max(bytes.size(), paddedLength))) return false;
    std::copy(bytes.begin(), bytes.end(), records_.back().bytes.begin());
    return true;
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
        entry[5] = static_cast<uint8_t>(records_[i].uniqueId >> 16);
        entry[6] = static_cast<uint8_t>(records_[i].uniqueId >> 8);
        entry[7] = static_cast<uint8_t>(records_[i].uniqueId);
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
