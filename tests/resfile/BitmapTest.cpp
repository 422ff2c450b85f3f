// SPDX-License-Identifier: GPL-2.0-or-later
#include "resfile/Bitmap.h"

#include "platform/Gdi.h"
#include "platform/ScopedHandle.h"
#include "resfile/LittleEndian.h"
#include "resfile/ResourceFile.h"
#include "support/BmpBuilder.h"
#include "support/ContainerBuilder.h"
#include "support/TempDir.h"

#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

using namespace win;
using test::BmpBuilder;
using test::Bytes;
namespace field = test::bmpfield;

namespace {

constexpr int kWidth = 5; // odd, so every depth pads its rows
constexpr int kHeight = 3;
constexpr std::uint32_t kOpaque = 0xFF000000u;
// 5- and 6-bit channel levels and what they scale to.
constexpr std::array<std::uint32_t, 3> kLevels5 = {0, 16, 31};
constexpr std::array<std::uint32_t, 3> kLevels6 = {0, 32, 63};
constexpr std::array<std::uint32_t, 3> kScaled5 = {0x00, 0x84, 0xFF};
constexpr std::array<std::uint32_t, 3> kScaled6 = {0x00, 0x82, 0xFF};

struct PictureDeleter {
    void operator()(BitmapObject* picture) const { DeleteObject(picture); }
};
using Picture = std::unique_ptr<BitmapObject, PictureDeleter>;

// The image in a heap block of exactly its size, so that AddressSanitizer sees any overread.
Picture Decode(const Bytes& image) {
    const Bytes exact(image.begin(), image.end());
    return Picture(bmp::CreatePicture(exact));
}

std::uint32_t Rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return red << 16 | green << 8 | blue;
}

struct DepthCase {
    const char* name;
    unsigned bits;
    std::optional<std::array<std::uint32_t, 3>> masks;
    std::vector<std::uint32_t> palette;
    std::function<std::uint32_t(int x, int y)> stored;   // the value written for the pixel
    std::function<std::uint32_t(int x, int y)> expected; // 0xRRGGBB it must decode to
};

std::vector<DepthCase> DepthCases() {
    const std::vector<std::uint32_t> two = {0x123456, 0xABCDEF};
    std::vector<std::uint32_t> sixteen;
    for (std::uint32_t i = 0; i < 16; ++i)
        sixteen.push_back(i * 0x0F0E0D);
    const std::vector<std::uint32_t> seven = {0x102030, 0x405060, 0x708090, 0xA0B0C0,
                                              0xD0E0F0, 0xFF0000, 0x00FF00};
    auto rgb = [](int x, int y) {
        return Rgb(static_cast<std::uint32_t>(x * 0x30), static_cast<std::uint32_t>(y * 0x40),
                   static_cast<std::uint32_t>((x + y) * 0x11));
    };
    auto level = [](int i) { return static_cast<std::size_t>(i % 3); };
    return {
        {"1 bpp", 1, std::nullopt, two, [](int x, int y) { return (x + y) % 2u; },
         [two](int x, int y) { return two[(x + y) % 2u]; }},
        {"4 bpp", 4, std::nullopt, sixteen, [](int x, int y) { return (x + 5u * y) % 16u; },
         [sixteen](int x, int y) { return sixteen[(x + 5u * y) % 16u]; }},
        {"8 bpp, 7 colours", 8, std::nullopt, seven, [](int x, int y) { return (3u * x + y) % 7u; },
         [seven](int x, int y) { return seven[(3u * x + y) % 7u]; }},
        {"16 bpp 5-5-5",
         16,
         std::nullopt,
         {},
         [level](int x, int y) {
             return kLevels5[level(x)] << 10 | kLevels5[level(y)] << 5 | kLevels5[level(x + y)];
         },
         [level](int x, int y) {
             return Rgb(kScaled5[level(x)], kScaled5[level(y)], kScaled5[level(x + y)]);
         }},
        {"16 bpp 5-6-5 bitfields",
         16,
         std::array<std::uint32_t, 3>{0xF800, 0x07E0, 0x001F},
         {},
         [level](int x, int y) {
             return kLevels5[level(x)] << 11 | kLevels6[level(y)] << 5 | kLevels5[level(x + y)];
         },
         [level](int x, int y) {
             return Rgb(kScaled5[level(x)], kScaled6[level(y)], kScaled5[level(x + y)]);
         }},
        {"24 bpp", 24, std::nullopt, {}, rgb, rgb},
        {"32 bpp, high byte ignored",
         32,
         std::nullopt,
         {},
         [rgb](int x, int y) { return 0x5A000000u | rgb(x, y); },
         rgb},
        {"32 bpp bitfields, blue high",
         32,
         std::array<std::uint32_t, 3>{0x000000FF, 0x0000FF00, 0x00FF0000},
         {},
         [rgb](int x, int y) {
             const std::uint32_t c = rgb(x, y);
             return (c & 0xFF) << 16 | (c & 0xFF00) | c >> 16;
         },
         rgb},
    };
}

