// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Dialog units to pixels for the templates' font, MS Sans Serif 8 pt at 96 dpi: its average
// character is 6 x 13 pixels, a horizontal unit is a quarter of its width (1.5 px) and a vertical
// unit an eighth of its height (1.625 px). Each of x, y, width and height is converted on its own
// and rounded half up, as the Windows dialog manager does.

namespace fw::qt {

inline constexpr int kBaseUnitX = 6;
inline constexpr int kBaseUnitY = 13;
inline constexpr int kUnitsPerBaseX = 4;
inline constexpr int kUnitsPerBaseY = 8;
/// The font's size in pixels: 8 pt at 96 dpi, rounded.
inline constexpr int kFontPixels = 11;

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

int HorizontalPixels(int units);
int VerticalPixels(int units);
PixelRect ToPixels(int x, int y, int width, int height);

} // namespace fw::qt
