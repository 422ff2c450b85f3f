// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The .ico file of an icon group: a directory, then per image a BITMAPINFOHEADER (of double
// height), the colour table, the 8-bit pixels and the 1-bit transparency mask, rows bottom-up.

#include "res/IconArt.h"

#include <cstdint>
#include <span>
#include <vector>

namespace res {

std::vector<std::uint8_t> EncodeIcoFile(std::span<const IndexedImage> images);

} // namespace res
