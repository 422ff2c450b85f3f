// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A static control: text, a frame, or a picture.

#include "platform/fw/BitmapHandle.h"
#include "platform/fw/Window.h"

namespace fw {

class Static : public Control {
public:
    /// Shows bitmap (null: none) in a picture static, which takes the bitmap's size. The object
    /// owns the bitmap from now on and keeps it until it is replaced or the object is destroyed.
    /// On a static that is not a picture, or before binding, the bitmap is only kept.
    void SetBitmap(BitmapHandle bitmap);

private:
    BitmapHandle bitmap_; // touched on the UI thread only
};

} // namespace fw
