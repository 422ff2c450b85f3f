// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/fw/DialogUnits.h"

namespace fw {
namespace {

constexpr int kLettersPerCase = 26;

// value * numerator / denominator, rounded half away from zero (the rounding of MulDiv).
int Scale(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

} // namespace

BaseUnits BaseUnitsOfFont(int lettersWidth, int height) {
    // The dialog manager halves the width of 26 letters, rounding up: (w / 26 + 1) / 2.
    return {(lettersWidth / kLettersPerCase + 1) / 2, height};
}

int DialogUnits::horizontal(int units) const {
    return Scale(units, base_.x, kUnitsPerCharX);
}

int DialogUnits::vertical(int units) const {
    return Scale(units, base_.y, kUnitsPerCharY);
}

PixelRect DialogUnits::rect(int x, int y, int width, int height) const {
    return {horizontal(x), vertical(y), horizontal(width), vertical(height)};
}

} // namespace fw
