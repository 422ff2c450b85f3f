// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Drawing on the curses screen, clipped to it: every position is a screen cell. UI thread only.

#include "platform/terminal/CellLayout.h"

#include <curses.h>
#include <string_view>

namespace fw::term {

class Canvas {
public:
    /// Text from (row, col), at most maxCols columns, in attributes; underlineAt (an index into
    /// text, -1 for none) is drawn underlined too.
    static void text(int row, int col, std::wstring_view text, int maxCols, attr_t attributes,
                     int underlineAt = -1);
    /// Text centred in cols columns from col.
    static void centred(int row, int col, int cols, std::wstring_view text, attr_t attributes,
                        int underlineAt = -1);
    static void horizontalLine(int row, int col, int cols);
    /// A single-line frame around area (its outer cells).
    static void frame(const CellRect& area);
    /// Blanks area.
    static void clear(const CellRect& area);
    /// One cell drawn as a full block in a colour pair.
    static void block(int row, int col, short pair);
    /// Cells cols from col on row, the first filled blocks and the rest shaded.
    static void bar(int row, int col, int cols, int filled);
};

} // namespace fw::term
