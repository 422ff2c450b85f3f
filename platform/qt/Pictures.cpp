// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/qt/Pictures.h"

#include <QPixmap>
#include <cstdint>
#include <cstring>

namespace fw::qt {
namespace {

QImage CopyPixels(int width, int height, const std::vector<std::uint32_t>& pixels) {
    if (width <= 0 || height <= 0 ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return {};
    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        return {};
    const std::size_t rowBytes = static_cast<std::size_t>(width) * sizeof(std::uint32_t);
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), pixels.data() + static_cast<std::size_t>(y) * width,
                    rowBytes);
    return image;
}

} // namespace

QImage ToImage(const win::BitmapObject* bitmap) {
    return bitmap != nullptr ? CopyPixels(bitmap->width, bitmap->height, bitmap->pixels) : QImage();
}

QIcon ToIcon(const std::vector<Image>& images) {
    QIcon icon;
    for (const Image& image : images) {
        QImage copy = CopyPixels(image.width, image.height, image.pixels);
        if (!copy.isNull())
            icon.addPixmap(QPixmap::fromImage(copy));
    }
    return icon;
}

} // namespace fw::qt
