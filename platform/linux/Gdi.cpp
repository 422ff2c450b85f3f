// SPDX-License-Identifier: GPL-2.0-or-later
// Pictures of the Linux layer: one screen device context, and bitmaps decoded from device-
// independent bitmap information into 0xAARRGGBB pixels, top row first. The caller vouches for
// the sizes of the colour table and pixel data (they are checked above the seam); what is
// decided here is only whether the format is one this decoder knows. The information block may
// lie at any alignment, so its fields are copied out rather than read in place.

#include "platform/Gdi.h"

#include "platform/Lock.h"
#include "platform/NoDestructor.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <unordered_set>

namespace win {
/// The layer has one device context: the screen's. It carries no state.
struct DeviceContextObject {};
} // namespace win

namespace {
using namespace win;

constexpr std::array<DWORD, 5> kInfoHeaderSizes = {40, 52, 56, 108, 124};
constexpr std::array<WORD, 6> kBitCounts = {1, 4, 8, 16, 24, 32};
constexpr std::size_t kMasksOffset = sizeof(BITMAPINFOHEADER);
constexpr std::size_t kMaskCount = 3;
constexpr std::size_t kColourBytes = sizeof(RGBQUAD);
constexpr WORD kPlanes = 1;
constexpr unsigned kByteBits = 8;
constexpr unsigned kMaxIndexedBits = 8;
constexpr unsigned kBits16 = 16;
constexpr unsigned kBits24 = 24;
constexpr unsigned kBits32 = 32;
constexpr std::uint64_t kRowAlignBits = 32;
constexpr std::uint64_t kRowAlignBytes = 4;
/// The largest picture the layer builds: 2^28 pixels (1 GiB decoded).
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 28;

constexpr std::uint32_t kOpaque = 0xFF000000u;
constexpr std::uint32_t kChannelMax = 0xFF;
constexpr unsigned kRedShift = 16;
constexpr unsigned kGreenShift = 8;

using Masks = std::array<std::uint32_t, kMaskCount>; // red, green, blue
constexpr Masks kMasks555 = {0x7C00, 0x03E0, 0x001F};
constexpr Masks kMasks888 = {0x00FF0000, 0x0000FF00, 0x000000FF};

DeviceContextObject& Screen() {
    static DeviceContextObject screen;
    return screen;
}

// Bitmaps made and not yet deleted: DeleteObject refuses anything else, as GDI refuses a handle
// that is not one of its objects.
class LiveBitmaps {
public:
    void add(BitmapObject* bitmap) {
        platform::LockGuard hold(lock_);
        bitmaps_.insert(bitmap);
    }
    bool remove(void* object) {
        platform::LockGuard hold(lock_);
        return bitmaps_.erase(static_cast<BitmapObject*>(object)) != 0;
    }

private:
    platform::Lock lock_;
    std::unordered_set<BitmapObject*> bitmaps_;
};

LiveBitmaps& Live() {
    // Never destroyed: a picture may be released during the process's own end.
    static platform::NoDestructor<LiveBitmaps> live;
    return live.get();
}

// What the decoder needs to know about the pixel data.
struct PixelFormat {
    std::int64_t width = 0;
    std::int64_t rows = 0;
    bool topDown = false;
    unsigned bitCount = 0;
    Masks masks{};                         // 16 and 32 bits per pixel
    const std::uint8_t* colours = nullptr; // indexed formats
    std::uint32_t colourCount = 0;
    std::uint64_t rowBytes = 0;
};

BITMAPINFOHEADER CopyHeader(const void* at) {
    BITMAPINFOHEADER header;
    std::memcpy(&header, at, sizeof header);
    return header;
}

template <typename T, std::size_t N> bool OneOf(const std::array<T, N>& values, T value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

std::optional<PixelFormat> ReadFormat(const BITMAPINFOHEADER* target, const BITMAPINFO* info) {
    const BITMAPINFOHEADER picture = CopyHeader(target);
    const BITMAPINFOHEADER header = CopyHeader(info);
    const auto* infoBytes = reinterpret_cast<const std::uint8_t*>(info);
    if (!OneOf(kInfoHeaderSizes, header.biSize) || picture.biWidth != header.biWidth ||
        picture.biHeight != header.biHeight)
        return std::nullopt;

    PixelFormat format;
    format.width = header.biWidth;
    format.rows = header.biHeight < 0 ? -std::int64_t{header.biHeight} : header.biHeight;
    format.topDown = header.biHeight < 0;
    format.bitCount = header.biBitCount;
    if (format.width <= 0 || format.rows == 0 ||
        static_cast<std::uint64_t>(format.width) * static_cast<std::uint64_t>(format.rows) >
            kMaxPixels ||
        header.biPlanes != kPlanes || !OneOf(kBitCounts, header.biBitCount))
        return std::nullopt;

    const bool direct = format.bitCount == kBits16 || format.bitCount == kBits32;
    const bool bitfields = header.biCompression == BI_BITFIELDS;
    if (bitfields ? !direct : header.biCompression != BI_RGB)
        return std::nullopt;
    if (bitfields)
        std::memcpy(format.masks.data(), infoBytes + kMasksOffset, sizeof format.masks);
    else if (direct)
        format.masks = format.bitCount == kBits16 ? kMasks555 : kMasks888;

    if (format.bitCount <= kMaxIndexedBits) {
        const std::uint32_t full = 1u << format.bitCount;
        format.colourCount = header.biClrUsed == 0 ? full : std::min(header.biClrUsed, full);
        format.colours = infoBytes + header.biSize; // no masks before it: not bitfields
    }
    format.rowBytes =
        (static_cast<std::uint64_t>(format.width) * format.bitCount + kRowAlignBits - 1) /
        kRowAlignBits * kRowAlignBytes;
    return format;
}

// A channel under its mask, scaled to 0..255 (rounded); a zero mask gives 0.
std::uint32_t Channel(std::uint32_t value, std::uint32_t mask) {
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const std::uint64_t top = mask >> shift;
    const std::uint64_t part = (value & mask) >> shift;
    return static_cast<std::uint32_t>((part * kChannelMax + top / 2) / top);
}

std::uint32_t Argb(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return kOpaque | red << kRedShift | green << kGreenShift | blue;
}

std::uint32_t LittleEndian(const std::uint8_t* bytes, unsigned count) {
    std::uint32_t value = 0;
    for (unsigned i = count; i-- > 0;)
        value = value << kByteBits | bytes[i];
    return value;
}

std::uint32_t DecodePixel(const PixelFormat& format, const std::uint8_t* row, std::uint64_t x) {
    if (format.bitCount <= kMaxIndexedBits) {
        // Indexed pixels are packed from the most significant bit of each byte.
        const std::uint64_t bit = x * format.bitCount;
        const unsigned shift = kByteBits - format.bitCount - static_cast<unsigned>(bit % kByteBits);
        const std::uint32_t index = (row[bit / kByteBits] >> shift) & ((1u << format.bitCount) - 1);
        if (index >= format.colourCount)
            return kOpaque;
        // An RGBQUAD: blue, green, red, reserved.
        const std::uint8_t* colour = format.colours + std::size_t{index} * kColourBytes;
        return Argb(colour[2], colour[1], colour[0]);
    }
    const unsigned pixelBytes = format.bitCount / kByteBits;
    const std::uint8_t* pixel = row + x * pixelBytes;
    if (format.bitCount == kBits24)
        return Argb(pixel[2], pixel[1], pixel[0]);
    const std::uint32_t value = LittleEndian(pixel, pixelBytes);
    return Argb(Channel(value, format.masks[0]), Channel(value, format.masks[1]),
                Channel(value, format.masks[2]));
}

void Decode(const PixelFormat& format, const std::uint8_t* bits, BitmapObject& picture) {
    const auto width = static_cast<std::uint64_t>(format.width);
    const auto rows = static_cast<std::uint64_t>(format.rows);
    for (std::uint64_t y = 0; y < rows; ++y) {
        const std::uint64_t sourceRow = format.topDown ? y : rows - 1 - y;
        const std::uint8_t* row = bits + sourceRow * format.rowBytes;
        std::uint32_t* out = picture.pixels.data() + y * width;
        for (std::uint64_t x = 0; x < width; ++x)
            out[x] = DecodePixel(format, row, x);
    }
}

} // namespace

namespace win {

HDC GetDC(HWND window) {
    return window ? nullptr : &Screen();
}

int ReleaseDC(HWND window, HDC dc) {
    return !window && dc == &Screen() ? 1 : 0;
}

HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage) {
    if (dc != &Screen() || !header || !info || !bits || init != CBM_INIT || usage != DIB_RGB_COLORS)
        return nullptr;
    const std::optional<PixelFormat> format = ReadFormat(header, info);
    if (!format)
        return nullptr;
    try {
        auto picture = std::make_unique<BitmapObject>();
        picture->width = static_cast<int>(format->width);
        picture->height = static_cast<int>(format->rows);
        picture->pixels.resize(static_cast<std::size_t>(format->width * format->rows));
        Decode(*format, static_cast<const std::uint8_t*>(bits), *picture);
        Live().add(picture.get());
        return picture.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ object) {
    if (!object || !Live().remove(object))
        return FALSE;
    std::unique_ptr<BitmapObject> release(static_cast<BitmapObject*>(object));
    return TRUE;
}

} // namespace win
