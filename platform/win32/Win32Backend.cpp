// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/win32/Win32Backend.h"

#include "platform/win32/Win32Dialog.h"

#include <commctrl.h>

namespace fw::win32 {
namespace {

// What a dialog still running when the backend goes returns: it was dismissed.
constexpr int kClosedResult = IDCANCEL;

} // namespace

Win32Backend::Win32Backend()
    : uiThread_(GetCurrentThreadId()),
      calls_(PlanCallWindow(SystemHasMessageOnlyWindows(), ReadCallWindowFault())) {
    // The progress bar's class, through the call that every version of the common controls
    // has: those of the first Windows 95 and NT 4 lack InitCommonControlsEx, and an import of it
    // would keep the program from loading there. (The program carries no manifest asking for
    // version 6, the one version in which this call registers nothing.)
    InitCommonControls();
    replacedBackend_ = SetBackend(this);
}

Win32Backend::~Win32Backend() {
    shutDown();
}

void Win32Backend::shutDown() {
    if (shutDown_)
        return;
    shutDown_ = true;
    SetBackend(replacedBackend_);
    calls_.close();
    // Closing a dialog makes it forget itself here: walk a copy.
    const std::set<Win32Dialog*> open = dialogs_;
    for (Win32Dialog* dialog : open)
        dialog->close(kClosedResult);
}

bool Win32Backend::isUiThread() const {
    return GetCurrentThreadId() == uiThread_;
}

bool Win32Backend::callOnUiThread(const std::function<void()>& work) {
    if (isUiThread()) {
        work();
        return true;
    }
    return calls_.call(work);
}

std::unique_ptr<DialogPeer> Win32Backend::createDialog(int templateId, DialogEvents& events) {
    if (shutDown_)
        return nullptr;
    auto dialog = Win32Dialog::Create(templateId, events,
                                      [this](Win32Dialog& gone) { dialogs_.erase(&gone); });
    if (dialog != nullptr)
        dialogs_.insert(dialog.get());
    return dialog;
}

} // namespace fw::win32
