// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/terminal/TerminalControls.h"

#include "platform/terminal/Canvas.h"
#include "platform/terminal/CursesSession.h"
#include "platform/terminal/TerminalText.h"

#include <algorithm>

namespace fw::term {
namespace {

// The field of a drop-down list with the templates' font is this high; the template's height
// covers the open list too.
constexpr int kListFieldUnits = 12;
constexpr int kFramedRows = 3;  // a group box needs top, content and bottom rows for a frame
constexpr int kLabelIndent = 2; // a group's title sits this far into its top line
constexpr int kBlanks = 2;      // a blank on either side of a title
constexpr int kDropMarkCols = 2;
constexpr int kBracketCols = 2;
constexpr unsigned kRedShift = 16;
constexpr unsigned kGreenShift = 8;
constexpr std::uint32_t kByte = 0xFF;

template <typename Interface> class StatePeer : public Interface {
public:
    StatePeer(ControlState& state, std::function<void()> changed)
        : state_(state), changed_(std::move(changed)) {}

    void setEnabled(bool enabled) override {
        state_.enabled = enabled;
        changed_();
    }
    bool isEnabled() const override { return state_.enabled; }
    void setText(std::string_view text) override {
        state_.text = text;
        changed_();
    }
    std::string text() const override { return state_.text; }

protected:
    ControlState& state_;
    std::function<void()> changed_;
};

class ComboPeer final : public StatePeer<ComboBoxPeer> {
public:
    using StatePeer::StatePeer;

    // A drop-down list has no edit field: its text is the selected item's, and setting it
    // changes nothing.
    void setText(std::string_view) override {}
    std::string text() const override {
        return state_.selected >= 0 ? state_.items[static_cast<std::size_t>(state_.selected)]
                                    : std::string();
    }
    int addItem(std::string_view text) override {
        state_.items.emplace_back(text);
        changed_();
        return static_cast<int>(state_.items.size()) - 1;
    }
    int count() const override { return static_cast<int>(state_.items.size()); }
    void select(int index) override {
        state_.selected = index;
        changed_();
    }
    int selected() const override { return state_.selected; }
};

class BarPeer final : public StatePeer<ProgressPeer> {
public:
    using StatePeer::StatePeer;

    void show(int low, int high, int pos) override {
        state_.low = low;
        state_.high = high;
        state_.pos = pos;
        changed_();
    }
};

class PictureStaticPeer final : public StatePeer<PicturePeer> {
public:
    using StatePeer::StatePeer;

    void setBitmap(win::HBITMAP bitmap) override {
        const bool whole = bitmap != nullptr && bitmap->width > 0 && bitmap->height > 0 &&
                           bitmap->pixels.size() == static_cast<std::size_t>(bitmap->width) *
                                                        static_cast<std::size_t>(bitmap->height);
        state_.picture = whole ? *bitmap : win::BitmapObject{};
        changed_();
    }
};

attr_t Look(const ControlState& state, bool focused) {
    attr_t look = state.enabled ? A_NORMAL : A_DIM;
    return focused ? look | A_REVERSE : look;
}

void PaintGroup(const ControlState& state, const CellRect& cells) {
    const Label label = ParseLabel(ToTerminal(state.text));
    // Where the group is too low for a frame, its top line alone carries the title.
    if (cells.rows >= kFramedRows)
        Canvas::frame(cells);
    else
        Canvas::horizontalLine(cells.row, cells.col, cells.cols);
    if (!label.text.empty()) {
        // The title keeps as clear of the right corner as of the left one, cut with a mark
        // where it is longer; a blank on either side of it.
        const int room = cells.cols - kLabelIndent * 2;
        const std::wstring title = L" " + Ellipsized(label.text, room - kBlanks) + L" ";
        Canvas::text(cells.row, cells.col + kLabelIndent, title, room, A_BOLD,
                     label.mnemonicAt < 0 ? -1 : label.mnemonicAt + 1);
    }
}

// An enabled button is bracketed and shows its mnemonic; a disabled one shows only its label,
// dimmed, so that it reads as disabled also where the terminal cannot dim.
void PaintButton(const ControlState& state, bool focused, const CellRect& cells) {
    const Label label = ParseLabel(ToTerminal(state.text));
    const attr_t look = Look(state, focused);
    Canvas::clear(cells);
    if (state.enabled) {
        Canvas::text(cells.row, cells.col, L"[", 1, look);
        Canvas::text(cells.row, cells.col + cells.cols - 1, L"]", 1, look);
    }
    // A label longer than the button is cut with a mark.
    const int room = cells.cols - kBracketCols;
    Canvas::centred(cells.row, cells.col + 1, room, Ellipsized(label.text, room), look,
                    state.enabled ? label.mnemonicAt : -1);
}

void PaintList(const ControlState& state, bool focused, const CellRect& cells) {
    const attr_t look = Look(state, focused);
    const std::wstring shown =
        state.selected >= 0 ? ToTerminal(state.items[static_cast<std::size_t>(state.selected)])
                            : std::wstring();
    std::wstring field(static_cast<std::size_t>(std::max(0, cells.cols)), L' ');
    Canvas::text(cells.row, cells.col, field, cells.cols, look);
    if (state.enabled) {
        Canvas::text(cells.row, cells.col, L"[", 1, look);
        Canvas::text(cells.row, cells.col + cells.cols - 1, L"]", 1, look);
        Canvas::text(cells.row, cells.col + cells.cols - 1 - kDropMarkCols, L"v", 1, look);
    }
    Canvas::text(cells.row, cells.col + 1, shown, cells.cols - kBracketCols - kDropMarkCols, look);
}

void PaintBar(const ControlState& state, const CellRect& cells) {
    const int span = state.high - state.low;
    const int filled =
        span > 0 ? static_cast<int>(static_cast<long long>(
                                        std::clamp(state.pos, state.low, state.high) - state.low) *
                                    cells.cols / span)
                 : 0;
    Canvas::bar(cells.row, cells.col, cells.cols, filled);
}

void PaintText(const ControlState& state, const CellRect& cells) {
    const std::wstring text = ParseLabel(ToTerminal(state.text)).text;
    Canvas::clear(cells);
    // Wrapped at the control's width, as a word-wrapping static would; what does not fit is cut,
    // and the last row shows it was.
    std::size_t at = 0;
    for (int row = 0; row < cells.rows && at < text.size(); ++row) {
        if (row + 1 == cells.rows) {
            Canvas::text(cells.row + row, cells.col,
                         Ellipsized(std::wstring_view(text).substr(at), cells.cols), cells.cols,
                         A_NORMAL);
            break;
        }
        std::size_t end = at;
        int width = 0;
        std::size_t lastSpace = std::wstring::npos;
        while (end < text.size() && width + Columns(text.substr(end, 1)) <= cells.cols) {
            if (text[end] == L' ')
                lastSpace = end;
            width += Columns(text.substr(end, 1));
            ++end;
        }
        if (end < text.size() && lastSpace != std::wstring::npos)
            end = lastSpace + 1;
        Canvas::text(cells.row + row, cells.col, std::wstring_view(text).substr(at, end - at),
                     cells.cols, A_NORMAL);
        at = end;
    }
}

std::uint32_t Average(const win::BitmapObject& picture, int left, int top, int right, int bottom) {
    std::uint64_t sums[3] = {};
    std::uint64_t count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const std::uint32_t pixel =
                picture
                    .pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) +
                            static_cast<std::size_t>(x)];
            sums[0] += (pixel >> kRedShift) & kByte;
            sums[1] += (pixel >> kGreenShift) & kByte;
            sums[2] += pixel & kByte;
            ++count;
        }
    }
    if (count == 0)
        return 0;
    return static_cast<std::uint32_t>((sums[0] / count) << kRedShift |
                                      (sums[1] / count) << kGreenShift | sums[2] / count);
}

