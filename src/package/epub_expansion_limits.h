// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bounds on what an archive may expand to, so that a small hostile file cannot fill the disk.
//
// Both the sizes the archive declares and the bytes actually inflated are held to the same bounds: 2 GiB for
// all entries together, and a compression ratio of at most 1,000 for any entry larger than 1 MiB. Declared
// sizes are checked before anything is written; inflated bytes are counted as they come, because declared
// sizes can lie. An archive may hold at most 50,000 entries, so that it cannot exhaust the file system's
// inodes with empty files either.
#include <cstddef>
#include <cstdint>

namespace qp {

class ExpansionLimits {
public:
    static constexpr uint64_t kMaxTotalBytes = uint64_t{2} << 30;
    static constexpr uint64_t kRatioFreeBytes = uint64_t{1} << 20;
    static constexpr uint64_t kMaxRatio = 1000;
    static constexpr size_t kMaxEntries = 50'000;

    // One entry's declared sizes, added to the declared total. False when a bound is broken.
    bool declare(uint64_t uncompressedSize, uint64_t compressedSize);
    // Bytes inflated for the current entry (which has `compressedSize` stored bytes), added to the
    // inflated total. False when a bound is broken.
    bool inflated(uint64_t bytes, uint64_t entryBytesSoFar, uint64_t compressedSize);

    uint64_t declaredTotal() const { return declaredTotal_; }
    uint64_t inflatedTotal() const { return inflatedTotal_; }

    // True when an entry of these sizes expands beyond the ratio bound.
    static bool ratioExceeded(uint64_t uncompressedSize, uint64_t compressedSize);

private:
    uint64_t declaredTotal_ = 0;
    uint64_t inflatedTotal_ = 0;
};

}  // namespace qp
