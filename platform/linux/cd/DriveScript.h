// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The bounds of the waits on a drive, and the answers a test gives in place of a drive's own to
// play the media and faults that no drive on a build machine has.

#include <chrono>
#include <functional>
#include <optional>

namespace platform::layer {

/// How long a recording waits on a drive that writes.
struct DriveLimits {
    /// A write that shows no progress for this long is cancelled. Lead-in, formatting and closing
    /// a session may take minutes without a block written.
    std::chrono::milliseconds stall{std::chrono::minutes(3)};
    /// A cancelled write that has not ended after this long is given up.
    std::chrono::milliseconds cancel{std::chrono::minutes(1)};
};

/// Answers for drives that a test plays; an answer left unset comes from the drive itself.
struct DriveScript {
    /// libburn's disc status (burn_disc_status).
    std::optional<int> discStatus;
    /// The medium's MMC profile number.
    std::optional<int> profile;
    /// libburn's format status (BURN_FORMAT_IS_UNFORMATTED, ...).
    std::optional<int> formatStatus;
    /// Whether the medium's first blocks hold anything but zeros.
    std::optional<bool> startHoldsData;
    /// The write shows no progress until it is cancelled.
    bool writeStalls = false;
    /// Called once, on the recording's thread, when the stalled write is first looked at: the
    /// moment to act on a recording in the middle of its write.
    std::function<void()> onStall;
    DriveLimits limits;
};

/// Every drive grabbed while one lives answers from its script (the grab takes a copy). For
/// tests and test programs; one at a time.
class ScopedDriveScript {
public:
    explicit ScopedDriveScript(DriveScript script);
    ~ScopedDriveScript();
    ScopedDriveScript(const ScopedDriveScript&) = delete;
    ScopedDriveScript& operator=(const ScopedDriveScript&) = delete;
};

/// The script in force; nothing outside a test.
std::optional<DriveScript> CurrentDriveScript();

} // namespace platform::layer
