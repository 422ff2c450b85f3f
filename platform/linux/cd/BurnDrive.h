// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Access to libburn's drives: the exclusive use of one drive (an optical drive, or a file through
// libburn's stdio: pseudo-drive), what it reports about its medium and its write. libburn is
// initialised once per process on first use; it prints nothing: its messages of severity SORRY
// and worse are queued and moved into the log. Calls into libburn from different threads are
// serialised here.

#include "platform/linux/cd/DriveScript.h"
#include "platform/linux/cd/MediumRule.h"

#include <mutex>
#include <optional>
#include <string>

namespace burn {
struct burn_drive;
struct burn_drive_info;
} // namespace burn

namespace platform::layer {

/// libburn's role for no drive and for a random-access file.
inline constexpr int kNoDriveRole = 0;
inline constexpr int kFileDriveRole = 2;

/// The address that makes libburn record into the file at path.
std::string FileDriveAddress(const std::string& path);
/// The file a file drive's address names; nothing for the address of an optical drive.
std::optional<std::string> FileDrivePath(const std::string& address);

/// Holds libburn for the calling thread: every call into libburn outside this file is made
/// under it. Not to be held while calling GrabbedDrive, which takes it itself.
std::unique_lock<std::mutex> LockBurnLibrary();

/// Initialises libburn on the first call; false when it cannot be used.
bool BurnLibraryReady();

/// Moves libburn's queued messages into the log, oldest first. Any thread.
void LogBurnMessages();

/// Where a write stands.
struct WriteProgress {
    /// The drive is done (libburn's BURN_DRIVE_IDLE).
    bool idle = true;
    /// libburn's drive status and the blocks written of the track.
    int state = 0;
    int sector = 0;
    bool operator==(const WriteProgress&) const = default;
};

/// A drive in exclusive use, released when the owner goes.
class GrabbedDrive {
public:
    /// Grabs the drive at the address and loads its tray, so that a drive whose tray was open
    /// reports the disc put in; the drive answers from the drive script in force, if any. An
    /// empty owner when libburn cannot (no such drive, a drive in use or not permitted, a file
    /// in a missing folder: libburn's messages say which).
    static GrabbedDrive grab(const std::string& address);

    GrabbedDrive() noexcept = default;
    GrabbedDrive(GrabbedDrive&& other) noexcept;
    GrabbedDrive& operator=(GrabbedDrive&& other) noexcept;
    GrabbedDrive(const GrabbedDrive&) = delete;
    GrabbedDrive& operator=(const GrabbedDrive&) = delete;
    ~GrabbedDrive();

    explicit operator bool() const noexcept { return infos_ != nullptr; }
    /// The drive, for libburn's write calls (made under LockBurnLibrary); valid while held.
    burn::burn_drive* drive() const noexcept;
    /// libburn's role of the drive (1 for an optical drive, kFileDriveRole, ...); kNoDriveRole
    /// when empty.
    int role() const noexcept;
    /// The bounds of the waits on this drive.
    const DriveLimits& limits() const noexcept { return limits_; }

    /// What the drive reports about its medium; asks the drive each time.
    MediumFacts medium() const;
    /// Where the drive's write stands.
    WriteProgress progress();
    /// Whether libburn reports that the last write went well.
    bool wroteWell() const;
    /// Cancels the drive's write.
    void cancel();
    /// libburn's abort of every drive's work, for a recording that a signal stops; libburn stays
    /// usable, and the drive is still to be waited for until idle.
    void abort();

    /// Releases the drive now, ejecting its disc when asked (a file drive has none to eject);
    /// the owner is empty afterwards.
    void release(bool eject) noexcept;
    /// Lets go of a drive that did not end a cancelled write, without releasing it: libburn may
    /// still be using it. The owner is empty afterwards.
    void abandon() noexcept;

private:
    burn::burn_drive_info* infos_ = nullptr;
    std::optional<DriveScript> script_;
    DriveLimits limits_;
    bool cancelled_ = false;
    bool stallShown_ = false;
};

} // namespace platform::layer
