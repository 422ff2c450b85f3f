// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The dialog picture: a BMP file image taken from the container. The container is untrusted, so
// the image is checked before the platform builds a picture from it: every part the platform
// reads (information header, bit masks, colour table, pixel array) must lie inside the image.

#include "platform/Gdi.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace bmp {

inline constexpr std::size_t kFileHeaderSize = 14;     ///< "BM", file size, reserved, pixel offset
inline constexpr std::size_t kPixelOffsetField = 10;   ///< offset of the pixel array in the image
inline constexpr std::size_t kInfoHeaderMinSize = 40;  ///< BITMAPINFOHEADER
inline constexpr std::size_t kMaskBytes = 3 * 4;       ///< red, green and blue bit masks
inline constexpr std::size_t kColourBytes = 4;         ///< one RGBQUAD
inline constexpr std::uint32_t kMaxTableColours = 256; ///< longest colour table taken
inline constexpr std::int32_t kMaxDimension = 16384;   ///< widest and tallest picture taken

/// Why an image is refused; None when it can be shown.
enum class Fault {
    None,
    TooShort,           ///< shorter than the file header plus a BITMAPINFOHEADER
    BadSignature,       ///< does not begin with "BM"
    BadInfoHeaderSize,  ///< an information header other than 40, 52, 56, 108 or 124 bytes
    InfoHeaderOutside,  ///< the information header runs past the end of the image
    BadDimensions,      ///< width not in 1..16384, height 0 or beyond +-16384
    BadPlanes,          ///< planes other than 1
    BadBitCount,        ///< bits per pixel other than 1, 4, 8, 16, 24, 32
    BadCompression,     ///< neither BI_RGB nor BI_BITFIELDS at 16 or 32 bits per pixel
    BadColourCount,     ///< more colours than the pixel format can index (or than 256)
    ColourTableOutside, ///< bit masks or colour table run past the end of the image
    BadPixelOffset,     ///< pixel array starts inside the headers or the colour table
    PixelsOutside,      ///< pixel array runs past the end of the image
};

/// Where the parts of a checked image lie.
struct Layout {
    std::size_t infoSize = 0;    ///< information header, masks and colour table, from byte 14
    std::size_t pixelOffset = 0; ///< first byte of the pixel array
    std::size_t pixelSize = 0;   ///< bytes of the pixel array: |height| rows padded to 4 bytes
};

/// Checks a BMP file image without reading outside it. Fills *layout (may be null) when the
/// result is Fault::None.
Fault CheckImage(std::span<const std::uint8_t> image, Layout* layout);

/// Builds the screen picture from a BMP file image that passes CheckImage; null when it does not,
/// or when the platform cannot build it. The caller owns the picture (DeleteObject).
win::HBITMAP CreatePicture(std::span<const std::uint8_t> image);

} // namespace bmp
