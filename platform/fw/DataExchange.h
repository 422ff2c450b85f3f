// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Data exchange between a dialog's members and its controls: DoDataExchange lists the bindings,
// UpdateData runs them in one direction.

#include "platform/fw/String.h"

namespace fw {

class Control;
class Dialog;

class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saveAndValidate)
        : dialog_(dialog), saveAndValidate_(saveAndValidate) {}

    Dialog& GetDialog() const { return dialog_; }
    /// True: controls to members; false: members to controls.
    bool SavesAndValidates() const { return saveAndValidate_; }

    /// Marks the exchange as failed; UpdateData then returns false.
    void Fail() { failed_ = true; }
    bool Failed() const { return failed_; }

private:
    Dialog& dialog_;
    const bool saveAndValidate_;
    bool failed_ = false;
};

/// Binds control to the dialog's control id. Fails the exchange when the dialog's window has no
/// control of that identifier.
void DDX_Control(DataExchange& dx, int id, Control& control);

/// Exchanges value with the text of control id. Fails the exchange when there is no such
/// control.
void DDX_Text(DataExchange& dx, int id, String& value);

} // namespace fw
