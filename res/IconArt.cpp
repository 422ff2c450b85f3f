// SPDX-License-Identifier: GPL-2.0-or-later
#include "res/IconArt.h"

#include <cmath>
#include <numbers>

namespace res {
namespace {

// The colours the drawing uses; the rest of the 256-colour table stays black.
enum Colour : std::uint8_t {
    kClear = kTransparentIndex,
    kOutline,
    kBody,
    kBodyShade,
    kShutter,
    kShutterEdge,
    kSlot,
    kLabel,
    kLabelLine,
    kDiscEdge,
    kDisc,
    kSheenCyan,
    kSheenViolet,
    kSheenGold,
    kHub,
    kColourCount,
};

constexpr std::array<std::uint32_t, kColourCount> kColours = {
    0x000000, // transparent
    0x1A1E26, // outline
    0x2F5DA8, // floppy body
    0x21447E, // its shaded edge
    0xD4D8DE, // shutter
    0x8C939E, // shutter edge
    0x39404B, // shutter slot
    0xF6F6F2, // label
    0x8FA3C4, // label rules
    0x6E7682, // disc rim
    0xE4E8EE, // disc
    0x8FD6EA, // sheen, cyan
    0xCDA2DE, // sheen, violet
    0xEEDC8E, // sheen, gold
    0xA9B0BB, // hub
};

constexpr std::uint32_t kOpaque = 0xFF000000u;

// Pixel positions of one size's drawing. Rectangles are [left, right) x [top, bottom).
struct Rect {
    int left, top, right, bottom;
};
struct Layout {
    int size;
    Rect body;
    int corner; ///< the cut top-right corner, in pixels
    Rect shutter;
    Rect slot;
    Rect label;
    int labelRuleSpacing;
    double discX, discY, discRadius, hubRadius, holeRadius;
};

constexpr Layout kSmall{16, {0, 0, 13, 13}, 1,    {3, 0, 10, 5}, {7, 1, 9, 4}, {2, 7, 11, 13},
                        2,  10.5,           10.5, 5.5,           2.0,          0.8};
constexpr Layout kLarge{32,
                        {1, 1, 24, 24},
                        3,
                        {6, 1, 18, 10},
                        {13, 2, 16, 8},
                        {4, 13, 21, 24},
                        3,
                        21.5,
                        21.0,
                        10.5,
                        3.8,
                        1.6};

// Sheen bands: angle ranges (degrees, counterclockwise from the right) and their colours; each
// band also appears opposite, as light catches a disc on both sides of the hub.
struct Band {
    double from, to;
    Colour colour;
};
constexpr std::array<Band, 3> kBands = {
    {{20, 38, kSheenCyan}, {38, 52, kSheenViolet}, {52, 66, kSheenGold}}};
constexpr double kHalfTurn = 180.0;
constexpr double kFullTurn = 360.0;
constexpr double kPixelCentre = 0.5;
constexpr double kRimWidth = 1.0;

class Canvas {
public:
    explicit Canvas(int size) : size_(size), pixels_(static_cast<std::size_t>(size * size)) {}

    void set(int x, int y, Colour colour) {
        if (x >= 0 && y >= 0 && x < size_ && y < size_)
            pixels_[static_cast<std::size_t>(y * size_ + x)] = colour;
    }
    void fill(const Rect& rect, Colour colour) {
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                set(x, y, colour);
    }
    void frame(const Rect& rect, Colour colour) {
        for (int x = rect.left; x < rect.right; ++x) {
            set(x, rect.top, colour);
            set(x, rect.bottom - 1, colour);
        }
        for (int y = rect.top; y < rect.bottom; ++y) {
            set(rect.left, y, colour);
            set(rect.right - 1, y, colour);
        }
    }
    std::vector<std::uint8_t> take() { return std::move(pixels_); }
    int size() const { return size_; }

private:
    int size_;
    std::vector<std::uint8_t> pixels_;
};

void DrawFloppy(Canvas& canvas, const Layout& layout) {
    const Rect& body = layout.body;
    canvas.fill(body, kBody);
    // Shade along the bottom and right inner edges, then the outline.
    canvas.fill({body.left + 1, body.bottom - 2, body.right - 1, body.bottom - 1}, kBodyShade);
    canvas.fill({body.right - 2, body.top + 1, body.right - 1, body.bottom - 1}, kBodyShade);
    canvas.frame(body, kOutline);
    // The cut corner: clear beyond the diagonal, outline along it.
    for (int i = 0; i < layout.corner; ++i) {
        for (int j = 0; j < layout.corner - i; ++j)
            canvas.set(body.right - 1 - j, body.top + i, kClear);
        canvas.set(body.right - 1 - (layout.corner - i), body.top + i, kOutline);
    }
    canvas.set(body.right - 1, body.top + layout.corner, kOutline);

    canvas.fill(layout.shutter, kShutter);
    canvas.frame(layout.shutter, kShutterEdge);
    canvas.fill(layout.slot, kSlot);

    canvas.fill(layout.label, kLabel);
    canvas.frame(layout.label, kOutline);
    for (int y = layout.label.top + layout.labelRuleSpacing; y < layout.label.bottom - 1;
         y += layout.labelRuleSpacing)
        canvas.fill({layout.label.left + 2, y, layout.label.right - 2, y + 1}, kLabelLine);
}

Colour SheenAt(double dx, double dy) {
    double angle = std::atan2(-dy, dx) * kHalfTurn / std::numbers::pi;
    if (angle < 0)
        angle += kFullTurn;
    const double folded = angle >= kHalfTurn ? angle - kHalfTurn : angle;
    for (const Band& band : kBands) {
        if (folded >= band.from && folded < band.to)
            return band.colour;
    }
    return kDisc;
}

void DrawDisc(Canvas& canvas, const Layout& layout) {
    for (int y = 0; y < canvas.size(); ++y) {
        for (int x = 0; x < canvas.size(); ++x) {
            const double dx = x + kPixelCentre - layout.discX;
            const double dy = y + kPixelCentre - layout.discY;
            const double distance = std::hypot(dx, dy);
            if (distance > layout.discRadius)
                continue;
            if (distance <= layout.holeRadius)
                canvas.set(x, y, kClear);
            else if (distance <= layout.hubRadius)
                canvas.set(x, y, distance > layout.hubRadius - kRimWidth ? kDiscEdge : kHub);
            else if (distance > layout.discRadius - kRimWidth)
                canvas.set(x, y, kDiscEdge);
            else
                canvas.set(x, y, SheenAt(dx, dy));
        }
    }
}

IndexedImage Draw(const Layout& layout) {
    Canvas canvas(layout.size);
    DrawFloppy(canvas, layout);
    DrawDisc(canvas, layout);
    IndexedImage image;
    image.size = layout.size;
    for (std::size_t i = 0; i < kColours.size(); ++i)
        image.palette[i] = kColours[i];
    image.indices = canvas.take();
    return image;
}

} // namespace

std::vector<IndexedImage> DrawMainIconGroup() {
    return {Draw(kSmall), Draw(kLarge)};
}

fw::Image ToImage(const IndexedImage& image) {
    fw::Image converted;
    converted.width = image.size;
    converted.height = image.size;
    converted.pixels.reserve(image.indices.size());
    for (std::uint8_t index : image.indices)
        converted.pixels.push_back(index == kTransparentIndex ? 0 : kOpaque | image.palette[index]);
    return converted;
}

} // namespace res
