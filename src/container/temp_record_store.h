// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A temporary record store: a database of type "TEMP", creator "KOVA", bound to a fresh file in the
// temporary directory whose name starts with "quillpress-<process id>-" and ends in the store's extension.
// The store owns the file and deletes it when destroyed; records live in memory until the store is read back.
#include <filesystem>
#include <string_view>

#include "container/pdb_database.h"
#include "core/interrupt_cleanup.h"

namespace qp {

class TempRecordStore {
public:
    // Reserves the file name (the file exists, empty, from now on). ok() tells whether that worked.
    explicit TempRecordStore(std::string_view extension);
    ~TempRecordStore();
    TempRecordStore(const TempRecordStore&) = delete;
    TempRecordStore& operator=(const TempRecordStore&) = delete;

    bool ok() const { return ok_; }
    const std::filesystem::path& path() const { return path_; }
    // The file, or, when it could not be made, the name that was tried: what a message names.
    const std::filesystem::path& location() const { return path_.empty() ? failedPath_ : path_; }
    PdbDatabase& database() { return database_; }
    const PdbDatabase& database() const { return database_; }

    // Saves the store to its file and opens that file again, read only, in its place.
    bool readBack();
    // The errno value of the last failure (making the file, or saving it), 0 when the system gave none.
    int systemError() const { return creationError_ != 0 ? creationError_ : database_.systemError(); }

private:
    std::filesystem::path path_;
    std::filesystem::path failedPath_;
    PdbDatabase database_;
    bool ok_ = false;
    int creationError_ = 0;
    CleanupRegistration cleanup_;
};

// The prefix of every temporary file this process makes ("quillpress-<pid>-").
std::string temporaryFilePrefix();

}  // namespace qp
