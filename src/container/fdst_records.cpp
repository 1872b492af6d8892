// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/fdst_records.h"

#include <algorithm>

#include "core/big_endian.h"

namespace qp {

namespace {

constexpr size_t kFramesRecordLimit = 62000;
constexpr size_t kHeaderLength = 12;

}  // namespace

std::vector<std::vector<uint8_t>> fdstRecords(const std::vector<TextSection>& sections) {
    if (sections.size() <= 1) return {};
    const size_t pairBytes = 8 * sections.size();
    const size_t count =
        kHeaderLength + pairBytes < kFramesRecordLimit
            ? 1
            : (pairBytes + kFramesRecordLimit - kHeaderLength - 1) / (kFramesRecordLimit - kHeaderLength);
    const size_t share = (sections.size() + count - 1) / count;
    std::vector<std::vector<uint8_t>> records;
    for (size_t first = 0; first < sections.size(); first += share) {
        const size_t last = std::min(sections.size(), first + share);
        std::vector<uint8_t> record{'F', 'D', 'S', 'T'};
        appendBigEndian32(record, kHeaderLength);
        appendBigEndian32(record, static_cast<uint32_t>(last - first));
        for (size_t i = first; i < last; ++i) {
            appendBigEndian32(record, sections[i].start);
            appendBigEndian32(record, sections[i].end);
        }
        records.push_back(std::move(record));
    }
    return records;
}

}  // namespace qp