BmpBuilder Build(const DepthCase& c, bool topDown, std::uint32_t infoSize) {
    BmpBuilder builder(c.bits, kWidth, kHeight);
    builder.topDown(topDown).infoHeaderSize(infoSize);
    if (!c.palette.empty())
        builder.palette(c.palette);
    if (c.masks)
        builder.bitfields((*c.masks)[0], (*c.masks)[1], (*c.masks)[2]);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            builder.pixel(x, y, c.stored(x, y));
    return builder;
}

void ExpectPixels(const Picture& picture, const DepthCase& c) {
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->width, kWidth);
    ASSERT_EQ(picture->height, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(picture->pixels[static_cast<std::size_t>(y * kWidth + x)],
                      kOpaque | c.expected(x, y))
                << "pixel " << x << "," << y;
}

// checks every supported depth decodes, bottom-up and top-down, to the right pixels, top row
// first and opaque.
TEST(Bitmap, EveryDepthDecodesInBothRowOrders) {
    for (const DepthCase& c : DepthCases()) {
        for (const bool topDown : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (topDown ? ", top-down" : ", bottom-up"));
            ExpectPixels(Decode(Build(c, topDown, bmp::kInfoHeaderMinSize).bytes()), c);
        }
    }
}

// checks the longer information headers, whose masks lie inside them, decode the same.
TEST(Bitmap, LongerInfoHeadersDecode) {
    const std::vector<DepthCase> cases = DepthCases();
    for (const std::uint32_t infoSize : {52u, 56u, 108u, 124u}) {
        for (const DepthCase& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", header of " + std::to_string(infoSize));
            ExpectPixels(Decode(Build(c, false, infoSize).bytes()), c);
        }
    }
}

// checks each lying or truncated image is refused for its own reason, without reading past
// the end of the image.
TEST(Bitmap, LyingImagesAreRefused) {
    const Bytes base = BmpBuilder(8, 4, 2).palette({1, 2, 3, 4}).bytes(); // 78 bytes
    const auto with32 = [&](std::size_t at, std::uint32_t value) {
        Bytes image = base;
        le::Write32(image.data() + at, value);
        return image;
    };
    const auto with16 = [&](std::size_t at, std::uint16_t value) {
        Bytes image = base;
        le::Write16(image.data() + at, value);
        return image;
    };
    const auto cut = [](Bytes image, std::size_t size) {
        image.resize(size);
        return image;
    };
    Bytes masksCut = BmpBuilder(16, 1, 1).bitfields(0xF800, 0x07E0, 0x001F).bytes();
    masksCut = cut(masksCut, bmp::kFileHeaderSize + bmp::kInfoHeaderMinSize + 8);
    const auto minInt = static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::min());

    const struct {
        const char* name;
        Bytes image;
        bmp::Fault fault;
    } cases[] = {
        {"empty", Bytes(), bmp::Fault::TooShort},
        {"13 bytes", cut(base, 13), bmp::Fault::TooShort},
        {"53 bytes", cut(base, 53), bmp::Fault::TooShort},
        {"signature MB", with16(field::kSignature, 0x424D), bmp::Fault::BadSignature},
        {"core header", with32(field::kInfoSize, 12), bmp::Fault::BadInfoHeaderSize},
        {"header of 4 GiB", with32(field::kInfoSize, 0xFFFFFFFF), bmp::Fault::BadInfoHeaderSize},
        {"124-byte header in 78 bytes", with32(field::kInfoSize, 124),
         bmp::Fault::InfoHeaderOutside},
        {"width 0", with32(field::kWidth, 0), bmp::Fault::BadDimensions},
        {"negative width", with32(field::kWidth, 0xFFFFFFFC), bmp::Fault::BadDimensions},
        {"width 16385", with32(field::kWidth, 16385), bmp::Fault::BadDimensions},
        {"height 0", with32(field::kHeight, 0), bmp::Fault::BadDimensions},
        {"height -16385", with32(field::kHeight, static_cast<std::uint32_t>(-16385)),
         bmp::Fault::BadDimensions},
        {"height INT_MIN", with32(field::kHeight, minInt), bmp::Fault::BadDimensions},
        {"2 planes", with16(field::kPlanes, 2), bmp::Fault::BadPlanes},
        {"2 bits per pixel", with16(field::kBitCount, 2), bmp::Fault::BadBitCount},
        {"0 bits per pixel", with16(field::kBitCount, 0), bmp::Fault::BadBitCount},
        {"run-length coded", with32(field::kCompression, BI_RLE8), bmp::Fault::BadCompression},
        {"bitfields at 8 bpp", with32(field::kCompression, BI_BITFIELDS),
         bmp::Fault::BadCompression},
        {"257 colours at 8 bpp", with32(field::kColoursUsed, 257), bmp::Fault::BadColourCount},
        {"palette past the end", with32(field::kColoursUsed, 200), bmp::Fault::ColourTableOutside},
        {"masks past the end", masksCut, bmp::Fault::ColourTableOutside},
        {"pixel offset 0", with32(field::kPixelOffset, 0), bmp::Fault::BadPixelOffset},
        {"pixel offset in the palette", with32(field::kPixelOffset, 60),
         bmp::Fault::BadPixelOffset},
        {"pixel offset at the end", with32(field::kPixelOffset, 78), bmp::Fault::PixelsOutside},
        {"pixel offset of 4 GiB", with32(field::kPixelOffset, 0xFFFFFFFF),
         bmp::Fault::PixelsOutside},
        {"last pixel byte missing", cut(base, base.size() - 1), bmp::Fault::PixelsOutside},
        {"height 16384", with32(field::kHeight, 16384), bmp::Fault::PixelsOutside},
    };
    ASSERT_EQ(bmp::CheckImage(base, nullptr), bmp::Fault::None);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes exact(c.image.begin(), c.image.end());
        EXPECT_EQ(bmp::CheckImage(exact, nullptr), c.fault);
        EXPECT_EQ(Decode(exact), nullptr);
    }
}

