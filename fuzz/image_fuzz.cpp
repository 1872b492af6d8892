// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for image fitting: the first byte picks the image mode, the JPEG switch and whether a
// thumbnail is made; the rest is the image file.
#include <cstddef>
#include <cstdint>
#include <span>

#include "convert/image_fit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t selector = data[0];
    const qp::FitOptions options =
        qp::fitOptionsForMode(static_cast<qp::ImageMode>(selector % 3), (selector & 0x04) == 0);
    const std::span<const uint8_t> file(data + 1, size - 1);
    if (selector & 0x08) {
        qp::makeThumbnail(file, 240, 240, (selector & 0x10) == 0, options);
    } else {
        qp::fitImage(file, options);
    }
    return 0;
}
