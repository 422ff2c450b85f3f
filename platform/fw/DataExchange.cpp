// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/fw/DataExchange.h"

#include "platform/fw/Dialog.h"

namespace fw {

// Both run inside UpdateData, on the UI thread.

void DDX_Control(DataExchange& dx, int id, Control& control) {
    if (dx.GetDialog().FindControlPeer(id) == nullptr) {
        dx.Fail();
        return;
    }
    control.Attach(dx.GetDialog(), id);
}

void DDX_Text(DataExchange& dx, int id, String& value) {
    WindowPeer* peer = dx.GetDialog().FindControlPeer(id);
    if (peer == nullptr) {
        dx.Fail();
        return;
    }
    if (dx.SavesAndValidates())
        value = peer->text();
    else
        peer->setText(value);
}

} // namespace fw
