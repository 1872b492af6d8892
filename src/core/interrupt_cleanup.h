// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files and directories that must not outlive an interrupted build. Their owners remove them in the normal
// course of things; when SIGINT, SIGTERM, SIGHUP or SIGQUIT ends the process, the handler removes whatever
// is still registered, then lets the signal end the process as it would have.
#include <string>

namespace qp {

enum class CleanupKind {
    File,  // unlinked
    Tree,  // a directory, removed with everything below it (links are removed, never followed)
};

// Registers a path for as long as the object lives (or until reset).
class CleanupRegistration {
public:
    CleanupRegistration() = default;
    CleanupRegistration(const std::string& path, CleanupKind kind);
    ~CleanupRegistration() { reset(); }
    CleanupRegistration(CleanupRegistration&& other) noexcept : slot_(other.slot_) { other.slot_ = -1; }
    CleanupRegistration& operator=(CleanupRegistration&& other) noexcept;
    CleanupRegistration(const CleanupRegistration&) = delete;
    CleanupRegistration& operator=(const CleanupRegistration&) = delete;

    // Drops the registration; call it once the owner has removed the path itself.
    void reset();
    bool active() const { return slot_ >= 0; }

private:
    int slot_ = -1;
};

// Installs the handler for the signals that a signal disposition of "ignore" does not already cover.
void installInterruptCleanup();

// Removes every registered path now, as the handler does (async-signal-safe).
void removeRegisteredPaths();

}  // namespace qp
