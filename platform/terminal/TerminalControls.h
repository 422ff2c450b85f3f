// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The controls of a terminal dialog: what each one shows (kept as the framework sets it), the
// peer the framework drives it through, and how it is drawn in cells.

#include "platform/Gdi.h"
#include "platform/fw/Backend.h"
#include "platform/fw/DialogTemplate.h"
#include "platform/terminal/CellLayout.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace fw::term {

class CursesSession;

struct ControlState {
    ControlTemplate place;
    std::string text; ///< ANSI, as last set
    bool enabled = true;
    std::vector<std::string> items; ///< a list's entries, ANSI
    int selected = -1;
    int low = 0;
    int high = 0;
    int pos = 0;
    win::BitmapObject picture; ///< a copy; empty for none

    bool takesFocus() const;
};

/// The peer of state; changed runs after every change it makes.
std::unique_ptr<WindowPeer> MakePeer(ControlState& state, std::function<void()> changed);

/// What drawing a control needs to know of its dialog.
struct PaintContext {
    const CellScale& scale;
    int originRow; ///< the screen cell of the client area's top left corner
    int originCol;
    CellRect client; ///< the client area on screen, for clipping pictures
    CursesSession& session;
    /// The dialog's group boxes and static frames: a control inside one keeps within its lines,
    /// however the rounding of a squeezed dialog falls.
    std::span<const ControlTemplate> frames;
};

void PaintControl(const ControlState& state, bool focused, const PaintContext& context);

} // namespace fw::term
