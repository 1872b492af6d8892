// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/text_records.h"

namespace qp {

namespace {

struct SizeStep {
    uint64_t plainBelow;
    uint64_t huffmanBelow;
    uint32_t recordSize;
};

constexpr SizeStep kSizeSteps[] = {
    {251658240, 220200960, 4096},
    {503316480, 461373440, 8192},
    {1006632960, 943718400, 16384},
    {1992294400, 1887436800, 32768},
};

constexpr uint32_t kLargestRecordSize = 61440;

}  // namespace

uint32_t nominalRecordSize(uint64_t textLength, Compression compression) {
    for (const SizeStep& step : kSizeSteps) {
        uint64_t below = compression == Compression::Huffman ? step.huffmanBelow : step.plainBelow;
        if (textLength < below) return step.recordSize;
    }
    return kLargestRecordSize;
}

}  // namespace qp
