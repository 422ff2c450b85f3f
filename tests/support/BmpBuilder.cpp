// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/BmpBuilder.h"

#include "platform/Gdi.h"
#include "resfile/Bitmap.h"
#include "resfile/LittleEndian.h"

namespace test {
namespace {

constexpr std::size_t kFileSizeField = 2;
constexpr std::size_t kMasksField = bmp::kFileHeaderSize + bmp::kInfoHeaderMinSize;
constexpr std::uint16_t kPlanes = 1;
constexpr unsigned kMaxIndexedBits = 8;
constexpr unsigned kByteBits = 8;
constexpr unsigned kRowAlignBits = 32;
constexpr unsigned kRowAlignBytes = 4;
constexpr std::uint32_t kGreyStep = 0x010101;
constexpr std::uint32_t kChannelMax = 0xFF;
constexpr unsigned kRedShift = 16;
constexpr unsigned kGreenShift = 8;

void Put32(std::vector<std::uint8_t>& out, std::size_t offset, std::uint32_t value) {
    le::Write32(out.data() + offset, value);
}

} // namespace

BmpBuilder::BmpBuilder(unsigned bitsPerPixel, int width, int height)
    : bits_(bitsPerPixel), width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    if (bits_ <= kMaxIndexedBits) {
        const std::uint32_t colours = 1u << bits_;
        for (std::uint32_t i = 0; i < colours; ++i)
            palette_.push_back(i * (kChannelMax / (colours - 1)) * kGreyStep);
    }
}

BmpBuilder& BmpBuilder::topDown(bool value) {
    topDown_ = value;
    return *this;
}

BmpBuilder& BmpBuilder::palette(std::vector<std::uint32_t> colours) {
    palette_ = std::move(colours);
    return *this;
}

BmpBuilder& BmpBuilder::bitfields(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    masks_ = {red, green, blue};
    return *this;
}

BmpBuilder& BmpBuilder::infoHeaderSize(std::uint32_t size) {
    infoSize_ = size;
    return *this;
}

BmpBuilder& BmpBuilder::pixel(int x, int y, std::uint32_t value) {
    pixels_.at(static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x)) = value;
    return *this;
}

BmpBuilder& BmpBuilder::fill(std::uint32_t value) {
    pixels_.assign(pixels_.size(), value);
    return *this;
}

std::vector<std::uint8_t> BmpBuilder::bytes() const {
    const std::size_t masksSize =
        masks_ && infoSize_ == bmp::kInfoHeaderMinSize ? bmp::kMaskBytes : 0;
    const std::size_t tableOffset = bmp::kFileHeaderSize + infoSize_ + masksSize;
    const std::size_t pixelOffset = tableOffset + palette_.size() * bmp::kColourBytes;
    const std::size_t rowBytes = (static_cast<std::size_t>(width_) * bits_ + kRowAlignBits - 1) /
                                 kRowAlignBits * kRowAlignBytes;
    std::vector<std::uint8_t> out(pixelOffset + rowBytes * static_cast<std::size_t>(height_));

    out[bmpfield::kSignature] = 'B';
    out[bmpfield::kSignature + 1] = 'M';
    Put32(out, kFileSizeField, static_cast<std::uint32_t>(out.size()));
    Put32(out, bmpfield::kPixelOffset, static_cast<std::uint32_t>(pixelOffset));
    Put32(out, bmpfield::kInfoSize, infoSize_);
    Put32(out, bmpfield::kWidth, static_cast<std::uint32_t>(width_));
    Put32(out, bmpfield::kHeight, static_cast<std::uint32_t>(topDown_ ? -height_ : height_));
    le::Write16(out.data() + bmpfield::kPlanes, kPlanes);
    le::Write16(out.data() + bmpfield::kBitCount, static_cast<std::uint16_t>(bits_));
    Put32(out, bmpfield::kCompression, masks_ ? win::BI_BITFIELDS : win::BI_RGB);
    const bool fullTable = bits_ <= kMaxIndexedBits && palette_.size() == (1u << bits_);
    Put32(out, bmpfield::kColoursUsed, fullTable ? 0 : static_cast<std::uint32_t>(palette_.size()));
    if (masks_) {
        for (std::size_t i = 0; i < masks_->size(); ++i)
            Put32(out, kMasksField + i * sizeof(std::uint32_t), (*masks_)[i]);
    }
    for (std::size_t i = 0; i < palette_.size(); ++i) {
        const std::uint32_t rgb = palette_[i];
        std::uint8_t* quad = out.data() + tableOffset + i * bmp::kColourBytes;
        quad[0] = static_cast<std::uint8_t>(rgb);
        quad[1] = static_cast<std::uint8_t>(rgb >> kGreenShift);
        quad[2] = static_cast<std::uint8_t>(rgb >> kRedShift);
    }

    for (int y = 0; y < height_; ++y) {
        const int stored = topDown_ ? y : height_ - 1 - y;
        std::uint8_t* row = out.data() + pixelOffset + static_cast<std::size_t>(stored) * rowBytes;
        for (int x = 0; x < width_; ++x) {
            const std::uint32_t value = pixels_[static_cast<std::size_t>(y * width_ + x)];
            const std::size_t bit = static_cast<std::size_t>(x) * bits_;
            if (bits_ <= kMaxIndexedBits) {
                const unsigned shift = kByteBits - bits_ - static_cast<unsigned>(bit % kByteBits);
                row[bit / kByteBits] |= static_cast<std::uint8_t>(value << shift);
                continue;
            }
            // 16, 24 and 32 bits: the value's bytes, least significant first (24 bits: B, G, R).
            for (unsigned i = 0; i < bits_ / kByteBits; ++i)
                row[bit / kByteBits + i] = static_cast<std::uint8_t>(value >> (i * kByteBits));
        }
    }
    return out;
}

} // namespace test
