// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/headless/HeadlessBackend.h"

#include "platform/headless/HeadlessDialog.h"

#include <atomic>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <unistd.h>

namespace fw::headless {
namespace {

// Job monitors poll every 100 ms; a condition on what they poll is looked at as often.
constexpr std::chrono::milliseconds kLookInterval{100};

// The operator of the running headless backend, for the process end hook.
std::atomic<const Operator*> endingOperator{nullptr};

} // namespace

HeadlessBackend::HeadlessBackend(ProgramResources resources, Operator& worker,
                                 const Console& console)
    : resources_(std::move(resources)), worker_(worker), report_(ReportOn(console)),
      uiThread_(std::this_thread::get_id()), uiHolds_(dialogLock_) {
    // Texts follow the user's locale; only the character type is taken, so that number formats
    // stay the C runtime's.
    std::setlocale(LC_CTYPE, "");
    endingOperator = &worker_;
    replacedHook_ = platform::SetProcessEndHook(&HeadlessBackend::EndProcess);
    replacedBackend_ = SetBackend(this);
    replacedPresenter_ = platform::SetMessageBoxPresenter(this);
}

HeadlessBackend::~HeadlessBackend() {
    shutDown();
}

void HeadlessBackend::shutDown() {
    if (shutDown_)
        return;
    shutDown_ = true;
    platform::SetMessageBoxPresenter(replacedPresenter_);
    SetBackend(replacedBackend_);
    platform::SetProcessEndHook(replacedHook_);
    endingOperator = nullptr;
    changed_.notify_all();
    // Callers waiting for the lock now find the backend gone.
    if (uiHolds_.owns_lock())
        uiHolds_.unlock();
}

int HeadlessBackend::exitStatus(int) const {
    return worker_.ExitStatus();
}

// Whatever ends the process early (a job that cannot go on, an unknown platform) ends it with
// the status the run has come to, never with a success it did not have.
void HeadlessBackend::EndProcess() noexcept {
    const Operator* worker = endingOperator.load();
    ::_exit(worker != nullptr ? worker->ExitStatus() : EXIT_FAILURE);
}

bool HeadlessBackend::isUiThread() const {
    return std::this_thread::get_id() == uiThread_;
}

bool HeadlessBackend::callOnUiThread(const std::function<void()>& work) {
    if (isUiThread()) {
        work();
        return true;
    }
    std::lock_guard lock(dialogLock_);
    if (shutDown_)
        return false;
    work();
    changed_.notify_all();
    return true;
}

std::unique_ptr<DialogPeer> HeadlessBackend::createDialog(int templateId, DialogEvents& events) {
    const DialogTemplate* found = resources_.findDialog(templateId);
    if (found == nullptr || shutDown_)
        return nullptr;
    return std::make_unique<HeadlessDialog>(*found, events, *this);
}

bool HeadlessBackend::waitUntil(const std::function<bool()>& condition,
                                const std::function<bool()>& ended) {
    while (!condition()) {
        if (ended() || shutDown_)
            return false;
        changed_.wait_for(uiHolds_, kLookInterval);
    }
    return true;
}

int HeadlessBackend::show(win::HWND, const char* text, const char* caption, win::UINT type) {
    const ShownBox box{text, caption, type};
    const int answer = worker_.Answer(box);
    report_->Box(box, answer);
    return answer;
}

} // namespace fw::headless
