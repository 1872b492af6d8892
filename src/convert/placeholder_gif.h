// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The built-in picture stored in place of an image that is missing or cannot be used: a small framed
// landscape struck through, drawn here and padded with a comment block to a fixed size.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qp {

constexpr size_t kPlaceholderGifSize = 1'540;
constexpr int kPlaceholderWidth = 80;
constexpr int kPlaceholderHeight = 60;

// The GIF bytes (made once, on first use).
const std::vector<uint8_t>& placeholderGif();

}  // namespace qp
