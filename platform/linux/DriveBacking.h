// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The disk behind a drive of the layer, opened for one handle or one service: what it is, the
// media its drive takes, and the only way to write and read it. This is the guard against
// writing the wrong disk. The path is looked up once: what it is, and everything done to it
// later, comes from the descriptor of that one open (a symlink is followed then, and swapping
// it afterwards changes nothing). A backing that is not a floppy (a hard disk, a partition, a
// block device or image file larger than a 1.44 MB disk, a file of a pseudo file system such as
// procfs or sysfs, anything that is neither block device nor file) takes no floppy medium and
// is never opened for writing; a floppy is written only under an exclusive claim
// (BackingClaim) that nothing else holds.

#include "platform/Devices.h"
#include "platform/linux/BackingClaim.h"
#include "platform/linux/DriveMap.h"
#include "platform/linux/FloppyMedia.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace platform::layer {

class DriveBacking {
public:
    /// Opens the backing; unbuffered: reads and writes bypass the page cache where the backing
    /// allows (O_DIRECT). A drive of the floppy controller or a USB floppy drive is opened
    /// without touching its disk. A named path that does not exist is a drive without a disk.
    /// Null with the last error: ERROR_FILE_NOT_FOUND when a found device is gone (no drive),
    /// ERROR_ACCESS_DENIED without permission (logged), or the error of a failed open.
    static std::unique_ptr<DriveBacking> open(const DrivePath& path, bool unbuffered);
    ~DriveBacking();
    DriveBacking(const DriveBacking&) = delete;
    DriveBacking& operator=(const DriveBacking&) = delete;

    /// The floppy drive type; nothing for a backing that is not a floppy.
    std::optional<FloppyDriveType> driveType() const { return type_; }

    /// The media-type records the drive answers with: its floppy media, or one fixed-disk
    /// record for a backing that is not a floppy.
    std::span<const win::DISK_GEOMETRY> mediaTypes() const;

    /// The bytes of the disk it takes: a 1.44 MB disk's, or the size of a backing that is not
    /// a floppy.
    std::uint64_t diskBytes() const;

    /// Takes the exclusive claim until unlock() or destruction (again: no change). False with
    /// ERROR_ACCESS_DENIED for a backing that is not a floppy or is in use elsewhere. A drive
    /// without a disk is claimed; its disk is missed at the first write.
    bool lock();
    /// Gives the claim up; ERROR_NOT_LOCKED when none is held.
    bool unlock();
    /// Puts what the system caches of the disk onto it. ERROR_ACCESS_DENIED for a backing that
    /// is not a floppy, else as BackingClaim::flush.
    bool flush();
    /// Writes size bytes at offset onto the disk; *written receives how many went out. Under
    /// the claim of lock() when it is held, else under one taken for this write alone, with the
    /// failures of lock(); ERROR_NOT_READY without a disk, ERROR_SECTOR_NOT_FOUND for bytes
    /// beyond a 1.44 MB disk, else as BackingClaim::write.
    bool write(std::uint64_t offset, const void* data, std::uint32_t size, std::uint32_t* written);
    /// Reads size bytes at offset from the disk itself (never from a cache), as write does.
    bool read(std::uint64_t offset, void* data, std::uint32_t size, std::uint32_t* got);

private:
    enum class Kind { NoDisk, ImageFile, BlockDevice, Other };

    DriveBacking(std::string path, Kind kind);
    bool decideImageFile();
    bool decideBlockDevice();
    /// Logs why the open that just failed did (a missing permission names the device's group)
    /// and sets the last error from errno; false.
    bool failOpen() const;
    /// The claim to work under: the held one, else a new one in *single; null with the error.
    BackingClaim* claimForOneRequest(std::unique_ptr<BackingClaim>* single);
    bool checkRequest(std::uint64_t offset, std::uint32_t size);

    Kind kind_;
    std::optional<FloppyDriveType> type_;
    std::uint64_t backingBytes_ = 0;
    win::DISK_GEOMETRY fixedDisk_{};
    HeldBacking held_;
    std::unique_ptr<BackingClaim> lock_;
    bool noDiskLocked_ = false;
};

} // namespace platform::layer
