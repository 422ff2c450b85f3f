// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The disk behind a drive of the layer, opened for one handle or one request: what it is, the
// media its drive takes, and the only way to write it. This is the guard against writing the
// wrong disk: a backing that is not a floppy (a hard disk, a partition, a block device or image
// file larger than a 1.44 MB disk, anything that is neither block device nor file) takes no
// floppy medium and is never written, and a floppy is written only under an exclusive claim
// that nothing else holds: no other handle's or process's lock, no mount, no loop device over
// an image file.

#include "platform/Devices.h"
#include "platform/linux/DriveMap.h"
#include "platform/linux/FloppyMedia.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace platform::layer {

class DriveBacking {
public:
    /// Opens the backing; unbuffered: writes bypass the page cache where the backing allows
    /// (O_DIRECT; a file system without it, such as tmpfs, is written through the cache). A
    /// named path that does not exist is a drive without a disk. Null with the last error:
    /// ERROR_FILE_NOT_FOUND when a default device does not exist (no drive), or the error of a
    /// failed open.
    static std::unique_ptr<DriveBacking> open(const DrivePath& path, bool unbuffered);
    ~DriveBacking();
    DriveBacking(const DriveBacking&) = delete;
    DriveBacking& operator=(const DriveBacking&) = delete;

    /// The floppy drive type; nothing for a backing that is not a floppy.
    std::optional<FloppyDriveType> driveType() const { return type_; }

    /// The media-type records the drive answers with: its floppy media, or one fixed-disk
    /// record for a backing that is not a floppy.
    std::span<const win::DISK_GEOMETRY> mediaTypes() const;

    /// Takes the exclusive claim until unlock() or destruction (again: no change). False with
    /// ERROR_ACCESS_DENIED for a backing that is not a floppy or is in use elsewhere,
    /// ERROR_NOT_READY for a drive without a disk.
    bool lock();
    /// Gives the claim up; ERROR_NOT_LOCKED when none is held.
    bool unlock();
    /// Writes what the system caches of the backing out to the disk. ERROR_ACCESS_DENIED for a
    /// backing that is not a floppy, ERROR_NOT_READY without a disk.
    bool flush();
    /// Writes size bytes at offset; *written receives how many went out. Under the claim of
    /// lock() when it is held, else under one taken for this write alone, with the failures of
    /// lock(); ERROR_WRITE_PROTECT for a backing that cannot be written, ERROR_SECTOR_NOT_FOUND
    /// for bytes beyond the largest medium of the drive.
    bool write(std::uint64_t offset, const void* data, std::uint32_t size, std::uint32_t* written);

private:
    enum class Kind { ImageFile, BlockDevice, Other };
    class Claim;

    DriveBacking(std::string path, Kind kind, std::optional<FloppyDriveType> type,
                 std::uint64_t bytes);
    bool openForWriting(bool unbuffered);
    std::unique_ptr<Claim> takeClaim() const;
    bool writeAll(std::uint64_t offset, const unsigned char* data, std::uint32_t size,
                  std::uint32_t* written);
    bool dropDirectIo();

    std::string path_;
    Kind kind_;
    std::optional<FloppyDriveType> type_;
    win::DISK_GEOMETRY fixedDisk_;
    int fd_ = -1; // -1 without a disk, and always for a backing that is not a floppy
    bool readOnly_ = false;
    bool direct_ = false;
    std::unique_ptr<Claim> lock_;
};

} // namespace platform::layer
