// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Builds BMP file images for tests: any supported depth, bottom-up or top-down, with a colour
// table for the indexed depths and bit masks for BI_BITFIELDS. Pixels are given top row first as
// the value stored for them: a colour index (1, 4, 8 bits), the 16- or 32-bit word, or 0xRRGGBB
// for 24 bits. The image is laid out as a writer would: file header, information header, masks
// (behind a 40-byte header), colour table, then the pixel rows padded to 4 bytes.
//
//   const auto image = test::BmpBuilder(24, 2, 2).fill(0x00FF00).bytes();

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace test {

/// Offsets of the fields a test may want to falsify.
namespace bmpfield {
inline constexpr std::size_t kSignature = 0;
inline constexpr std::size_t kPixelOffset = 10;
inline constexpr std::size_t kInfoSize = 14;
inline constexpr std::size_t kWidth = 18;
inline constexpr std::size_t kHeight = 22;
inline constexpr std::size_t kPlanes = 26;
inline constexpr std::size_t kBitCount = 28;
inline constexpr std::size_t kCompression = 30;
inline constexpr std::size_t kColoursUsed = 46;
} // namespace bmpfield

class BmpBuilder {
public:
    BmpBuilder(unsigned bitsPerPixel, int width, int height);

    /// Rows stored top row first (a negative height).
    BmpBuilder& topDown(bool value = true);
    /// The colour table, 0xRRGGBB each; its length becomes biClrUsed. Indexed depths default to
    /// a full grey ramp.
    BmpBuilder& palette(std::vector<std::uint32_t> colours);
    /// BI_BITFIELDS with these masks (16 and 32 bits per pixel).
    BmpBuilder& bitfields(std::uint32_t red, std::uint32_t green, std::uint32_t blue);
    /// 40 (default), 52, 56, 108 or 124.
    BmpBuilder& infoHeaderSize(std::uint32_t size);
    /// Stored value of the pixel at column x of row y (row 0 on top).
    BmpBuilder& pixel(int x, int y, std::uint32_t value);
    BmpBuilder& fill(std::uint32_t value);

    std::vector<std::uint8_t> bytes() const;

private:
    unsigned bits_;
    int width_;
    int height_;
    bool topDown_ = false;
    std::uint32_t infoSize_ = 40;
    std::vector<std::uint32_t> palette_;
    std::optional<std::array<std::uint32_t, 3>> masks_;
    std::vector<std::uint32_t> pixels_;
};

} // namespace test
