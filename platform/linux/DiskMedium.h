// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The disk in a floppy-type block device (the floppy controller's drive, a USB floppy, a loop
// device of one 1.44 MB disk), opened the way its driver checks it: without O_NONBLOCK, so that
// the floppy driver looks for a disk, learns whether it is write-protected and detects its
// format. Discovery and the job's claim open the device with O_NONBLOCK and never touch the
// disk; this runs at the job's first read or write.

#include "platform/Types.h"
#include "platform/linux/ScopedDescriptor.h"

#include <cstdint>
#include <string>
#include <sys/types.h>

namespace platform::layer {

struct DiskMedium {
    ScopedDescriptor fd; ///< open for reading and writing; invalid on failure
    bool direct = false; ///< opened with O_DIRECT
    win::DWORD error = win::ERROR_SUCCESS;
    std::string reason; ///< for the log, on failure
};

/// Opens the disk of the block device device through reopenPath (/proc/self/fd/N of a
/// descriptor the backing holds, so it is that very device). unbuffered asks for O_DIRECT,
/// taken only where the device's sector size divides a floppy cylinder; O_DSYNC where the
/// device may cache writes. The disk must be a 1.44 MB one (2,880 sectors of 512 bytes; for
/// the floppy driver 80 cylinders, 2 heads, 18 sectors). Failures: ERROR_NOT_READY (no disk),
/// ERROR_WRITE_PROTECT (EROFS, or the device reports itself read-only), ERROR_WRONG_DISK
/// (another format, such as a 720 KB disk), ERROR_ACCESS_DENIED (no permission, or the disk is
/// held elsewhere), or the error of a failed open.
DiskMedium OpenDiskMedium(const std::string& reopenPath, dev_t device, bool unbuffered);

/// The medium's size in bytes now (BLKGETSIZE64); 0 when it cannot be asked.
std::uint64_t MediumBytes(int fd);

/// Makes the next read of the range come from the disk itself: the floppy driver's track
/// buffer and the page cache let go of it. Written data must be on the disk already.
void ForgetCachedRange(int fd, bool floppyDriver, std::uint64_t offset, std::uint64_t bytes);

} // namespace platform::layer
