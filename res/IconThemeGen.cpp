// SPDX-License-Identifier: GPL-2.0-or-later
// bootmedia_icongen FOLDER: writes the program icon into FOLDER as the hicolor icon theme lays it
// out (FOLDER/hicolor/NxN/apps/bootmedia.png), from the icon drawing. The drawing's own sizes go
// as drawn; larger ones are whole multiples of them, pixel for pixel, so the art stays crisp.
#include "res/IconArt.h"

#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int kArgumentCount = 2;

// Each size written, and the drawn size it is made from.
struct ThemeSize {
    int size;
    int drawn;
};
constexpr ThemeSize kThemeSizes[] = {{16, 16}, {32, 32}, {48, 16}, {64, 32}};

QImage ToQImage(const res::IndexedImage& drawn) {
    const fw::Image image = res::ToImage(drawn);
    QImage picture(image.width, image.height, QImage::Format_ARGB32);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            picture.setPixel(x, y, image.pixels[static_cast<std::size_t>(y * image.width + x)]);
    return picture;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != kArgumentCount) {
        std::fputs("usage: bootmedia_icongen FOLDER\n", stderr);
        return EXIT_FAILURE;
    }
    const std::filesystem::path folder = argv[1];
    const auto drawnImages = res::DrawMainIconGroup();
    for (const ThemeSize& theme : kThemeSizes) {
        QImage picture;
        for (const res::IndexedImage& drawn : drawnImages)
            if (drawn.size == theme.drawn)
                picture = ToQImage(drawn).scaled(theme.size, theme.size, Qt::IgnoreAspectRatio,
                                                 Qt::FastTransformation);
        const std::string size = std::to_string(theme.size);
        const std::filesystem::path apps = folder / "hicolor" / (size + "x" + size) / "apps";
        std::error_code failure;
        std::filesystem::create_directories(apps, failure);
        const std::filesystem::path file = apps / "bootmedia.png";
        if (picture.isNull() || !picture.save(QString::fromStdString(file.string()), "PNG")) {
            std::fprintf(stderr, "bootmedia_icongen: cannot write %s\n", file.c_str());
            return EXIT_FAILURE;
        }
    }
    return EXIT_SUCCESS;
}