// The picture as a banner of coloured blocks, one per cell, each the average of the pixels it
// covers; left out on a terminal without colours.
void PaintPicture(const ControlState& state, const PaintContext& context) {
    const win::BitmapObject& picture = state.picture;
    if (picture.width <= 0 || picture.height <= 0 || !context.session.hasColours())
        return;
    // Squeezed into any frame around it rather than drawn over the frame's lines.
    const CellRect cells = InsideFrames(
        state.place,
        context.scale.pictureCells(state.place.x, state.place.y, picture.width, picture.height),
        context.scale, context.frames);
    for (int row = 0; row < cells.rows; ++row) {
        const int screenRow = context.originRow + cells.row + row;
        if (screenRow >= context.client.row + context.client.rows)
            break;
        const int top = row * picture.height / cells.rows;
        const int bottom = std::max(top + 1, (row + 1) * picture.height / cells.rows);
        for (int col = 0; col < cells.cols; ++col) {
            const int screenCol = context.originCol + cells.col + col;
            if (screenCol >= context.client.col + context.client.cols)
                break;
            const int left = col * picture.width / cells.cols;
            const int right = std::max(left + 1, (col + 1) * picture.width / cells.cols);
            Canvas::block(screenRow, screenCol,
                          context.session.colourPair(Average(picture, left, top, right, bottom)));
        }
    }
}

} // namespace

bool ControlState::takesFocus() const {
    return enabled && (place.style & style::kTabStop) != 0 &&
           (place.kind == ControlKind::PushButton || place.kind == ControlKind::ComboBox);
}

std::unique_ptr<WindowPeer> MakePeer(ControlState& state, std::function<void()> changed) {
    switch (state.place.kind) {
    case ControlKind::ComboBox:
        return std::make_unique<ComboPeer>(state, std::move(changed));
    case ControlKind::ProgressBar:
        return std::make_unique<BarPeer>(state, std::move(changed));
    case ControlKind::StaticPicture:
        return std::make_unique<PictureStaticPeer>(state, std::move(changed));
    default:
        return std::make_unique<StatePeer<WindowPeer>>(state, std::move(changed));
    }
}

namespace {
// Client-area cells on the screen.
CellRect Placed(CellRect cells, const PaintContext& context) {
    cells.row += context.originRow;
    cells.col += context.originCol;
    return cells;
}
} // namespace

void PaintControl(const ControlState& state, bool focused, const PaintContext& context) {
    const ControlTemplate& place = state.place;
    const CellRect cells = context.scale.cells(place.x, place.y, place.width, place.height);
    // One-line controls sit on the row of their middle, and every control keeps within the frame
    // around it, however a squeezed dialog rounds.
    const auto oneLine = [&](int fieldUnits) {
        return Placed(OneLineCells(place, fieldUnits, context.scale, context.frames), context);
    };
    switch (place.kind) {
    case ControlKind::GroupBox:
        PaintGroup(state, Placed(cells, context));
        break;
    case ControlKind::PushButton:
        PaintButton(state, focused, oneLine(place.height));
        break;
    case ControlKind::ComboBox:
        PaintList(state, focused, oneLine(kListFieldUnits));
        break;
    case ControlKind::ProgressBar:
        PaintBar(state, oneLine(place.height));
        break;
    case ControlKind::StaticText:
        PaintText(state,
                  Placed(InsideFrames(place, cells, context.scale, context.frames), context));
        break;
    case ControlKind::StaticFrame:
        if (cells.rows >= kFramedRows)
            Canvas::frame(Placed(cells, context));
        break;
    case ControlKind::StaticPicture:
        PaintPicture(state, context);
        break;
    }
}

} // namespace fw::term
