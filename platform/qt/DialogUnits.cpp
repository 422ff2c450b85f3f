// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/qt/DialogUnits.h"

namespace fw::qt {
namespace {
// value * numerator / denominator, rounded half away from zero (the rounding of MulDiv).
int Scale(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}
} // namespace

int HorizontalPixels(int units) {
    return Scale(units, kTemplateCharPixelsX, kUnitsPerCharX);
}

int VerticalPixels(int units) {
    return Scale(units, kTemplateCharPixelsY, kUnitsPerCharY);
}

PixelRect ToPixels(int x, int y, int width, int height) {
    return {HorizontalPixels(x), VerticalPixels(y), HorizontalPixels(width),
            VerticalPixels(height)};
}

} // namespace fw::qt
