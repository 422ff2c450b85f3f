// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/terminal/CellLayout.h"

#include <algorithm>
#include <cmath>

namespace fw::term {
namespace {

constexpr double kHalf = 0.5;
constexpr int kMinimumCells = 1;
constexpr int kFrameCells = 2; // a frame's two lines, top and bottom or left and right

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

bool IsFrame(ControlKind kind) {
    return kind == ControlKind::GroupBox || kind == ControlKind::StaticFrame;
}

CellRect InsideFrames(const ControlTemplate& place, CellRect cells, const CellScale& scale,
                      std::span<const ControlTemplate> frames) {
    for (const ControlTemplate& outer : frames) {
        const CellRect frame = scale.cells(outer.x, outer.y, outer.width, outer.height);
        if (!Encloses(outer, place) || frame.rows <= kFrameCells || frame.cols <= kFrameCells)
            continue;
        const int lastRow = frame.row + frame.rows - kFrameCells;
        cells.row = std::clamp(cells.row, frame.row + 1, lastRow);
        cells.rows = std::clamp(cells.rows, kMinimumCells, lastRow - cells.row + 1);
        const int lastCol = frame.col + frame.cols - kFrameCells;
        cells.col = std::clamp(cells.col, frame.col + 1, lastCol);
        cells.cols = std::clamp(cells.cols, kMinimumCells, lastCol - cells.col + 1);
    }
    return cells;
}

CellRect OneLineCells(const ControlTemplate& place, int fieldUnits, const CellScale& scale,
                      std::span<const ControlTemplate> frames) {
    CellRect cells = scale.cells(place.x, place.y, place.width, place.height);
    cells.row = scale.middleRow(place.y, fieldUnits);
    cells.rows = kMinimumCells;
    // A drop-down list's template height includes its open list; its field is what must fit.
    ControlTemplate field = place;
    field.height = fieldUnits;
    return InsideFrames(field, cells, scale, frames);
}

} // namespace fw::term
