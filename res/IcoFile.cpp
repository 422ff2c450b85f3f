// SPDX-License-Identifier: GPL-2.0-or-later
#include "res/IcoFile.h"

namespace res {
namespace {

constexpr std::uint16_t kIconType = 1;
constexpr std::size_t kDirectoryBytes = 6;
constexpr std::size_t kEntryBytes = 16;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint16_t kPlanes = 1;
constexpr std::uint16_t kBitsPerPixel = 8;
constexpr std::size_t kColourBytes = 4;
constexpr std::size_t kRowAlignment = 4;
constexpr unsigned kBitsPerByte = 8;
constexpr std::uint8_t kHighBit = 0x80;
/// A directory entry's colour count is 0 for 256 colours or more.
constexpr std::uint8_t kManyColours = 0;
/// Resolution, colours used and colours important: left 0.
constexpr std::size_t kUnusedHeaderFields = 4;

class Writer {
public:
    void u8(std::uint8_t value) { bytes_.push_back(value); }
    void u16(std::uint16_t value) {
        u8(static_cast<std::uint8_t>(value));
        u8(static_cast<std::uint8_t>(value >> kBitsPerByte));
    }
    void u32(std::uint32_t value) {
        u16(static_cast<std::uint16_t>(value));
        u16(static_cast<std::uint16_t>(value >> (2 * kBitsPerByte)));
    }
    void pad(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

std::size_t Aligned(std::size_t bytes) {
    return (bytes + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
}

std::size_t PixelRowBytes(const IndexedImage& image) {
    return Aligned(static_cast<std::size_t>(image.size));
}

std::size_t MaskRowBytes(const IndexedImage& image) {
    return Aligned((static_cast<std::size_t>(image.size) + kBitsPerByte - 1) / kBitsPerByte);
}

/// The pixels and the mask.
std::uint32_t DataBytes(const IndexedImage& image) {
    const auto rows = static_cast<std::size_t>(image.size);
    return static_cast<std::uint32_t>(rows * (PixelRowBytes(image) + MaskRowBytes(image)));
}

std::uint32_t ImageBytes(const IndexedImage& image) {
    return kInfoHeaderBytes + static_cast<std::uint32_t>(kIconColours * kColourBytes) +
           DataBytes(image);
}

void WriteImage(Writer& out, const IndexedImage& image) {
    const auto size = static_cast<std::uint32_t>(image.size);
    const auto side = static_cast<std::size_t>(image.size);
    out.u32(kInfoHeaderBytes);
    out.u32(size);
    out.u32(2 * size); // the pixels and the mask, one above the other
    out.u16(kPlanes);
    out.u16(kBitsPerPixel);
    out.u32(0); // uncompressed
    out.u32(DataBytes(image));
    out.pad(kUnusedHeaderFields * sizeof(std::uint32_t));
    for (std::uint32_t colour : image.palette)
        out.u32(colour); // blue, green, red, reserved
    for (std::size_t row = side; row-- > 0;) {
        for (std::size_t x = 0; x < side; ++x)
            out.u8(image.indices[row * side + x]);
        out.pad(PixelRowBytes(image) - side);
    }
    for (std::size_t row = side; row-- > 0;) {
        std::uint8_t bits = 0;
        std::size_t written = 0;
        for (std::size_t x = 0; x < side; ++x) {
            if (image.indices[row * side + x] == kTransparentIndex)
                bits |= static_cast<std::uint8_t>(kHighBit >> (x % kBitsPerByte));
            if (x % kBitsPerByte == kBitsPerByte - 1 || x + 1 == side) {
                out.u8(bits);
                bits = 0;
                ++written;
            }
        }
        out.pad(MaskRowBytes(image) - written);
    }
}

} // namespace

std::vector<std::uint8_t> EncodeIcoFile(std::span<const IndexedImage> images) {
    Writer out;
    out.u16(0);
    out.u16(kIconType);
    out.u16(static_cast<std::uint16_t>(images.size()));
    auto offset = static_cast<std::uint32_t>(kDirectoryBytes + kEntryBytes * images.size());
    for (const IndexedImage& image : images) {
        out.u8(static_cast<std::uint8_t>(image.size)); // 0 would mean 256
        out.u8(static_cast<std::uint8_t>(image.size));
        out.u8(kManyColours);
        out.u8(0);
        out.u16(kPlanes);
        out.u16(kBitsPerPixel);
        out.u32(ImageBytes(image));
        out.u32(offset);
        offset += ImageBytes(image);
    }
    for (const IndexedImage& image : images)
        WriteImage(out, image);
    return out.take();
}

} // namespace res
