// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One run of the rig's guest: QEMU boots Debian's kernel with the rig's initramfs on a PC with
// the hardware a test names, the guest runs its job and powers off. The kernel's console and the
// guest's report port (see tests/rig/guest/init) go to files in the run's folder; the host can
// watch the guest while it runs and pull devices out through QEMU's machine protocol (QMP).

#include "support/TempDir.h"

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace rig {

/// A line of the guest's report: its first word, and the rest of the line.
struct ReportLine {
    std::string word;
    std::string text;
    bool operator==(const ReportLine&) const = default;
};

struct GuestSetup {
    /// Where the run keeps its files (console.log, report.log, qemu.log).
    std::string folder;
    /// QEMU's arguments for the devices beyond the PC's own.
    std::vector<std::string> devices;
    /// name=value words for the guest's first process (see tests/rig/guest/init).
    std::vector<std::string> guestVariables;
};

class Guest {
public:
    /// Starts QEMU on the kernel and initramfs of BOOTMEDIA_RIG_GUEST with the accelerators of
    /// BOOTMEDIA_RIG_ACCEL (colon-separated, default tcg). started() tells whether it runs.
    explicit Guest(GuestSetup setup);
    /// Ends QEMU if it still runs.
    ~Guest();
    Guest(const Guest&) = delete;
    Guest& operator=(const Guest&) = delete;

    bool started() const { return pid_ > 0; }

    /// Polls condition while the guest runs; true as soon as it holds, false when the guest
    /// ended or timeout passed first.
    bool waitFor(const std::function<bool()>& condition, std::chrono::seconds timeout);

    /// Removes device id from the running machine (QMP device_del); false when QEMU refused or
    /// did not answer within a minute.
    bool removeDevice(const std::string& id);

    /// Waits until QEMU has ended; false when timeout passed first (QEMU is then killed).
    bool waitForEnd(std::chrono::seconds timeout);

    /// The lines the guest has reported so far.
    std::vector<ReportLine> report() const;

    /// The last lines of the kernel's console and of QEMU's own output, for a failure message.
    std::string diagnostics() const;

private:
    bool reap(bool block);

    GuestSetup setup_;
    /// The QMP socket's folder: a short path, as a socket's must be.
    test::TempDir socketFolder_;
    std::string socket_;
    pid_t pid_ = -1;
};

/// Where the guest's kernel and initramfs are (BOOTMEDIA_RIG_GUEST); empty when unset.
std::string GuestFolder();

} // namespace rig
