// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// PalmDOC compression: literals, pairs "space + character", and back-references of 3 to 10 bytes at
// distances up to 2,047 within one text record.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qp {

// Compresses one text record (at most 4,096 bytes in practice; any length below 4 GiB is accepted).
// Every record stands alone: it decompresses to exactly its input. An empty result for a non-empty
// input means the input was 4 GiB or more or the working memory could not be had.
std::vector<uint8_t> palmdocCompress(const uint8_t* data, size_t size);

}  // namespace qp
