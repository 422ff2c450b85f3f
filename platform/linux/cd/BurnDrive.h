// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Access to libburn's drives: the scan for optical CD writers, and the exclusive use of one
// drive (an optical drive, or a file through libburn's stdio: pseudo-drive). libburn is
// initialised once per process on first use; its messages of severity SORRY and worse go to
// standard error. Calls into libburn from different threads are serialised here.

#include <mutex>
#include <optional>
#include <string>
#include <vector>

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
/// under it. Not to be held while grabbing or releasing a drive, which take it themselves.
std::unique_lock<std::mutex> LockBurnLibrary();

/// Initialises libburn on the first call; false when it cannot be used.
bool BurnLibraryReady();

/// The device addresses ("/dev/sr0") of the optical drives that libburn reports as able to
/// write CD-R or CD-RW, in libburn's order. The scan's exclusive hold on the drives ends
/// before this returns. Empty when there is none or libburn cannot be used.
std::vector<std::string> ScanCdWriters();

/// A drive in exclusive use, released when the owner goes.
class GrabbedDrive {
public:
    /// Grabs the drive at the address, without loading a disc; an empty owner when libburn
    /// cannot (no such drive, a file in a missing folder, a drive in use).
    static GrabbedDrive grab(const std::string& address);

    GrabbedDrive() noexcept = default;
    GrabbedDrive(GrabbedDrive&& other) noexcept;
    GrabbedDrive& operator=(GrabbedDrive&& other) noexcept;
    GrabbedDrive(const GrabbedDrive&) = delete;
    GrabbedDrive& operator=(const GrabbedDrive&) = delete;
    ~GrabbedDrive();

    explicit operator bool() const noexcept { return infos_ != nullptr; }
    /// The drive; valid while the owner holds it.
    burn::burn_drive* drive() const noexcept;
    /// libburn's role of the drive (1 for an optical drive, kFileDriveRole, ...); kNoDriveRole when
    /// empty.
    int role() const noexcept;

    /// Releases the drive now, ejecting its disc when asked (a file drive has none to eject);
    /// the owner is empty afterwards.
    void release(bool eject) noexcept;

private:
    burn::burn_drive_info* infos_ = nullptr;
};

} // namespace platform::layer
