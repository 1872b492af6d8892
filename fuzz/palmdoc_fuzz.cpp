// SPDX-License-Identifier: GPL-3.0-or-later
// Compresses arbitrary bytes as one text record; the book reader's decoder must give them back, and the
// bytes must equal those of the plain reference transcription.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "compress/palmdoc.h"
#include "palmdoc_decoder.h"
#include "palmdoc_reference.h"

namespace {

// Larger than any text record; the reference's plain scan stays affordable below this.
constexpr size_t maxInput = 16384;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > maxInput) return -1;
    const std::vector<uint8_t> compressed = qp::palmdocCompress(data, size);
    if (size != 0 && compressed.empty()) return 0;  // out of memory

    const auto expanded = kova::palmdocDecode(compressed.data(), compressed.size());
    if (!expanded || expanded->size() != size || !std::equal(expanded->begin(), expanded->end(), data)) {
        std::abort();
    }
    if (compressed != palmdocref::compress(data, size)) std::abort();
    return 0;
}
