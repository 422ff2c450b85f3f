// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Dialog units to pixels for the templates' font (fw::kTemplateCharPixelsX and its kin): a
// horizontal unit is 1.5 px and a vertical one 1.625 px. Each of x, y, width and height is
// converted on its own and rounded half up, as the Windows dialog manager does.

#include "platform/fw/DialogTemplate.h"

namespace fw::qt {

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
