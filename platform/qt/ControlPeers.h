// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The Qt widgets of a template's controls and the peers the framework drives them through.

#include "platform/fw/Backend.h"
#include "platform/fw/DialogTemplate.h"
#include "platform/fw/DialogUnits.h"

#include <QWidget>
#include <memory>

namespace fw::qt {

struct BuiltControl {
    QWidget* widget = nullptr; ///< owned by the parent widget
    std::unique_ptr<WindowPeer> peer;
};

/// Makes the widget of control as a child of parent, at its template position in the pixels of
/// units, with its template text, and the peer that drives it.
BuiltControl BuildControl(const ControlTemplate& control, QWidget& parent,
                          const DialogUnits& units);

} // namespace fw::qt
