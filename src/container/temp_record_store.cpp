#include "container/temp_record_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <random>
#include <string>
#include <system_error>

#include "container/big_endian.h"

namespace qp {

namespace fs = std::filesystem;

namespace {

// Creates a new, empty file with a name nobody else holds; empty path on failure.
fs::path reserveTemporaryFile(std::string_view extension) {
    static std::atomic<unsigned> counter{0};
    std::error_code ec;
    fs::path directory = fs::temp_directory_path(ec);
    if (ec) return {};
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = directory / (temporaryFilePrefix() + std::to_string(counter++) + "-" +
                                          std::to_string(random() & 0xFFFFFF) + std::string(extension));
        int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            close(fd);
            return candidate;
        }
        if (errno != EEXIST) return {};
    }
    return {};
}

}  // namespace

std::string temporaryFilePrefix() { return "quillpress-" + std::to_string(getpid()) + "-"; }

TempRecordStore::TempRecordStore(std::string_view extension) {
    path_ = reserveTemporaryFile(extension);
    ok_ = !path_.empty() && database_.create(path_, fourCc("TEMP"), fourCc("KOVA"));
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
