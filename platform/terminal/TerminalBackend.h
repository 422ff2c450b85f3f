// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The terminal backend of the dialog framework, over curses: the same dialogs, controls and
// message boxes as the window, drawn as text on the process's terminal. While it exists it is
// the framework's backend and answers MessageBoxA. The thread that constructs it is the UI
// thread: it alone touches curses, and runs the loop that reads keys, redraws (also after a
// resize) and runs the calls other threads carry there.

#include "platform/MessageBoxPresenter.h"
#include "platform/fw/Backend.h"
#include "platform/fw/ProgramResources.h"
#include "platform/terminal/CallQueue.h"
#include "platform/terminal/CursesSession.h"
#include "platform/terminal/MessageBoxes.h"

#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace fw::term {

class TerminalDialog;

class TerminalBackend final : public Backend, private platform::MessageBoxPresenter {
public:
    /// Installs itself as the framework's backend and the message-box presenter, until its
    /// destruction. Curses starts when first needed (a dialog or a message box); when standard
    /// input or output is no terminal, no dialog can be made and message boxes go to standard
    /// error.
    explicit TerminalBackend(ProgramResources resources);
    ~TerminalBackend() override;
    TerminalBackend(const TerminalBackend&) = delete;
    TerminalBackend& operator=(const TerminalBackend&) = delete;

    bool isUiThread() const override;
    bool callOnUiThread(const std::function<void()>& work) override;
    std::unique_ptr<DialogPeer> createDialog(int templateId, DialogEvents& events) override;
    /// Answers every open box as dismissed, releases waiting callers and puts the terminal back.
    void shutDown() override;

    /// UI thread: runs the loop until done() is true or the backend shuts down.
    void runUntil(const std::function<bool()>& done);
    /// Something shown has changed: the next turn of the loop redraws.
    void invalidate() { dirty_ = true; }
    /// A dialog is going: its boxes are answered as dismissed.
    void forget(TerminalDialog& dialog);

private:
    int show(win::HWND owner, const char* text, const char* caption, win::UINT type) override;
    void openBox(BoxRequest request, std::shared_ptr<Answer> answer);
    void dropAnsweredBoxes();
    void readKeys();
    void paint();
    void wait();

    ProgramResources resources_;
    const std::thread::id uiThread_;
    CursesSession session_;
    CallQueue calls_;
    std::vector<TerminalDialog*> dialogs_;               // UI thread only
    std::vector<std::unique_ptr<MessageBoxView>> boxes_; // UI thread only; the last is on top
    ButtonLabels buttonLabels_;                          // in the locale the constructor takes
    Backend* replacedBackend_ = nullptr;
    platform::MessageBoxPresenter* replacedPresenter_ = nullptr;
    bool dirty_ = true;
    bool shutDown_ = false;
};

} // namespace fw::term
