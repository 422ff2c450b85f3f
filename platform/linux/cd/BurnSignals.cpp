// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/BurnSignals.h"

#include "platform/System.h"
#include "platform/linux/EndingSignals.h"
#include "platform/linux/cd/BurnDrive.h"

#include <algorithm>
#include <array>
#include <csignal>
#include <libburn/libburn.h>

namespace platform::layer {
namespace {

// libburn's wrapper returns, and the program goes on, when the handler answers this.
constexpr int kGoOn = -2;
constexpr int kWrapSignals = 0;
// Raised by the instruction that faulted: given back, they strike the former action when it
// runs again. Raising them once more would report a fault where there was none.
constexpr std::array kFaultSignals{SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS, SIGABRT};

// Noted before libburn's handling is installed, read by the handler afterwards.
std::array<struct sigaction, NSIG> formerActions{};

bool IsFault(int signal) {
    return std::find(kFaultSignals.begin(), kFaultSignals.end(), signal) != kFaultSignals.end();
}

// The handler of either kind shares its place with SIG_DFL and SIG_IGN.
bool IsIgnored(const struct sigaction& action) {
    return action.sa_handler == SIG_IGN;
}

bool IsDefault(const struct sigaction& action) {
    return action.sa_handler == SIG_DFL;
}

// Runs the program's own handler for the signal.
void RunFormerHandler(int signal, const struct sigaction& former) {
    if ((former.sa_flags & SA_SIGINFO) != 0) {
        siginfo_t info{};
        info.si_signo = signal;
        former.sa_sigaction(signal, &info, nullptr);
    } else {
        former.sa_handler(signal);
    }
}

int OnSignal(void*, int signal, int) {
    if (signal <= 0 || signal >= NSIG)
        return kGoOn;
    const struct sigaction& former = formerActions[static_cast<std::size_t>(signal)];
    if (!IsEndingSignal(signal)) {
        sigaction(signal, &former, nullptr);
        // Blocked while handled: the former action takes it as soon as libburn's handler returns.
        if (!IsFault(signal))
            raise(signal);
        return kGoOn;
    }
    if (IsIgnored(former))
        return kGoOn;
    if (IsDefault(former))
        platform::EndProcessBySignal(signal);
    // The program's handler decides; one that returns lets the recording go on.
    RunFormerHandler(signal, former);
    return kGoOn;
}

} // namespace

ScopedBurnSignalHandling::ScopedBurnSignalHandling() {
    for (int signal = 1; signal < NSIG; ++signal)
        sigaction(signal, nullptr, &formerActions[static_cast<std::size_t>(signal)]);
    if (!BurnLibraryReady())
        return;
    const auto lock = LockBurnLibrary();
    burn::burn_set_signal_handling(nullptr, &OnSignal, kWrapSignals);
}

ScopedBurnSignalHandling::~ScopedBurnSignalHandling() {
    // Signals the system keeps for itself refuse a new action; they kept theirs.
    for (int signal = 1; signal < NSIG; ++signal)
        sigaction(signal, &formerActions[static_cast<std::size_t>(signal)], nullptr);
}

} // namespace platform::layer
