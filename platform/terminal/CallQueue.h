// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Carries calls from other threads to the UI thread, as a sent window message is carried: the
// caller waits until its call has run there. The UI thread's loop waits on wakeDescriptor and
// then runs what is queued. Once closed, calls return at once without running, and calls
// already waiting are released unrun.

#include "platform/linux/ScopedDescriptor.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace fw::term {

using platform::layer::ScopedDescriptor;

class CallQueue {
public:
    CallQueue();
    ~CallQueue();
    CallQueue(const CallQueue&) = delete;
    CallQueue& operator=(const CallQueue&) = delete;

    /// Any thread but the UI thread: queues work and waits until it has run. True when it ran.
    bool call(const std::function<void()>& work);
    /// Readable while calls wait.
    int wakeDescriptor() const { return wakeRead_.get(); }
    /// UI thread: runs every call queued so far.
    void runPending();
    /// Refuses further calls and releases those waiting.
    void close();

private:
    struct Pending {
        const std::function<void()>* work;
        bool finished = false;
        bool ran = false;
    };
    void drainWake();

    std::mutex mutex_;
    std::condition_variable finished_;
    std::deque<Pending*> queue_; // guarded by mutex_; each entry lives on its caller's stack
    bool open_ = true;           // guarded by mutex_
    ScopedDescriptor wakeRead_;
    ScopedDescriptor wakeWrite_;
};

} // namespace fw::term
