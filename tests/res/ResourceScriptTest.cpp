// SPDX-License-Identifier: GPL-2.0-or-later
#include "res/IcoFile.h"
#include "res/RcScript.h"

#include <array>
#include <gtest/gtest.h>

namespace {

constexpr std::array<fw::ControlTemplate, 2> kControls{{
    {7, fw::ControlKind::StaticText, "Say \"hi\"", 0, fw::style::kGroup, 1, 2, 3, 4},
    {8, fw::ControlKind::StaticPicture, "", 42, fw::style::kBitmap, 5, 6, 7, 8},
}};
constexpr fw::DialogTemplate kDialog{
    5, "Title", fw::dialog_style::kPopup, "MS Sans Serif", 8, 100, 50, kControls};

std::uint32_t U32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

} // namespace

// checks the resource script's forms: quotes doubled in texts, a picture named by number, the
// caption when there is one.
TEST(RcScript, TextsAndPictures) {
    const std::string rc = res::WriteRcScript(kDialog, 3, "x.ico");
    EXPECT_NE(rc.find("3 ICON \"x.ico\"\n"), std::string::npos);
    EXPECT_NE(rc.find("CAPTION \"Title\"\n"), std::string::npos);
    EXPECT_NE(rc.find("STYLE DS_SETFONT | WS_POPUP\n"), std::string::npos);
    EXPECT_NE(
        rc.find("CONTROL \"Say \"\"hi\"\"\", 7, \"Static\", SS_LEFT | WS_GROUP, 1, 2, 3, 4\n"),
        std::string::npos);
    EXPECT_NE(rc.find("CONTROL 42, 8, \"Static\", SS_BITMAP, 5, 6, 7, 8\n"), std::string::npos);
}

// checks the icon file's layout: directory entries pointing at each image, a double-height
// header, and the mask bit set exactly for transparent pixels, rows bottom-up.
TEST(IcoFile, LayoutAndMask) {
    constexpr int kSize = 16;
    res::IndexedImage image;
    image.size = kSize;
    image.indices.assign(kSize * kSize, 1);
    image.indices[0] = res::kTransparentIndex; // top-left corner
    const std::vector<std::uint8_t> ico = res::EncodeIcoFile(std::vector{image, image});

    constexpr std::size_t kFirstImage = 6 + 2 * 16;
    constexpr std::size_t kImageBytes = 40 + 256 * 4 + kSize * kSize + kSize * 4;
    ASSERT_EQ(ico.size(), kFirstImage + 2 * kImageBytes);
    EXPECT_EQ(ico[4], 2);                     // image count
    EXPECT_EQ(U32(ico, 6 + 8), kImageBytes);  // first entry: size
    EXPECT_EQ(U32(ico, 6 + 12), kFirstImage); // and offset
    EXPECT_EQ(U32(ico, 6 + 16 + 12), kFirstImage + kImageBytes);
    EXPECT_EQ(U32(ico, kFirstImage + 8), 2u * kSize); // height of pixels and mask

    const std::size_t mask = kFirstImage + 40 + 256 * 4 + kSize * kSize;
    const std::size_t topRow = mask + (kSize - 1) * 4; // bottom-up: the top row comes last
    EXPECT_EQ(ico[topRow], 0x80);
    for (std::size_t at = mask; at < topRow; ++at)
        ASSERT_EQ(ico[at], 0) << at;
    // Transparent pixels are black in the pixel data, so they leave the screen as it is.
    const std::size_t topPixels = kFirstImage + 40 + 256 * 4 + (kSize - 1) * kSize;
    EXPECT_EQ(ico[topPixels], res::kTransparentIndex);
}
