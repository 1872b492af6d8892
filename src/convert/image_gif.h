// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// GIF decoding and encoding on giflib; animations are kept as whole-canvas frames.
#include <cstdint>
#include <span>
#include <vector>

#include "convert/image_picture.h"

namespace qp {

// Decodes every frame of a GIF, composing each on the canvas with the previous frame's disposal.
ImageFault decodeGif(std::span<const uint8_t> file, DecodedImage& image);

// Encodes the frames (all of one size) as a GIF89a; more than one frame makes an animation that loops
// loopCount times (0 = for ever; -1 writes no repeat block, so it plays once) with each frame's delay.
ImageFault encodeGif(const std::vector<AnimationFrame>& frames, int loopCount, std::vector<uint8_t>& out);

}  // namespace qp
