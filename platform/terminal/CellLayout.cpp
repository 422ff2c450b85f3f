// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/terminal/CellLayout.h"

#include <algorithm>
#include <cmath>

namespace fw::term {
namespace {

constexpr double kHalf = 0.5;
constexpr int kMinimumCells = 1;

int Round(double value) {
    return static_cast<int>(std::floor(value + kHalf));
}

double Scale(int units, int cells, int unitsPerCell) {
    const double full = 1.0 / unitsPerCell;
    if (units <= 0 || cells <= 0)
        return full;
    return std::min(full, static_cast<double>(cells) / units);
}

} // namespace

CellScale CellScale::Fit(int unitsWide, int unitsHigh, int cols, int rows) {
    return CellScale(Scale(unitsWide, cols, kUnitsPerColumn), Scale(unitsHigh, rows, kUnitsPerRow));
}

int CellScale::col(int x) const {
    return Round(x * colsPerUnit_);
}

int CellScale::row(int y) const {
    return Round(y * rowsPerUnit_);
}

CellRect CellScale::cells(int x, int y, int width, int height) const {
    const int top = row(y);
    const int left = col(x);
    return {top, left, std::max(kMinimumCells, row(y + height) - top),
            std::max(kMinimumCells, col(x + width) - left)};
}

int CellScale::middleRow(int y, int height) const {
    return static_cast<int>(std::floor((y + height * kHalf) * rowsPerUnit_));
}

CellRect CellScale::pictureCells(int x, int y, int pixelsWide, int pixelsHigh) const {
    const double unitsWide = pixelsWide / kPixelsPerUnitX;
    const double unitsHigh = pixelsHigh / kPixelsPerUnitY;
    const int top = row(y);
    const int left = col(x);
    return {top, left, std::max(kMinimumCells, Round((y + unitsHigh) * rowsPerUnit_) - top),
            std::max(kMinimumCells, Round((x + unitsWide) * colsPerUnit_) - left)};
}

} // namespace fw::term
