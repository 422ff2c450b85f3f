// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/terminal/TerminalDialog.h"

#include "platform/terminal/Canvas.h"
#include "platform/terminal/TerminalBackend.h"
#include "platform/terminal/TerminalText.h"

#include <algorithm>
#include <cwctype>

namespace fw::term {
namespace {

constexpr int kFrameCells = 2; // one cell of frame on either side
constexpr int kTab = '\t';
constexpr int kEscape = 27;
constexpr int kReturn = '\r';
constexpr int kNewLine = '\n';
constexpr int kSpace = ' ';
constexpr int kTitleIndent = 2;
constexpr int kTitleBlanks = 2; // before the title and between it and the hint
constexpr const wchar_t* kCloseHint = L"[F10: close] ";

bool IsEnter(int code) {
    return code == kReturn || code == kNewLine || code == KEY_ENTER;
}

} // namespace

TerminalDialog::TerminalDialog(const DialogTemplate& dialog, DialogEvents& events,
                               TerminalBackend& host)
    : template_(dialog), events_(events), host_(host) {
    title_ = dialog.caption != nullptr ? dialog.caption : "";
    for (const ControlTemplate& place : dialog.controls) {
        auto entry = std::make_unique<Entry>();
        entry->state.place = place;
        entry->state.text = place.text != nullptr ? place.text : "";
        entry->peer = MakePeer(entry->state, [this] { host_.invalidate(); });
        controls_.push_back(std::move(entry));
    }
}

TerminalDialog::~TerminalDialog() {
    host_.forget(*this);
}

void TerminalDialog::setEnabled(bool enabled) {
    enabled_ = enabled;
    host_.invalidate();
}

void TerminalDialog::setText(std::string_view text) {
    title_ = text;
    host_.invalidate();
}

WindowPeer* TerminalDialog::control(int id) {
    if (id == kIdStatic)
        return nullptr;
    for (const auto& entry : controls_) {
        if (entry->state.place.id == id)
            return entry->peer.get();
    }
    return nullptr;
}

int TerminalDialog::runModal() {
    ended_ = false;
    result_ = 0;
    focus_ = -1;
    if (events_.initDialog())
        moveFocus(1);
    if (!ended_) {
        shown_ = true;
        events_.showWindow(true);
        host_.invalidate();
        host_.runUntil([this] { return ended_; });
    }
    shown_ = false;
    host_.invalidate();
    return result_;
}

void TerminalDialog::end(int result) {
    if (ended_)
        return;
    result_ = result;
    ended_ = true;
    host_.invalidate();
}

CellScale TerminalDialog::scale(int cols, int rows) const {
    return CellScale::Fit(template_.width, template_.height, cols - kFrameCells,
                          rows - kFrameCells);
}

CellRect TerminalDialog::area(int cols, int rows) const {
    const CellScale cells = scale(cols, rows);
    const int width = cells.col(template_.width) + kFrameCells;
    const int height = cells.row(template_.height) + kFrameCells;
    return {std::max(0, (rows - height) / 2), std::max(0, (cols - width) / 2), height, width};
}

void TerminalDialog::paint(CursesSession& session) const {
    const CellScale cells = scale(COLS, LINES);
    const CellRect outer = area(COLS, LINES);
    Canvas::clear(outer);
    Canvas::frame(outer);
    // The close key's hint always shows; a title too long for the rest is cut with a mark.
    const int room = outer.cols - kTitleIndent * 2;
    const std::wstring hint = kCloseHint;
    const std::wstring title =
        L" " + Ellipsized(ToTerminal(title_), room - Columns(hint) - kTitleBlanks) + L" " + hint;
    Canvas::text(outer.row, outer.col + kTitleIndent, title, room, A_BOLD);
    const CellRect client{outer.row + 1, outer.col + 1, outer.rows - kFrameCells,
                          outer.cols - kFrameCells};
    std::vector<ControlTemplate> frames;
    for (const auto& control : controls_)
        if (IsFrame(control->state.place.kind))
            frames.push_back(control->state.place);
    const PaintContext context{cells, client.row, client.col, client, session, frames};
    for (std::size_t i = 0; i < controls_.size(); ++i)
        PaintControl(controls_[i]->state, static_cast<int>(i) == focus_, context);
}

void TerminalDialog::moveFocus(int step) {
    const int count = static_cast<int>(controls_.size());
    int at = focus_;
    for (int tried = 0; tried < count; ++tried) {
        at = at < 0 ? (step > 0 ? 0 : count - 1) : (at + step + count) % count;
        if (controls_[static_cast<std::size_t>(at)]->state.takesFocus()) {
            focus_ = at;
            host_.invalidate();
            return;
        }
    }
}

void TerminalDialog::press(std::size_t index) {
    const ControlState& state = controls_[index]->state;
    if (state.place.kind != ControlKind::PushButton || !state.enabled)
        return;
    focus_ = static_cast<int>(index);
    host_.invalidate();
    events_.clicked(state.place.id);
}

bool TerminalDialog::pressMnemonic(int code) {
    if (code <= 0 || code >= KEY_MIN)
        return false;
    const auto wanted = std::towlower(static_cast<wint_t>(code));
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const ControlState& state = controls_[i]->state;
        if (state.place.kind != ControlKind::PushButton || !state.enabled)
            continue;
        const Label label = ParseLabel(ToTerminal(state.text));
        if (label.mnemonicAt >= 0 &&
            std::towlower(static_cast<wint_t>(
                label.text[static_cast<std::size_t>(label.mnemonicAt)])) == wanted) {
            press(i);
            return true;
        }
    }
    return false;
}

void TerminalDialog::changeSelection(int step) {
    if (focus_ < 0)
        return;
    ControlState& state = controls_[static_cast<std::size_t>(focus_)]->state;
    if (state.place.kind != ControlKind::ComboBox) {
        moveFocus(step);
        return;
    }
    if (!state.enabled || state.items.empty())
        return;
    const int last = static_cast<int>(state.items.size()) - 1;
    state.selected = std::clamp(state.selected + step, 0, last);
    host_.invalidate();
}

void TerminalDialog::key(const Key& key) {
    if (!enabled_)
        return;
    const bool onButton =
        focus_ >= 0 &&
        controls_[static_cast<std::size_t>(focus_)]->state.place.kind == ControlKind::PushButton &&
        controls_[static_cast<std::size_t>(focus_)]->state.enabled;
    switch (key.code) {
    case kTab:
        moveFocus(1);
        return;
    case KEY_BTAB:
        moveFocus(-1);
        return;
    case KEY_UP:
    case KEY_LEFT:
        changeSelection(-1);
        return;
    case KEY_DOWN:
    case KEY_RIGHT:
        changeSelection(1);
        return;
    case kEscape:
        events_.cancelKey();
        return;
    case kCloseKey:
        events_.closeRequested();
        return;
    case kSpace:
        if (onButton)
            press(static_cast<std::size_t>(focus_));
        return;
    default:
        break;
    }
    if (IsEnter(key.code)) {
        if (onButton)
            press(static_cast<std::size_t>(focus_));
        else
            events_.okKey();
        return;
    }
    pressMnemonic(key.code);
}

} // namespace fw::term
