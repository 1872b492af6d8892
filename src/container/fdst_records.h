// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// FDST records: the text's sections (one per content file) as pairs of start and end offsets. "FDST",
// 12 (header length), the number of sections in the record, then the pairs. A record holds at most 62,000
// bytes; more sections are shared out evenly over ceil(8 x sections / 61,988) records. With one section or
// none there is no FDST record.
#include <cstdint>
#include <vector>

namespace qp {

struct TextSection {
    uint32_t start = 0;
    uint32_t end = 0;
};

std::vector<std::vector<uint8_t>> fdstRecords(const std::vector<TextSection>& sections);

}  // namespace qp
