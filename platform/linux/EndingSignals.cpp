// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/EndingSignals.h"

#include "platform/System.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <ctime>
#include <pthread.h>
#include <unistd.h>

namespace platform::layer {
namespace {

constexpr long kPollNanoseconds = 10'000'000;
constexpr long kPollsPerSecond = 100;
// The shell's status for a process ended by a signal, should the default action not end it.
constexpr int kSignalStatusBase = 128;

// Read and written from signal handlers: lock-free atomics only.
std::atomic<int> heldDeferrals{0};
std::atomic<int> requestingSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

sigset_t EndingSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kEndingSignals)
        sigaddset(&set, signal);
    return set;
}

void WaitForDeferredWork() noexcept {
    const timespec poll{0, kPollNanoseconds};
    const long limit = kDeferredStopWait.count() * kPollsPerSecond;
    for (long polls = 0; heldDeferrals.load() > 0 && polls < limit; ++polls)
        nanosleep(&poll, nullptr);
}

} // namespace

bool IsEndingSignal(int signal) noexcept {
    return std::find(kEndingSignals.begin(), kEndingSignals.end(), signal) != kEndingSignals.end();
}

SignalDeferral::SignalDeferral() {
    const sigset_t ending = EndingSignalSet();
    pthread_sigmask(SIG_BLOCK, &ending, &savedMask_);
    ++heldDeferrals;
}

SignalDeferral::~SignalDeferral() {
    --heldDeferrals;
    pthread_sigmask(SIG_SETMASK, &savedMask_, nullptr);
    if (const int signal = requestingSignal.load())
        platform::EndProcessBySignal(signal);
}

bool SignalDeferral::stopRequested() noexcept {
    return requestingSignal.load() != 0;
}

} // namespace platform::layer

namespace platform {

void EndProcessBySignal(int signal) noexcept {
    int none = 0;
    layer::requestingSignal.compare_exchange_strong(none, signal);
    layer::WaitForDeferredWork();
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    sigaction(signal, &standard, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal);
    _exit(layer::kSignalStatusBase + signal);
}

} // namespace platform
