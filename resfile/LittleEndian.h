// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Little-endian fields at any offset of a byte buffer. Read and written byte by byte, so they
// need no alignment and give the same result on every host.

#include <cstdint>

namespace le {

inline constexpr unsigned kByteBits = 8;

constexpr std::uint16_t Read16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << kByteBits);
}

constexpr std::uint32_t Read32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(Read16(bytes)) | static_cast<std::uint32_t>(Read16(bytes + 2))
                                                           << (2 * kByteBits);
}

constexpr void Write16(std::uint8_t* bytes, std::uint16_t value) {
    bytes[0] = static_cast<std::uint8_t>(value);
    bytes[1] = static_cast<std::uint8_t>(value >> kByteBits);
}

constexpr void Write32(std::uint8_t* bytes, std::uint32_t value) {
    Write16(bytes, static_cast<std::uint16_t>(value));
    Write16(bytes + 2, static_cast<std::uint16_t>(value >> (2 * kByteBits)));
}

} // namespace le
