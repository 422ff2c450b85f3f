// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/terminal/CellLayout.h"

#include <algorithm>
#include <cmath>

namespace fw::term {
namespace {

constexpr double kHalf = 0.5;
constexpr int kMinimumCells = 1;
constexpr int kFrameRows = 2;

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

CellRect InsideGroups(const ControlTemplate& place, CellRect cells, const CellScale& scale,
                      std::span<const ControlTemplate> groups) {
    for (const ControlTemplate& group : groups) {
        const CellRect frame = scale.cells(group.x, group.y, group.width, group.height);
        if (!Encloses(group, place) || frame.rows <= kFrameRows)
            continue;
        const int lastInside = frame.row + frame.rows - kFrameRows;
        cells.row = std::clamp(cells.row, frame.row + 1, lastInside);
        cells.rows = std::clamp(cells.rows, kMinimumCells, lastInside - cells.row + 1);
    }
    return cells;
}

CellRect OneLineCells(const ControlTemplate& place, int fieldUnits, const CellScale& scale,
                      std::span<const ControlTemplate> groups) {
    CellRect cells = scale.cells(place.x, place.y, place.width, place.height);
    cells.row = scale.middleRow(place.y, fieldUnits);
    cells.rows = kMinimumCells;
    // A drop-down list's template height includes its open list; its field is what must fit.
    ControlTemplate field = place;
    field.height = fieldUnits;
    return InsideGroups(field, cells, scale, groups);
}

} // namespace fw::term
