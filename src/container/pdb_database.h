// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// PdbDatabase: a Palm database held in memory and bound to a file. The book and the temporary record stores
// are both such databases.
//
// File layout (big-endian): a 78-byte header (name, dates, type, creator, unique-ID seed, record count),
// one 8-byte entry per record (data offset, attributes, 24-bit unique ID), two gap bytes, then the record
// data back to back. An empty database is 80 bytes long.
//
// A database is written only by save(): the new image replaces the file in one step, so a database that is
// dropped unsaved leaves its file as it was.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "container/pending_file.h"
#include "core/fault.h"

namespace qp {

class PdbDatabase : public FaultHeader {
public:
    static constexpr size_t kAppend = 0xFFFF;                   // record index that appends
    static constexpr size_t kMaxRecords = 0xFFFF;               // the record count is 16 bits
    static constexpr size_t kMaxRecordLength = (1u << 24) - 1;  // lengths are held in 24 bits
    static constexpr uint64_t kMaxFileSize = 0xFFFF'FFFF;       // record offsets are 32 bits
    static constexpr size_t kHeaderSize = 78;
    static constexpr size_t kNameSize = 32;

    PdbDatabase() = default;
    PdbDatabase(const PdbDatabase&) = delete;
    PdbDatabase& operator=(const PdbDatabase&) = delete;

    // File operations return false without a message; the owner reports the failure in its own terms.
    // Binds a new, empty database to a path; creation and modification dates are set to now. Nothing is
    // written yet, but the target must be replaceable.
    bool create(const std::filesystem::path& path, uint32_t type, uint32_t creator);
    // Reads a database file; the result is read only. False when the file cannot be read or is not a
    // well-formed database.
    bool open(const std::filesystem::path& path);

    const std::filesystem::path& path() const { return path_; }
    bool readOnly() const { return readOnly_; }
    // The errno value of the last failed save, 0 when the system gave none.
    int systemError() const { return pending_.systemError(); }
    // A scratch database (a temporary store) is saved without waiting for the disk.
    void setScratch() { pending_.setDurable(false); }

    // --- Records. Failed record operations report "Not enough memory." (`NotEnoughMemory`). ---
    size_t recordCount() const { return records_.size(); }
    // A zero-filled record of the given length at an index; kAppend or any index past the end appends.
    bool createRecord(size_t length, size_t index = kAppend);
    // A record holding the bytes, padded with zero bytes to paddedLength when that is longer.
    bool appendRecord(std::span<const uint8_t> bytes, size_t paddedLength = 0);
    // The same, taking over the buffer instead of copying it.
    bool adoptRecord(std::vector<uint8_t>&& bytes, size_t paddedLength = 0);
    // Hands a record's bytes over to the caller, leaving the record empty (also on a read-only database):
    // a store copied into the book gives up its memory record by record.
    std::vector<uint8_t> releaseRecord(size_t index);
    bool writeRecord(size_t index, size_t offset, std::span<const uint8_t> bytes);
    // Grows (with zero bytes) or shrinks a record.
    bool resizeRecord(size_t index, size_t length);
    bool deleteRecord(size_t index);
    // A record's bytes; empty for an index out of range.
    std::span<const uint8_t> record(size_t index) const;
    size_t recordLength(size_t index) const { return record(index).size(); }
    // The length of the file the database saves to.
    uint64_t fileSize() const;
    uint32_t recordUniqueId(size_t index) const;

    // --- Header ---
    // At most 31 bytes are kept, so that the stored name stays NUL-terminated.
    void setName(std::string_view name);
    std::string name() const;
    uint32_t type() const { return type_; }
    uint32_t creator() const { return creator_; }
    uint32_t creationDate() const { return creationDate_; }
    uint32_t modificationDate() const { return modificationDate_; }

    // The file image as save() writes it; empty when the records do not fit 32-bit offsets.
    std::vector<uint8_t> image() const;
    // The header, the record entries and the gap: the file up to the first record's data.
    std::vector<uint8_t> headerImage() const;
    // Sets the modification date to now and replaces the bound file with the image.
    bool save();

private:
    struct Record {
        std::vector<uint8_t> bytes;
        uint8_t attributes = 0;
        uint32_t uniqueId = 0;
    };

    bool recordFailure();
    // Reads the header and the entry table (the file up to the first record) and sizes every record.
    bool parseHeader(std::span<const uint8_t> header, uint64_t fileLength);
    static uint64_t recordOffset(std::span<const uint8_t> header, size_t index);

    std::filesystem::path path_;
    bool readOnly_ = false;
    PendingFile pending_;
    std::string name_;
    uint16_t attributes_ = 0;
    uint16_t version_ = 0;
    uint32_t creationDate_ = 0;
    uint32_t modificationDate_ = 0;
    uint32_t type_ = 0;
    uint32_t creator_ = 0;
    uint32_t uniqueIdSeed_ = 0;
    std::vector<Record> records_;
};

// Seconds since 1970-01-01 UTC, rounded to the nearest second.
uint32_t currentPdbDate();

}  // namespace qp
