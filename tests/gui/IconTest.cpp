// SPDX-License-Identifier: GPL-2.0-or-later
#include "res/IconArt.h"
#include "res/Resources.h"
#include "support/gui/GuiDriver.h"

#include <QImage>
#include <QImageReader>
#include <gtest/gtest.h>

// checks that the .ico kept for the Windows build decodes, with an independent reader, to the
// drawing of icon group 118 in both sizes, transparency included.
TEST(Icon, KeptIcoFileDecodesToTheDrawing) {
    guitest::Backend();
    QImageReader reader(QString::fromUtf8(RES_SOURCE_DIR "/") + res::kIconFileName);
    const std::vector<res::IndexedImage> drawing = res::DrawMainIconGroup();
    ASSERT_EQ(reader.imageCount(), static_cast<int>(drawing.size()));
    for (int i = 0; i < reader.imageCount(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage decoded = reader.read().convertToFormat(QImage::Format_ARGB32);
        const fw::Image expected = res::ToImage(drawing[static_cast<std::size_t>(i)]);
        ASSERT_EQ(decoded.size(), QSize(expected.width, expected.height));
        for (int y = 0; y < decoded.height(); ++y) {
            for (int x = 0; x < decoded.width(); ++x) {
                const std::uint32_t want =
                    expected.pixels[static_cast<std::size_t>(y * expected.width + x)];
                const QRgb got = decoded.pixel(x, y);
                ASSERT_EQ(qAlpha(got) == 0, want == 0) << x << "," << y;
                if (want != 0) {
                    ASSERT_EQ(got, want) << x << "," << y;
                }
            }
        }
    }
}
