// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The one El Torito boot record the disc master builds: a 1.44 MB diskette emulation for 80x86
// PCs, with El Torito's numbers for both.

#include <cstdint>

namespace platform::layer {

inline constexpr std::uint8_t kPlatform80x86 = 0;
inline constexpr std::uint8_t kMediaFloppy144 = 2;
inline constexpr std::uint64_t kBootFloppyBytes = 1474560;

} // namespace platform::layer
