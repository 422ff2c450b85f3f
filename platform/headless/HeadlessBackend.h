// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The headless backend of the dialog framework, for runs without a person: dialogs are built
// from their templates and run their handlers as always, but nothing is drawn. An operator works
// them and answers the message boxes; a report writes what happens to the console.
//
// The UI thread is the thread that constructs the backend. It holds the dialog lock whenever it
// runs and lets go only while it waits for the dialog (Panel::WaitUntil). A call from another
// thread (a job's monitor setting a control) takes the lock and runs on the calling thread: to the
// caller and to the dialog that is the same as a call carried to the UI thread, since the UI
// thread is parked meanwhile and this backend has no window system bound to a thread.

#include "platform/MessageBoxPresenter.h"
#include "platform/System.h"
#include "platform/fw/Backend.h"
#include "platform/fw/Operator.h"
#include "platform/fw/ProgramResources.h"
#include "platform/headless/Console.h"
#include "platform/headless/Report.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace fw::headless {

class HeadlessBackend final : public Backend, private platform::MessageBoxPresenter {
public:
    /// Installs itself as the framework's backend, the message-box presenter and the process end
    /// hook (an early end of the process gives worker's exit status), until its destruction.
    /// worker and console outlive it.
    HeadlessBackend(ProgramResources resources, Operator& worker, const Console& console);
    ~HeadlessBackend() override;
    HeadlessBackend(const HeadlessBackend&) = delete;
    HeadlessBackend& operator=(const HeadlessBackend&) = delete;

    bool isUiThread() const override;
    bool callOnUiThread(const std::function<void()>& work) override;
    std::unique_ptr<DialogPeer> createDialog(int templateId, DialogEvents& events) override;
    void shutDown() override;
    /// The operator's status, whatever the program asks for.
    int exitStatus(int code) const override;

    // For its dialogs, on the UI thread.
    Report& report() { return *report_; }
    void operate(Panel& panel) { worker_.Operate(panel); }
    /// Lets other threads act until condition holds (true) or ended does or the backend shuts
    /// down (false).
    bool waitUntil(const std::function<bool()>& condition, const std::function<bool()>& ended);

private:
    int show(win::HWND owner, const char* text, const char* caption, win::UINT type) override;
    static void EndProcess() noexcept;

    ProgramResources resources_;
    Operator& worker_;
    std::unique_ptr<Report> report_;
    const std::thread::id uiThread_;
    std::recursive_mutex dialogLock_;
    std::unique_lock<std::recursive_mutex> uiHolds_; // UI thread only
    std::condition_variable_any changed_;
    bool shutDown_ = false; // written by the UI thread holding dialogLock_
    Backend* replacedBackend_ = nullptr;
    platform::MessageBoxPresenter* replacedPresenter_ = nullptr;
    platform::ProcessEndHook replacedHook_ = nullptr;
};

} // namespace fw::headless
