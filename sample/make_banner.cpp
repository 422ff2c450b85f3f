// SPDX-License-Identifier: GPL-2.0-or-later
// Draws the dialog picture of the sample container: a 330 x 90 banner with a gradient, a
// stylised 3.5-inch floppy and a CD, and the product's name in a built-in pixel font. The scene
// is rendered with 4 x 4 supersampling, reduced to a 256-colour palette by median cut, and
// written as an 8-bit bottom-up BMP file.
//
// Usage: make_banner OUT.bmp

#include "resfile/LittleEndian.h"
#include "sample/Bytes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <string_view>
#include <vector>

namespace {

constexpr int kWidth = 330;
constexpr int kHeight = 90;
constexpr int kSupersample = 4;

struct Rgb {
    double r = 0, g = 0, b = 0;
};

Rgb Mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

constexpr Rgb Hex(std::uint32_t rgb) {
    constexpr double kScale = 255.0;
    return {((rgb >> 16) & 0xFF) / kScale, ((rgb >> 8) & 0xFF) / kScale, (rgb & 0xFF) / kScale};
}

// Colours of the scene.
constexpr Rgb kSkyLeft = Hex(0x0E1E3C);
constexpr Rgb kSkyRight = Hex(0x2C6DAE);
constexpr Rgb kGlow = Hex(0x7FB6E8);
constexpr Rgb kShadow = Hex(0x050A14);
constexpr Rgb kFloppyBody = Hex(0x2A313E);
constexpr Rgb kFloppyEdge = Hex(0x4A5466);
constexpr Rgb kShutter = Hex(0xCDD2DA);
constexpr Rgb kShutterDark = Hex(0x8C939E);
constexpr Rgb kSlot = Hex(0x333842);
constexpr Rgb kLabel = Hex(0xF3F0E7);
constexpr Rgb kLabelBand = Hex(0xE0564A);
constexpr Rgb kLabelRule = Hex(0x9FB4D8);
constexpr Rgb kDiscSilver = Hex(0xD9DEE6);
constexpr Rgb kDiscRim = Hex(0x7D8594);
constexpr Rgb kHub = Hex(0xEEF1F5);
constexpr Rgb kTitle = Hex(0xFFFFFF);
constexpr Rgb kSubtitle = Hex(0xC4D6EF);
constexpr Rgb kRule = Hex(0x6FA8DC);

// Geometry, in banner pixels.
struct Box {
    double left, top, right, bottom;
    bool contains(double x, double y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
};
constexpr Box kFloppy{12, 16, 70, 74};
constexpr double kFloppyRadius = 3;
constexpr double kFloppyChamfer = 6;
constexpr Box kShutterBox{26, 16, 58, 38};
constexpr Box kSlotBox{46, 20, 53, 34};
constexpr Box kLabelBox{22, 44, 60, 74};
constexpr double kLabelBandHeight = 5;
constexpr double kLabelRuleSpacing = 6;
constexpr Box kWriteProtect{15, 66, 19, 71};
constexpr double kDiscX = 94, kDiscY = 50, kDiscRadius = 31;
constexpr double kHubRadius = 13, kHubRingWidth = 1.2, kHoleRadius = 5;
constexpr double kShadowOffset = 3, kShadowStrength = 0.45;
constexpr double kGlowX = 300, kGlowY = 0, kGlowRadius = 160, kGlowStrength = 0.35;

double Clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

bool InFloppy(double x, double y) {
    if (!kFloppy.contains(x, y))
        return false;
    if ((kFloppy.right - x) + (y - kFloppy.top) < kFloppyChamfer)
        return false;
    // Round the three other corners.
    const double cx = std::clamp(x, kFloppy.left + kFloppyRadius, kFloppy.right - kFloppyRadius);
    const double cy = std::clamp(y, kFloppy.top + kFloppyRadius, kFloppy.bottom - kFloppyRadius);
    return std::hypot(x - cx, y - cy) <= kFloppyRadius || y < kFloppy.top + kFloppyRadius;
}

bool InDisc(double x, double y) {
    const double r = std::hypot(x - kDiscX, y - kDiscY);
    return r <= kDiscRadius && r >= kHoleRadius;
}

Rgb Background(double x, double y) {
    constexpr double kAcross = 0.8, kDown = 0.2; // a gradient leaning slightly downwards
    const double t = Clamp01(x / kWidth * kAcross + y / kHeight * kDown);
    Rgb sky = Mix(kSkyLeft, kSkyRight, t);
    const double glow = Clamp01(1 - std::hypot(x - kGlowX, y - kGlowY) / kGlowRadius);
    sky = Mix(sky, kGlow, glow * glow * kGlowStrength);
    if (InFloppy(x - kShadowOffset, y - kShadowOffset) ||
        InDisc(x - kShadowOffset, y - kShadowOffset))
        sky = Mix(sky, kShadow, kShadowStrength);
    return sky;
}

Rgb Floppy(double x, double y) {
    const double edge =
        std::min({x - kFloppy.left, kFloppy.right - x, y - kFloppy.top, kFloppy.bottom - y});
    Rgb body = Mix(kFloppyEdge, kFloppyBody, Clamp01(edge / 2));
    if (kShutterBox.contains(x, y)) {
        if (kSlotBox.contains(x, y))
            return kSlot;
        return Mix(kShutter, kShutterDark,
                   (y - kShutterBox.top) / (kShutterBox.bottom - kShutterBox.top));
    }
    if (kLabelBox.contains(x, y)) {
        if (y < kLabelBox.top + kLabelBandHeight)
            return kLabelBand;
        const double fromBand = y - kLabelBox.top - kLabelBandHeight;
        const bool onRule = std::fmod(fromBand, kLabelRuleSpacing) > kLabelRuleSpacing - 1 &&
                            x > kLabelBox.left + 3 && x < kLabelBox.right - 3;
        return onRule ? kLabelRule : kLabel;
    }
    if (kWriteProtect.contains(x, y))
        return kSlot;
    return body;
}

// Silver with a rainbow sheen that turns twice around the disc, as light on a real one does.
Rgb Disc(double x, double y) {
    const double dx = x - kDiscX, dy = y - kDiscY;
    const double r = std::hypot(dx, dy);
    if (r > kDiscRadius - 1)
        return kDiscRim;
    if (r < kHubRadius)
        return r > kHubRadius - kHubRingWidth ? kDiscRim : kHub;
    const double angle = std::atan2(dy, dx) * 2;
    constexpr double kThird = 2 * std::numbers::pi / 3;
    constexpr double kSheen = 0.35, kShade = 0.15;
    const auto wave = [](double phase) { return 0.5 + 0.5 * std::cos(phase); };
    const Rgb rainbow{wave(angle), wave(angle - kThird), wave(angle + kThird)};
    const double sheen = kSheen * wave(r / kDiscRadius * std::numbers::pi - std::numbers::pi / 2);
    // Darker towards the top, as if lit from below.
    return Mix(Mix(kDiscSilver, rainbow, sheen), kDiscRim, kShade * (1 - dy / kDiscRadius) / 2);
}

Rgb Scene(double x, double y) {
    if (InDisc(x, y))
        return Disc(x, y);
    if (InFloppy(x, y))
        return Floppy(x, y);
    return Background(x, y);
}

using Image = std::vector<Rgb>; // kWidth x kHeight, top row first

Image Render() {
    Image image(kWidth * kHeight);
    constexpr double kSamples = kSupersample * kSupersample;
    for (int py = 0; py < kHeight; ++py)
        for (int px = 0; px < kWidth; ++px) {
            Rgb sum;
            for (int sy = 0; sy < kSupersample; ++sy)
                for (int sx = 0; sx < kSupersample; ++sx) {
                    const Rgb c =
                        Scene(px + (sx + 0.5) / kSupersample, py + (sy + 0.5) / kSupersample);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                }
            image[py * kWidth + px] = {sum.r / kSamples, sum.g / kSamples, sum.b / kSamples};
        }
    return image;
}

// A 5 x 7 pixel font with just the glyphs the banner needs; blank columns at either side of a
// glyph are dropped, so the text is proportional.
constexpr int kGlyphRows = 7;
struct Glyph {
    char letter;
    std::array<std::string_view, kGlyphRows> rows;
};
constexpr Glyph kFont[] = {
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"###..", "#..#.", "#...#", "#...#", "#...#", "#..#.", "###.."}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
    {'b', {"#....", "#....", "#.##.", "##..#", "#...#", "#...#", "####."}},
    {'d', {"....#", "....#", ".##.#", "#..##", "#...#", "#...#", ".####"}},
    {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
    {'f', {"..##.", ".#..#", ".#...", "###..", ".#...", ".#...", ".#..."}},
    {'i', {".#...", ".....", "##...", ".#...", ".#...", ".#...", "###.."}},
    {'k', {"#....", "#....", "#..#.", "#.#..", "##...", "#.#..", "#..#."}},
    {'l', {"##...", ".#...", ".#...", ".#...", ".#...", ".#...", "###.."}},
    {'n', {".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
    {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
    {'p', {".....", ".....", "####.", "#...#", "####.", "#....", "#...."}},
    {'r', {".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."}},
    {'s', {".....", ".....", ".###.", "#....", ".###.", "....#", "####."}},
    {'t', {".#...", ".#...", "###..", ".#...", ".#...", ".#..#", "..##."}},
};
constexpr int kSpaceWidth = 3;
constexpr int kLetterGap = 1;

const Glyph* FindGlyph(char letter) {
    for (const Glyph& glyph : kFont)
        if (glyph.letter == letter)
            return &glyph;
    return nullptr;
}

// Columns [first, last] of the glyph that hold a pixel.
std::pair<int, int> InkColumns(const Glyph& glyph) {
    int first = static_cast<int>(glyph.rows[0].size()), last = -1;
    for (std::string_view row : glyph.rows)
        for (int column = 0; column < static_cast<int>(row.size()); ++column)
            if (row[column] == '#') {
                first = std::min(first, column);
                last = std::max(last, column);
            }
    return {first, last};
}

// Draws the text with its top-left corner at (x, y), each font pixel scale x scale banner
// pixels, with a soft shadow; false when a letter has no glyph.
bool DrawText(Image& image, std::string_view text, int x, int y, int scale, Rgb colour) {
    constexpr double kTextShadow = 0.6;
    for (char letter : text) {
        if (letter == ' ') {
            x += kSpaceWidth * scale;
            continue;
        }
        const Glyph* glyph = FindGlyph(letter);
        if (glyph == nullptr)
            return false;
        const auto [first, last] = InkColumns(*glyph);
        for (int shadow = 1; shadow >= 0; --shadow)
            for (int row = 0; row < kGlyphRows; ++row)
                for (int column = first; column <= last; ++column) {
                    if (glyph->rows[row][column] != '#')
                        continue;
                    for (int dy = 0; dy < scale; ++dy)
                        for (int dx = 0; dx < scale; ++dx) {
                            const int px = x + (column - first) * scale + dx + shadow;
                            const int py = y + row * scale + dy + shadow;
                            Rgb& pixel = image[py * kWidth + px];
                            pixel = shadow ? Mix(pixel, kShadow, kTextShadow) : colour;
                        }
                }
        x += (last - first + 1 + kLetterGap) * scale;
    }
    return true;
}

struct Rgb8 {
    std::uint8_t r, g, b;
};

// Median cut: splits the box of colours with the widest channel at its median until there are
// as many boxes as palette entries; each box's mean is a palette colour.
std::vector<Rgb8> MedianCut(std::vector<Rgb8> colours, std::size_t paletteSize) {
    struct Span {
        std::size_t begin, end;
    };
    const auto widest = [&](Span span, int* channel) {
        std::array<int, 3> low{255, 255, 255}, high{0, 0, 0};
        for (std::size_t i = span.begin; i < span.end; ++i) {
            const std::array<int, 3> c{colours[i].r, colours[i].g, colours[i].b};
            for (int k = 0; k < 3; ++k) {
                low[k] = std::min(low[k], c[k]);
                high[k] = std::max(high[k], c[k]);
            }
        }
        int best = 0;
        for (int k = 1; k < 3; ++k)
            if (high[k] - low[k] > high[best] - low[best])
                best = k;
        *channel = best;
        return high[best] - low[best];
    };
    const auto component = [](const Rgb8& c, int channel) {
        return channel == 0 ? c.r : channel == 1 ? c.g : c.b;
    };
    std::vector<Span> spans{{0, colours.size()}};
    while (spans.size() < paletteSize) {
        std::size_t pick = spans.size();
        int pickRange = 0, pickChannel = 0;
        for (std::size_t i = 0; i < spans.size(); ++i) {
            int channel = 0;
            const int range = widest(spans[i], &channel);
            if (range > pickRange) {
                pick = i;
                pickRange = range;
                pickChannel = channel;
            }
        }
        if (pick == spans.size())
            break; // every box holds one colour
        const Span span = spans[pick];
        const auto first = colours.begin() + static_cast<std::ptrdiff_t>(span.begin);
        const auto last = colours.begin() + static_cast<std::ptrdiff_t>(span.end);
        std::sort(first, last, [&](const Rgb8& a, const Rgb8& b) {
            return component(a, pickChannel) < component(b, pickChannel);
        });
        const std::size_t middle = span.begin + (span.end - span.begin) / 2;
        spans[pick] = {span.begin, middle};
        spans.push_back({middle, span.end});
    }
    std::vector<Rgb8> palette;
    for (const Span& span : spans) {
        std::array<double, 3> sum{};
        for (std::size_t i = span.begin; i < span.end; ++i) {
            sum[0] += colours[i].r;
            sum[1] += colours[i].g;
            sum[2] += colours[i].b;
        }
        const double n = static_cast<double>(span.end - span.begin);
        palette.push_back({static_cast<std::uint8_t>(std::lround(sum[0] / n)),
                           static_cast<std::uint8_t>(std::lround(sum[1] / n)),
                           static_cast<std::uint8_t>(std::lround(sum[2] / n))});
    }
    return palette;
}

std::uint8_t Nearest(const std::vector<Rgb8>& palette, Rgb8 c) {
    std::size_t best = 0;
    int bestDistance = INT32_MAX;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int dr = palette[i].r - c.r, dg = palette[i].g - c.g, db = palette[i].b - c.b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<std::uint8_t>(best);
}

// Ordered dithering hides the steps that 256 colours leave in the gradients.
Rgb8 Dither(Rgb8 c, int x, int y) {
    constexpr int kOrder = 4;
    constexpr int kBayer[kOrder][kOrder] = {
        {0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    constexpr int kAmplitude = 6; // in 1/255 steps, peak to peak
    const int offset =
        (kBayer[y % kOrder][x % kOrder] * kAmplitude) / (kOrder * kOrder) - kAmplitude / 2;
    const auto shift = [offset](std::uint8_t v) {
        return static_cast<std::uint8_t>(std::clamp(v + offset, 0, 255));
    };
    return {shift(c.r), shift(c.g), shift(c.b)};
}

sample::Bytes EncodeBmp(const Image& image) {
    constexpr std::uint32_t kFileHeaderBytes = 14;
    constexpr std::uint32_t kInfoHeaderBytes = 40;
    constexpr std::uint32_t kPaletteEntries = 256;
    constexpr std::uint32_t kQuadBytes = 4;
    constexpr std::size_t kQuadBlue = 0, kQuadGreen = 1, kQuadRed = 2;
    constexpr std::uint32_t kPaletteBytes = kPaletteEntries * kQuadBytes;
    constexpr std::uint32_t kPixelsAt = kFileHeaderBytes + kInfoHeaderBytes + kPaletteBytes;
    constexpr std::uint32_t kStride = (kWidth + 3) / 4 * 4;
    constexpr std::uint32_t kFileBytes = kPixelsAt + kStride * kHeight;
    constexpr std::uint32_t kBitsPerPixel = 8;
    constexpr std::uint16_t kPlanes = 1;
    // Field offsets of the file header and the information header.
    constexpr std::size_t kBfType = 0, kBfSize = 2, kBfOffBits = 10;
    constexpr std::size_t kBiSize = 14, kBiWidth = 18, kBiHeight = 22, kBiPlanes = 26,
                          kBiBitCount = 28, kBiSizeImage = 34, kBiXPelsPerMeter = 38,
                          kBiYPelsPerMeter = 42, kBiClrUsed = 46;
    constexpr std::uint32_t kPixelsPerMetre = 3780; // 96 dpi
    constexpr double kFull = 255.0;

    std::vector<Rgb8> colours;
    for (const Rgb& c : image)
        colours.push_back({static_cast<std::uint8_t>(std::lround(Clamp01(c.r) * kFull)),
                           static_cast<std::uint8_t>(std::lround(Clamp01(c.g) * kFull)),
                           static_cast<std::uint8_t>(std::lround(Clamp01(c.b) * kFull))});
    const std::vector<Rgb8> palette = MedianCut(colours, kPaletteEntries);

    sample::Bytes bmp(kFileBytes, 0);
    std::uint8_t* const file = bmp.data();
    file[kBfType] = 'B';
    file[kBfType + 1] = 'M';
    le::Write32(file + kBfSize, kFileBytes);
    le::Write32(file + kBfOffBits, kPixelsAt);
    le::Write32(file + kBiSize, kInfoHeaderBytes);
    le::Write32(file + kBiWidth, kWidth);
    le::Write32(file + kBiHeight, kHeight); // positive: bottom row first
    le::Write16(file + kBiPlanes, kPlanes);
    le::Write16(file + kBiBitCount, kBitsPerPixel);
    le::Write32(file + kBiSizeImage, kStride * kHeight);
    le::Write32(file + kBiXPelsPerMeter, kPixelsPerMetre);
    le::Write32(file + kBiYPelsPerMeter, kPixelsPerMetre);
    le::Write32(file + kBiClrUsed, kPaletteEntries);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        std::uint8_t* const quad = file + kFileHeaderBytes + kInfoHeaderBytes + i * kQuadBytes;
        quad[kQuadBlue] = palette[i].b;
        quad[kQuadGreen] = palette[i].g;
        quad[kQuadRed] = palette[i].r;
    }
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            bmp[kPixelsAt + static_cast<std::size_t>(kHeight - 1 - y) * kStride + x] =
                Nearest(palette, Dither(colours[y * kWidth + x], x, y));
    return bmp;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_banner OUT.bmp\n", stderr);
        return 2;
    }
    constexpr int kTextLeft = 136;
    constexpr int kTitleTop = 26, kTitleScale = 2;
    constexpr int kRuleTop = 46, kRuleRight = 318;
    constexpr int kSubtitleTop = 53, kSubtitleScale = 1;

    Image image = Render();
    for (int x = kTextLeft; x < kRuleRight; ++x)
        image[kRuleTop * kWidth + x] =
            Mix(kRule, image[kRuleTop * kWidth + x],
                static_cast<double>(x - kTextLeft) / (kRuleRight - kTextLeft));
    if (!DrawText(image, "Boot Media Maker", kTextLeft, kTitleTop, kTitleScale, kTitle) ||
        !DrawText(image, "Boot floppies and bootable CDs", kTextLeft, kSubtitleTop, kSubtitleScale,
                  kSubtitle)) {
        std::fputs("make_banner: a letter of the text has no glyph\n", stderr);
        return 1;
    }
    if (!sample::WriteBytes(argv[1], EncodeBmp(image))) {
        std::fprintf(stderr, "make_banner: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