// checks that no prefix of a valid image is taken, for each depth (an off-by-one in any bound
// shows here, or as an overread under AddressSanitizer).
TEST(Bitmap, EveryTruncationIsRefused) {
    for (const DepthCase& c : DepthCases()) {
        SCOPED_TRACE(c.name);
        const Bytes image = Build(c, false, bmp::kInfoHeaderMinSize).bytes();
        for (std::size_t size = 0; size < image.size(); ++size) {
            const Bytes exact(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(size));
            ASSERT_NE(bmp::CheckImage(exact, nullptr), bmp::Fault::None) << size << " bytes";
        }
    }
}

// checks the layer itself refuses what it cannot decode, and deletes only its own pictures once.
TEST(Bitmap, PlatformRefusesWhatItCannotDecode) {
    const Bytes image = BmpBuilder(24, 2, 2).fill(0x123456).bytes();
    alignas(BITMAPINFO) std::array<std::uint8_t, 64> info{};
    std::copy(image.begin() + bmp::kFileHeaderSize, image.begin() + 54, info.begin());
    const std::uint8_t* bits = image.data() + 54;
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    const auto create = [&](std::size_t at, std::uint32_t value) {
        auto changed = info;
        le::Write32(changed.data() + at - bmp::kFileHeaderSize, value);
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(changed.data());
        return Picture(CreateDIBitmap(screen, header, CBM_INIT, bits,
                                      reinterpret_cast<const BITMAPINFO*>(changed.data()),
                                      DIB_RGB_COLORS));
    };
    EXPECT_NE(create(field::kWidth, 2), nullptr);
    EXPECT_EQ(create(field::kCompression, BI_RLE8), nullptr);
    EXPECT_EQ(create(field::kBitCount, 2), nullptr);
    EXPECT_EQ(create(field::kInfoSize, 12), nullptr);
    EXPECT_EQ(create(field::kHeight, 0), nullptr);
    EXPECT_EQ(create(field::kWidth, 0x10000000), nullptr) << "2^29 pixels are too many";
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);

    BitmapObject* picture = Decode(image).release();
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(DeleteObject(picture));
    EXPECT_FALSE(DeleteObject(picture));
    BitmapObject stranger;
    EXPECT_FALSE(DeleteObject(&stranger));
}

// checks LoadResourceBitmap builds the picture of a good entry, and gives null without an
// error pending for a bad one or a missing one.
TEST(Bitmap, LoadResourceBitmapChecksTheEntry) {
    test::TempDir dir;
    const std::string path = dir.path("install.dat");
    const Bytes good = BmpBuilder(24, 2, 1).pixel(0, 0, 0xFF0000).pixel(1, 0, 0x0000FF).bytes();
    Bytes lying = good;
    le::Write32(lying.data() + field::kPixelOffset, 0x7FFFFFFF);
    test::ContainerBuilder().add(1, "x").add(100, good).add(101, lying).write(path);
    platform::FileHandle file(OpenResourceFile(path.c_str(), true));
    ASSERT_TRUE(file);

    const Picture picture(LoadResourceBitmap(file.get(), 100));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixels, (std::vector<std::uint32_t>{0xFFFF0000u, 0xFF0000FFu}));
    EXPECT_EQ(LoadResourceBitmap(file.get(), 101), nullptr);
    EXPECT_EQ(GetResourceError(), kResourceOk);
    EXPECT_EQ(LoadResourceBitmap(file.get(), 102), nullptr);
    EXPECT_EQ(GetResourceError(), kResourceOk);
    EXPECT_EQ(LoadResourceBitmap(file.get(), 1), nullptr);
    EXPECT_EQ(GetResourceError(), kResourceOk);
}

} // namespace
