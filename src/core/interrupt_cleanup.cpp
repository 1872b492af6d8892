// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/interrupt_cleanup.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>

namespace qp {

namespace {

// The handler may only read what is complete: a slot is claimed, filled, then published.
enum SlotState : int { kFree, kFilling, kPublished };

struct Slot {
    std::atomic<int> state{kFree};
    CleanupKind kind = CleanupKind::File;
    char path[PATH_MAX] = {};
};

// A build holds about a dozen temporary paths at a time.
std::array<Slot, 64> slots;

constexpr int kMaxTreeDepth = 128;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Removes the entry `name` below the directory `parent`: a directory with its contents, anything else
// itself. Only system calls, so that it can run in a signal handler.
void removeEntry(int parent, const char* name, int depth) {
    if (::unlinkat(parent, name, 0) == 0) return;
    const int directory = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (directory < 0) return;
    if (depth < kMaxTreeDepth) {
        alignas(8) char buffer[2048];
        // Entries are removed while the directory is read, so it is read again from the start until empty.
        for (bool removedAny = true; removedAny;) {
            removedAny = false;
            ::lseek(directory, 0, SEEK_SET);
            for (;;) {
                const long length = ::syscall(SYS_getdents64, directory, buffer, sizeof buffer);
                if (length <= 0) break;
                for (long offset = 0; offset < length;) {
                    const auto* entry = reinterpret_cast<const dirent64*>(buffer + offset);
                    offset += entry->d_reclen;
                    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
                    removeEntry(directory, entry->d_name, depth + 1);
                    removedAny = true;
                }
            }
        }
    }
    ::close(directory);
    ::unlinkat(parent, name, AT_REMOVEDIR);
}

extern "C" void onInterrupt(int signal) {
    const int savedErrno = errno;
    removeRegisteredPaths();
    errno = savedErrno;
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

}  // namespace

CleanupRegistration::CleanupRegistration(const std::string& path, CleanupKind kind) {
    if (path.empty() || path.size() >= PATH_MAX) return;
    for (size_t i = 0; i < slots.size(); ++i) {
        int expected = kFree;
        if (!slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
        slots[i].kind = kind;
        std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
        slots[i].state.store(kPublished);
        slot_ = static_cast<int>(i);
        return;
    }
}

CleanupRegistration& CleanupRegistration::operator=(CleanupRegistration&& other) noexcept {
    if (this != &other) {
        reset();
        slot_ = other.slot_;
        other.slot_ = -1;
    }
    return *this;
}

void CleanupRegistration::reset() {
    if (slot_ < 0) return;
    slots[static_cast<size_t>(slot_)].state.store(kFree);
    slot_ = -1;
}

void removeRegisteredPaths() {
    for (Slot& slot : slots) {
        if (slot.state.load() != kPublished) continue;
        if (slot.kind == CleanupKind::File) {
            ::unlink(slot.path);
        } else {
            removeEntry(AT_FDCWD, slot.path, 0);
        }
    }
}

void installInterruptCleanup() {
    for (int signal : kSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
        struct sigaction handler {};
        handler.sa_handler = onInterrupt;
        sigemptyset(&handler.sa_mask);
        for (int other : kSignals) sigaddset(&handler.sa_mask, other);
        ::sigaction(signal, &handler, nullptr);
    }
}

}  // namespace qp
