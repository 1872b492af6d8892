// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/datp_records.h"

#include <algorithm>

#include "core/big_endian.h"

namespace qp {

namespace {

constexpr uint8_t kSparseShift = 4;  // a sparse offset for every 16 text records

}  // namespace

std::vector<std::vector<uint8_t>> datpRecords(const std::vector<uint32_t>& textLengths) {
    const size_t count = (textLengths.size() + kTextRecordsPerDatp - 1) / kTextRecordsPerDatp;
    std::vector<uint64_t> starts(textLengths.size() + 1, 0);
    for (size_t i = 0; i < textLengths.size(); ++i) starts[i + 1] = starts[i] + textLengths[i];

    std::vector<std::vector<uint8_t>> records;
    size_t firstTable = 0;  // where the first record's table of record starts begins
    for (size_t r = 0; r < count; ++r) {
        const size_t first = r * kTextRecordsPerDatp;
        const size_t described = std::min(kTextRecordsPerDatp, textLengths.size() - first);
        std::vector<uint8_t> record{'D', 'A', 'T', 'P'};
        appendBigEndian32(record, 12);
        record.push_back(static_cast<uint8_t>(count));
        record.push_back(kSparseShift);
        appendBigEndian16(record, static_cast<uint16_t>(described));
        if (r == 0) {
            firstTable = record.size();
            record.resize(record.size() + 4 * count, 0);  // filled once every record is laid out
        }
        for (size_t i = 0; i < described; i += size_t{1} << kSparseShift)
            appendBigEndian32(record, static_cast<uint32_t>(starts[first + i]));
        for (size_t i = 0; i < described; ++i) appendBigEndian16(record, static_cast<uint16_t>(textLengths[first + i]));
        while (record.size() % 4 != 0) record.push_back(0);
        records.push_back(std::move(record));
    }
    for (size_t r = 0; r < count; ++r)
        putBigEndian32(&records[0][firstTable + 4 * r], static_cast<uint32_t>(starts[r * kTextRecordsPerDatp]));
    return records;
}

}  // namespace qp
