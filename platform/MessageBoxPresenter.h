// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Linux layer only: who answers MessageBoxA. The dialog backend installs its presenter when it
// starts; a test installs a responder that records each box and answers it.

#include "platform/MessageBox.h"

namespace platform {

class MessageBoxPresenter {
public:
    virtual ~MessageBoxPresenter() = default;
    /// Shows the box and returns IDOK or IDCANCEL; runs on the thread that called MessageBoxA.
    virtual int show(win::HWND owner, const char* text, const char* caption, win::UINT type) = 0;
};

/// Installs presenter (null: none) and returns the one it replaces. The presenter must outlive
/// its installation.
MessageBoxPresenter* SetMessageBoxPresenter(MessageBoxPresenter* presenter);

} // namespace platform
