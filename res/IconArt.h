// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Icon group 118, drawn here: a floppy disk with a compact disc in front of it, in a 256-colour
// palette, at 16 x 16 and 32 x 32 pixels.

#include "platform/fw/ProgramResources.h"

#include <array>
#include <cstdint>
#include <vector>

namespace res {

inline constexpr int kIconColours = 256;
/// Palette index of a transparent pixel (black in the colour table, masked out).
inline constexpr std::uint8_t kTransparentIndex = 0;

/// A square picture of palette indices, top row first.
struct IndexedImage {
    int size = 0;
    std::array<std::uint32_t, kIconColours> palette{}; ///< 0x00RRGGBB
    std::vector<std::uint8_t> indices;
};

/// The icon at 16 x 16 and at 32 x 32 pixels, in that order.
std::vector<IndexedImage> DrawMainIconGroup();

/// image as 0xAARRGGBB pixels: opaque, or fully transparent for kTransparentIndex.
fw::Image ToImage(const IndexedImage& image);

} // namespace res
