// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/fw/Static.h"

#include <utility>

namespace fw {

void Static::SetBitmap(BitmapHandle bitmap) {
    CallOnUiThread([&] {
        if (auto* peer = dynamic_cast<PicturePeer*>(FindPeer()))
            peer->setBitmap(bitmap.get());
        // The old picture goes only once the new one is shown.
        bitmap_ = std::move(bitmap);
    });
}

} // namespace fw
