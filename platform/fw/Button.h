// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A push button. A group box is bound as a Button too (on Windows both are of the button class),
// or as a Static. Clicks reach the dialog's message map; the object offers the window
// operations.

#include "platform/fw/Window.h"

namespace fw {

class Button : public Control {};

} // namespace fw
