// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The seam between the portable framework and a windowing backend (Qt Widgets on Linux; a
// terminal or Win32 backend could implement the same). The framework checks arguments and keeps
// the controls' logic; a backend only builds windows from templates, shows state and reports
// input. Every peer function and every event runs on the backend's UI thread: the framework
// carries calls there with CallOnUiThread.

#include "platform/Gdi.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace fw {

/// What every window of a backend offers. Texts are ANSI.
class WindowPeer {
public:
    virtual ~WindowPeer() = default;
    virtual void setEnabled(bool enabled) = 0;
    /// The window's own enabled state (not its parent's).
    virtual bool isEnabled() const = 0;
    virtual void setText(std::string_view text) = 0;
    /// The text as last set, byte for byte.
    virtual std::string text() const = 0;
};

/// A drop-down list that keeps insertion order.
class ComboBoxPeer : public WindowPeer {
public:
    /// Appends an item and returns its index.
    virtual int addItem(std::string_view text) = 0;
    virtual int count() const = 0;
    /// Selects index, which the framework has checked; -1 clears the selection.
    virtual void select(int index) = 0;
    /// The selected index, -1 for none.
    virtual int selected() const = 0;
};

/// A progress bar: shows pos within low..high, which the framework keeps consistent.
class ProgressPeer : public WindowPeer {
public:
    virtual void show(int low, int high, int pos) = 0;
};

/// A static that shows a picture.
class PicturePeer : public WindowPeer {
public:
    /// Shows bitmap (null: none) and takes its size. The caller keeps ownership and keeps the
    /// bitmap alive while it is shown (a backend may copy it).
    virtual void setBitmap(win::HBITMAP bitmap) = 0;
};

/// What a dialog window reports; implemented by fw::Dialog, called on the UI thread.
class DialogEvents {
public:
    virtual ~DialogEvents() = default;
    /// The window and its controls exist and are not shown yet. True: focus goes to the first
    /// enabled tab-stop control.
    virtual bool initDialog() = 0;
    /// The window is about to be shown.
    virtual void showWindow(bool shown) = 0;
    virtual void clicked(int controlId) = 0;
    /// The user asked to close the window (close button or window menu).
    virtual void closeRequested() = 0;
    /// Enter, when no push button has the focus to take it.
    virtual void okKey() = 0;
    /// Escape.
    virtual void cancelKey() = 0;
};

/// One dialog window built from a template.
class DialogPeer : public WindowPeer {
public:
    /// The control with that identifier, or null.
    virtual WindowPeer* control(int id) = 0;
    /// Runs initDialog, shows the window and runs a loop until end is called (also from
    /// initDialog), then hides it. Returns end's result.
    virtual int runModal() = 0;
    /// Ends the run with result; a later call in the same run changes nothing.
    virtual void end(int result) = 0;
    /// The window's handle, the owner for MessageBoxA.
    virtual win::HWND handle() = 0;
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual bool isUiThread() const = 0;
    /// Runs work on the UI thread and waits for it. False when the UI thread can no longer run
    /// it (the backend is shutting down); work has not run then.
    virtual bool callOnUiThread(const std::function<void()>& work) = 0;
    /// Builds the window of template templateId, reporting to events (which outlives it). Null
    /// when there is no such template or no window can be made. UI thread only.
    virtual std::unique_ptr<DialogPeer> createDialog(int templateId, DialogEvents& events) = 0;
    /// Closes every window and stops carrying calls (waiting callers are released); the backend
    /// answers nothing more. UI thread only.
    virtual void shutDown() = 0;
    /// The status the process ends with when the program ends it with code (fw::Exit): a
    /// backend that reports the run's outcome itself (the headless one) gives its own.
    virtual int exitStatus(int code) const { return code; }
};

/// Installs backend (null: none) for the whole process and returns the one it replaces. The
/// backend must outlive its installation.
Backend* SetBackend(Backend* backend);
Backend* GetBackend();

/// Runs work on the UI thread and returns once it has run: directly when the caller is on the
/// UI thread or no backend is installed, otherwise carried there while the caller waits, as a
/// sent window message would be. False (work not run) when the backend is shutting down.
bool CallOnUiThread(const std::function<void()>& work);

} // namespace fw
