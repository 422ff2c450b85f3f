// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// MessageBoxA of the Qt backend. A box with a live owner is modal to it; a box without one is
// an independent window that leaves every other window usable. Either way only the calling
// thread waits for the answer; when that is the UI thread, it keeps serving events meanwhile.

#include "platform/MessageBoxPresenter.h"

namespace fw::qt {

class QtBackend;

class QtMessageBoxPresenter final : public platform::MessageBoxPresenter {
public:
    explicit QtMessageBoxPresenter(QtBackend& backend) : backend_(backend) {}

    /// Any thread. An owner that names no live dialog window counts as none. When no box can be
    /// shown (no display, the backend shutting down) the box goes to standard error and is
    /// answered as dismissed: IDOK for an OK box, IDCANCEL for a question.
    int show(win::HWND owner, const char* text, const char* caption, win::UINT type) override;

private:
    QtBackend& backend_;
};

} // namespace fw::qt
