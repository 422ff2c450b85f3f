// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Work that an ending signal must not cut off (a recording: a busy optical drive must be shut
// down, an unfinished disc file removed). While such work runs, EndProcessBySignal
// (platform/System.h) lets it stop cleanly before the signal ends the process.

#include <array>
#include <chrono>
#include <csignal>

namespace platform::layer {

/// The signals by which a user or the system asks the process to end: hang-up, interrupt, quit,
/// terminate.
inline constexpr std::array kEndingSignals{SIGHUP, SIGINT, SIGQUIT, SIGTERM};

/// Whether the signal is one of kEndingSignals.
bool IsEndingSignal(int signal) noexcept;

/// How long EndProcessBySignal waits for deferred work to stop before it ends the process
/// anyway: longer than a drive is given to finish a cancelled write.
inline constexpr std::chrono::seconds kDeferredStopWait{75};

/// Held by the thread that does such work, for as long as the work runs. While it lives that
/// thread does not take ending signals (nor do the threads it starts meanwhile, which inherit
/// that), so no signal handler ever waits on the thread that has to clean up. The holder polls
/// stopRequested() and, once it is true, stops and cleans up; when the deferral goes after a
/// stop was requested, it ends the process by the signal that asked for it, so nothing after
/// its scope runs.
class SignalDeferral {
public:
    SignalDeferral();
    ~SignalDeferral();
    SignalDeferral(const SignalDeferral&) = delete;
    SignalDeferral& operator=(const SignalDeferral&) = delete;

    /// Whether an ending signal has asked the process to end. Any thread.
    static bool stopRequested() noexcept;

private:
    sigset_t savedMask_;
};

} // namespace platform::layer
