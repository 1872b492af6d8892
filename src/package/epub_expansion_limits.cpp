// SPDX-License-Identifier: GPL-3.0-or-later
#include "package/epub_expansion_limits.h"

namespace qp {

bool ExpansionLimits::ratioExceeded(uint64_t uncompressedSize, uint64_t compressedSize) {
    if (uncompressedSize <= kRatioFreeBytes) return false;
    // Divided rather than multiplied, so that no declared size can overflow the comparison.
    uint64_t allowedCompressed = uncompressedSize / kMaxRatio;
    return compressedSize < allowedCompressed ||
           (compressedSize == allowedCompressed && uncompressedSize % kMaxRatio != 0);
}

bool ExpansionLimits::declare(uint64_t uncompressedSize, uint64_t compressedSize) {
    if (uncompressedSize > kMaxTotalBytes - declaredTotal_) return false;
    declaredTotal_ += uncompressedSize;
    return !ratioExceeded(uncompressedSize, compressedSize);
}

bool ExpansionLimits::inflated(uint64_t bytes, uint64_t entryBytesSoFar, uint64_t compressedSize) {
    if (bytes > kMaxTotalBytes - inflatedTotal_) return false;
    inflatedTotal_ += bytes;
    return !ratioExceeded(entryBytesSoFar, compressedSize);
}

}  // namespace qp
