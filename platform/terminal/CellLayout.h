// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Dialog units to character cells. A cell is one average character of the templates' font, so
// at full size 4 horizontal and 8 vertical units make a cell; a terminal too small for that
// shrinks the scale (each axis on its own) so that the dialog fits. Each edge is rounded on its
// own, half up, which keeps the controls' relative placement.

#include "platform/fw/DialogTemplate.h"
#include "platform/fw/DialogUnits.h"

#include <span>

namespace fw::term {

inline constexpr int kUnitsPerColumn = kUnitsPerCharX;
inline constexpr int kUnitsPerRow = kUnitsPerCharY;
/// A picture's pixels per dialog unit with the templates' font (6 x 13 pixel cells): 1.5 and 1.625.
inline constexpr double kPixelsPerUnitX =
    static_cast<double>(kTemplateFontBaseUnits.x) / kUnitsPerCharX;
inline constexpr double kPixelsPerUnitY =
    static_cast<double>(kTemplateFontBaseUnits.y) / kUnitsPerCharY;

struct CellRect {
    int row = 0;
    int col = 0;
    int rows = 0;
    int cols = 0;
    bool operator==(const CellRect&) const = default;
};

class CellScale {
public:
    /// The scale for a client area of unitsWide x unitsHigh dialog units within cols x rows cells.
    static CellScale Fit(int unitsWide, int unitsHigh, int cols, int rows);

    int col(int x) const;
    int row(int y) const;
    /// The cells of a rectangle in dialog units: at least one row and one column.
    CellRect cells(int x, int y, int width, int height) const;
    /// The row of a one-line control: the one its middle falls in.
    int middleRow(int y, int height) const;
    /// The cells a picture of width x height pixels at (x, y) dialog units covers.
    CellRect pictureCells(int x, int y, int pixelsWide, int pixelsHigh) const;

    double colsPerUnit() const { return colsPerUnit_; }
    double rowsPerUnit() const { return rowsPerUnit_; }

private:
    CellScale(double colsPerUnit, double rowsPerUnit)
        : colsPerUnit_(colsPerUnit), rowsPerUnit_(rowsPerUnit) {}
    double colsPerUnit_;
    double rowsPerUnit_;
};

/// Whether a control of this kind draws a frame that other controls keep clear of.
bool IsFrame(ControlKind kind);

/// The cells of a control, in the client area, kept within every frame (group box or static
/// frame) around it: inside its lines, never on them, however the rounding of a squeezed dialog
/// falls. frames holds the dialog's framing controls.
CellRect InsideFrames(const ControlTemplate& place, CellRect cells, const CellScale& scale,
                      std::span<const ControlTemplate> frames);

/// A one-line control (button, bar, a list's field of fieldUnits): the row its field's middle
/// falls in, within any frame around it.
CellRect OneLineCells(const ControlTemplate& place, int fieldUnits, const CellScale& scale,
                      std::span<const ControlTemplate> frames);

} // namespace fw::term
