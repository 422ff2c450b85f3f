// SPDX-License-Identifier: GPL-2.0-or-later
// Checks a BMP file image field by field before any of it reaches the platform. The image sits
// in a container buffer at no particular alignment (its information header starts at byte 14),
// so every field is decoded byte-wise and the information block is copied to aligned storage
// before the platform sees it.

#include "resfile/Bitmap.h"

#include "resfile/LittleEndian.h"

#include <algorithm>
#include <array>
#include <cstring>

using namespace win;

namespace bmp {
namespace {

// Fields of the information header, counted from the start of the image.
constexpr std::size_t kInfoSizeField = kFileHeaderSize + 0;
constexpr std::size_t kWidthField = kFileHeaderSize + 4;
constexpr std::size_t kHeightField = kFileHeaderSize + 8;
constexpr std::size_t kPlanesField = kFileHeaderSize + 12;
constexpr std::size_t kBitCountField = kFileHeaderSize + 14;
constexpr std::size_t kCompressionField = kFileHeaderSize + 16;
constexpr std::size_t kColoursUsedField = kFileHeaderSize + 32;

constexpr std::array<std::uint8_t, 2> kSignature = {'B', 'M'};
constexpr std::array<std::uint32_t, 5> kInfoHeaderSizes = {40, 52, 56, 108, 124};
constexpr std::array<std::uint16_t, 6> kBitCounts = {1, 4, 8, 16, 24, 32};
constexpr std::uint16_t kPlanes = 1;
constexpr std::uint16_t kMaxIndexedBits = 8;
constexpr std::uint16_t kBitfieldBits16 = 16;
constexpr std::uint16_t kBitfieldBits32 = 32;
constexpr std::uint64_t kRowAlignBits = 32;
constexpr std::uint64_t kRowAlignBytes = 4;

// The largest information block: the longest header (sizes ascending) and a full colour table;
// the masks of a header longer than 40 bytes lie inside it.
constexpr std::size_t kMaxInfoSize = kInfoHeaderSizes.back() + kMaxTableColours * kColourBytes;

template <std::size_t N, typename T> bool OneOf(const std::array<T, N>& values, T value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

std::int32_t ReadSigned32(const std::uint8_t* bytes) {
    return static_cast<std::int32_t>(le::Read32(bytes));
}

} // namespace

Fault CheckImage(std::span<const std::uint8_t> image, Layout* layout) {
    const std::uint8_t* bytes = image.data();
    const std::uint64_t size = image.size();
    if (size < kFileHeaderSize)
        return Fault::TooShort;
    if (!std::equal(kSignature.begin(), kSignature.end(), bytes))
        return Fault::BadSignature;
    if (size < kFileHeaderSize + kInfoHeaderMinSize)
        return Fault::TooShort;

    const std::uint32_t infoHeaderSize = le::Read32(bytes + kInfoSizeField);
    if (!OneOf(kInfoHeaderSizes, infoHeaderSize))
        return Fault::BadInfoHeaderSize;
    if (kFileHeaderSize + infoHeaderSize > size)
        return Fault::InfoHeaderOutside;

    const std::int64_t width = ReadSigned32(bytes + kWidthField);
    const std::int64_t height = ReadSigned32(bytes + kHeightField);
    const std::int64_t rows = height < 0 ? -height : height;
    if (width <= 0 || width > kMaxDimension || rows == 0 || rows > kMaxDimension)
        return Fault::BadDimensions;
    if (le::Read16(bytes + kPlanesField) != kPlanes)
        return Fault::BadPlanes;
    const std::uint16_t bitCount = le::Read16(bytes + kBitCountField);
    if (!OneOf(kBitCounts, bitCount))
        return Fault::BadBitCount;

    const std::uint32_t compression = le::Read32(bytes + kCompressionField);
    const bool bitfields = compression == BI_BITFIELDS;
    if (bitfields ? bitCount != kBitfieldBits16 && bitCount != kBitfieldBits32
                  : compression != BI_RGB)
        return Fault::BadCompression;

    // An indexed format takes at most 2^bits colours, 0 meaning all of them; a direct one may
    // carry a table that the platform is free to read too.
    const bool indexed = bitCount <= kMaxIndexedBits;
    const std::uint32_t maxColours = indexed ? 1u << bitCount : kMaxTableColours;
    const std::uint32_t coloursUsed = le::Read32(bytes + kColoursUsedField);
    if (coloursUsed > maxColours)
        return Fault::BadColourCount;
    const std::uint32_t colours = coloursUsed == 0 && indexed ? maxColours : coloursUsed;

    // The masks of a 40-byte header follow it; longer headers hold them.
    const std::uint64_t headerAndMasks =
        std::max<std::uint64_t>(infoHeaderSize, bitfields ? kInfoHeaderMinSize + kMaskBytes : 0);
    const std::uint64_t infoSize = headerAndMasks + std::uint64_t{colours} * kColourBytes;
    if (kFileHeaderSize + infoSize > size)
        return Fault::ColourTableOutside;

    const std::uint64_t pixelOffset = le::Read32(bytes + kPixelOffsetField);
    if (pixelOffset < kFileHeaderSize + infoSize)
        return Fault::BadPixelOffset;
    const std::uint64_t rowBytes =
        (static_cast<std::uint64_t>(width) * bitCount + kRowAlignBits - 1) / kRowAlignBits *
        kRowAlignBytes;
    const std::uint64_t pixelSize = rowBytes * static_cast<std::uint64_t>(rows);
    if (pixelOffset > size || pixelSize > size - pixelOffset)
        return Fault::PixelsOutside;

    if (layout)
        *layout = {static_cast<std::size_t>(infoSize), static_cast<std::size_t>(pixelOffset),
                   static_cast<std::size_t>(pixelSize)};
    return Fault::None;
}

HBITMAP CreatePicture(std::span<const std::uint8_t> image) {
    Layout layout;
    if (CheckImage(image, &layout) != Fault::None)
        return nullptr;

    alignas(BITMAPINFO) std::array<std::uint8_t, kMaxInfoSize> info{};
    std::memcpy(info.data(), image.data() + kFileHeaderSize, layout.infoSize);
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(info.data());
    const auto* bitmapInfo = reinterpret_cast<const BITMAPINFO*>(info.data());

    HDC screen = GetDC(nullptr);
    if (!screen)
        return nullptr;
    HBITMAP picture = CreateDIBitmap(screen, header, CBM_INIT, image.data() + layout.pixelOffset,
                                     bitmapInfo, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return picture;
}

} // namespace bmp
