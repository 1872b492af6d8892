// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/temp_record_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <random>
#include <string>
#include <system_error>

#include "core/big_endian.h"
#include "core/temporary_directory.h"

namespace qp {

namespace fs = std::filesystem;

namespace {

// Creates a new, empty file with a name nobody else holds. On failure `candidate` keeps the name last tried,
// so that the message can say where, and errno tells why.
bool reserveTemporaryFile(std::string_view extension, fs::path& candidate) {
    static std::atomic<unsigned> counter{0};
    const fs::path directory = temporaryDirectory();
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        candidate = directory / (temporaryFilePrefix() + std::to_string(counter++) + "-" +
                                 std::to_string(random() & 0xFFFFFF) + std::string(extension));
        int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            close(fd);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

}  // namespace

std::string temporaryFilePrefix() { return "quillpress-" + std::to_string(getpid()) + "-"; }

TempRecordStore::TempRecordStore(std::string_view extension) {
    fs::path candidate;
    if (!reserveTemporaryFile(extension, candidate)) {
        creationError_ = errno;
        failedPath_ = candidate;
        return;
    }
    path_ = candidate;
    cleanup_ = CleanupRegistration(path_.string(), CleanupKind::File);
    database_.setScratch();
    ok_ = database_.create(path_, fourCc("TEMP"), fourCc("KOVA"));
}

TempRecordStore::~TempRecordStore() {
    if (path_.empty()) return;
    std::error_code ec;
    fs::remove(path_, ec);
}

bool TempRecordStore::readBack() {
    if (!ok_ || !database_.save()) return false;
    return database_.open(path_);
}

}  // namespace qp
