// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/fw/ComboBox.h"

namespace fw {

int ComboBox::AddString(const char* text) {
    int index = kNoItem;
    WithPeer<ComboBoxPeer>(
        [&](ComboBoxPeer& peer) { index = peer.addItem(text != nullptr ? text : ""); });
    return index;
}

int ComboBox::SetCurSel(int index) {
    int result = kNoItem;
    WithPeer<ComboBoxPeer>([&](ComboBoxPeer& peer) {
        const bool inRange = index >= 0 && index < peer.count();
        peer.select(inRange ? index : kNoItem);
        result = inRange ? index : kNoItem;
    });
    return result;
}

int ComboBox::GetCurSel() const {
    int index = kNoItem;
    WithPeer<ComboBoxPeer>([&](ComboBoxPeer& peer) { index = peer.selected(); });
    return index;
}

int ComboBox::GetCount() const {
    int count = 0;
    WithPeer<ComboBoxPeer>([&](ComboBoxPeer& peer) { count = peer.count(); });
    return count;
}

} // namespace fw
