// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// DATP records of a Huffman-compressed book: where each text record's text starts, for readers that seek by
// text offset. Each record describes up to 27,312 text records:
//   "DATP", 12 (header length), the number of DATP records (1 byte), 4 (one sparse offset per 2^4 records,
//   1 byte), d: the text records it describes (2 bytes);
//   in the first record only, the text offset at which each DATP record's first text record starts;
//   the text offset of its text records 0, 16, 32, ...; the uncompressed length of each of its text records;
//   zero bytes to a multiple of 4.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qp {

constexpr size_t kTextRecordsPerDatp = 27312;

// The DATP records for text records of these uncompressed lengths.
std::vector<std::vector<uint8_t>> datpRecords(const std::vector<uint32_t>& textLengths);

}  // namespace qp
