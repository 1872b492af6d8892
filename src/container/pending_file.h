// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file that replaces its target only once it has been written completely: the bytes go to a fresh file
// beside the target, which is renamed over the target after a successful write. Until then the target is
// untouched; the side file is removed when the object goes away uncommitted.
#include <cstdint>
#include <filesystem>
#include <span>

#include "core/interrupt_cleanup.h"

namespace qp {

class PendingFile {
public:
    PendingFile() = default;
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Checks that the target can be replaced (an existing target must be a writable file) and creates the
    // side file in the target's directory. False when either fails.
    bool begin(const std::filesystem::path& target);
    // Appends bytes to the side file. False (and the side file removed) when they cannot all be written.
    bool append(std::span<const uint8_t> bytes);
    // Flushes the side file to the disk, then renames it over the target. False (and the side file removed,
    // the target untouched) when either fails.
    bool commit();
    // Removes the side file, if any.
    void abandon();

    bool active() const { return fd_ >= 0; }
    const std::filesystem::path& sidePath() const { return sidePath_; }
    // Scratch files (temporary stores) need not reach the disk before they are renamed.
    void setDurable(bool durable) { durable_ = durable; }
    // The errno value of the last failure, 0 when the system gave none.
    int systemError() const { return systemError_; }

private:
    bool failWith(int error);

    std::filesystem::path target_;
    std::filesystem::path sidePath_;
    int fd_ = -1;
    int systemError_ = 0;
    bool durable_ = true;
    CleanupRegistration cleanup_;
};

}  // namespace qp
