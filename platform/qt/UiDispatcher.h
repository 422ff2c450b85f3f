// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Carries calls from other threads to the UI thread, as a sent window message is carried: the
// caller waits until its call has run there. Once the dispatcher is closed, calls return at once
// without running, and calls already waiting are released unrun.

#include <QObject>
#include <functional>
#include <mutex>

namespace fw::qt {

class UiDispatcher final : public QObject {
public:
    /// Lives on the thread that constructs it (the UI thread).
    UiDispatcher();
    ~UiDispatcher() override;

    /// Runs work on the UI thread while the caller, another thread, waits. True when it ran.
    bool call(const std::function<void()>& work);

    /// Refuses further calls and releases those waiting. UI thread only.
    void close();

protected:
    bool event(QEvent* event) override;

private:
    std::mutex mutex_;
    bool open_ = true; // guarded by mutex_
};

} // namespace fw::qt
