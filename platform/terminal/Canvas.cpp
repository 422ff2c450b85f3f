// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/terminal/Canvas.h"

#include "platform/terminal/TerminalText.h"

#include <algorithm>
#include <cwchar>
#include <string>

namespace fw::term {
namespace {

constexpr wchar_t kBlank = L' ';
constexpr int kTwoCorners = 2;

bool OnScreen(int row, int col) {
    return row >= 0 && row < LINES && col >= 0 && col < COLS;
}

void Cell(int row, int col, chtype character) {
    if (OnScreen(row, col))
        mvaddch(row, col, character);
}

} // namespace

void Canvas::text(int row, int col, std::wstring_view text, int maxCols, attr_t attributes,
                  int underlineAt) {
    if (row < 0 || row >= LINES)
        return;
    const int end = std::min(col + maxCols, COLS);
    int at = col;
    for (std::size_t i = 0; i < text.size() && at < end; ++i) {
        const int width = std::max(1, ::wcwidth(text[i]));
        if (at + width > end)
            break;
        if (at >= 0) {
            attr_t shown = attributes;
            if (static_cast<int>(i) == underlineAt)
                shown |= A_UNDERLINE;
            const wchar_t character[] = {text[i], L'\0'};
            cchar_t cell{};
            setcchar(&cell, character, shown, 0, nullptr);
            mvadd_wch(row, at, &cell);
        }
        at += width;
    }
}

void Canvas::centred(int row, int col, int cols, std::wstring_view shown, attr_t attributes,
                     int underlineAt) {
    const int width = Columns(shown);
    text(row, col + std::max(0, (cols - width) / 2), shown, cols, attributes, underlineAt);
}

void Canvas::horizontalLine(int row, int col, int cols) {
    for (int i = 0; i < cols; ++i)
        Cell(row, col + i, ACS_HLINE);
}

void Canvas::frame(const CellRect& area) {
    const int bottom = area.row + area.rows - 1;
    const int right = area.col + area.cols - 1;
    horizontalLine(area.row, area.col + 1, area.cols - kTwoCorners);
    horizontalLine(bottom, area.col + 1, area.cols - kTwoCorners);
    for (int row = area.row + 1; row < bottom; ++row) {
        Cell(row, area.col, ACS_VLINE);
        Cell(row, right, ACS_VLINE);
    }
    Cell(area.row, area.col, ACS_ULCORNER);
    Cell(area.row, right, ACS_URCORNER);
    Cell(bottom, area.col, ACS_LLCORNER);
    Cell(bottom, right, ACS_LRCORNER);
}

void Canvas::clear(const CellRect& area) {
    const std::wstring blanks(static_cast<std::size_t>(std::max(0, area.cols)), kBlank);
    for (int row = area.row; row < area.row + area.rows; ++row)
        text(row, area.col, blanks, area.cols, A_NORMAL);
}

void Canvas::block(int row, int col, short pair) {
    Cell(row, col, ACS_BLOCK | COLOR_PAIR(pair));
}

void Canvas::bar(int row, int col, int cols, int filled) {
    for (int i = 0; i < cols; ++i)
        Cell(row, col + i, i < filled ? ACS_BLOCK : ACS_CKBOARD);
}

} // namespace fw::term
