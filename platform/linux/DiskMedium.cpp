// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/DiskMedium.h"

#include "platform/Devices.h"
#include "platform/linux/Errno.h"
#include "platform/linux/FloppyMedia.h"
#include "platform/linux/SysfsBlock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fd.h>
#include <linux/fs.h>
#include <linux/major.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace platform::layer {
namespace {

DiskMedium Failed(win::DWORD error, std::string reason) {
    DiskMedium medium;
    medium.error = error;
    medium.reason = std::move(reason);
    return medium;
}

DiskMedium FailedOpen(int error) {
    switch (error) {
    case ENXIO:
    case ENOMEDIUM:
    case ENODEV:
        return Failed(win::ERROR_NOT_READY, std::string("no disk (") + std::strerror(error) + ")");
    case EROFS:
        return Failed(win::ERROR_WRITE_PROTECT, "the disk is write-protected");
    case EACCES:
    case EPERM:
        return Failed(win::ERROR_ACCESS_DENIED, "no permission to write the device");
    case EBUSY:
        return Failed(win::ERROR_ACCESS_DENIED, "the drive is in use under another name");
    default:
        return Failed(Win32ErrorFromErrno(error), std::strerror(error));
    }
}

// The floppy driver's own account of the disk's format, learnt while opening it.
bool FloppyDriverSaysHighDensity(int fd, std::string* format) {
    floppy_struct geometry{};
    if (ioctl(fd, FDGETPRM, &geometry) != 0) {
        *format = std::string("format unknown (") + std::strerror(errno) + ")";
        return false;
    }
    *format = std::to_string(geometry.track) + " tracks x " + std::to_string(geometry.head) +
              " heads x " + std::to_string(geometry.sect) + " sectors of " +
              std::to_string(FD_SECTSIZE(&geometry)) + " bytes";
    return geometry.size == k1440KDiskBytes / kFloppySectorBytes &&
           geometry.sect == k1440KMedium.SectorsPerTrack &&
           geometry.head == k1440KMedium.TracksPerCylinder &&
           geometry.track == k1440KMedium.Cylinders.QuadPart &&
           FD_SECTSIZE(&geometry) == kFloppySectorBytes;
}

int OpenFlags(dev_t device, bool unbuffered, bool* direct) {
    int flags = O_RDWR | O_CLOEXEC;
    *direct = unbuffered && kFloppyCylinderBytes % LogicalSectorBytes(device) == 0;
    if (*direct)
        flags |= O_DIRECT;
    if (MayCacheWrites(device))
        flags |= O_DSYNC;
    return flags;
}

} // namespace

DiskMedium OpenDiskMedium(const std::string& reopenPath, dev_t device, bool unbuffered) {
    DiskMedium medium;
    medium.fd.reset(::open(reopenPath.c_str(), OpenFlags(device, unbuffered, &medium.direct)));
    if (!medium.fd)
        return FailedOpen(errno);
    struct stat status {};
    if (fstat(medium.fd.get(), &status) != 0 || !S_ISBLK(status.st_mode) ||
        status.st_rdev != device)
        return Failed(win::ERROR_ACCESS_DENIED, "the device changed under its name");
    int readOnly = 0;
    if (ioctl(medium.fd.get(), BLKROGET, &readOnly) == 0 && readOnly != 0)
        return Failed(win::ERROR_WRITE_PROTECT, "the device is read-only");
    std::string format;
    if (major(device) == FLOPPY_MAJOR && !FloppyDriverSaysHighDensity(medium.fd.get(), &format))
        return Failed(win::ERROR_WRONG_DISK, "the disk is not a 1.44 MB disk: " + format);
    const std::uint64_t bytes = MediumBytes(medium.fd.get());
    if (bytes == 0)
        return Failed(win::ERROR_NOT_READY, "no disk (size 0)");
    if (bytes != k1440KDiskBytes)
        return Failed(win::ERROR_WRONG_DISK,
                      "the disk holds " + std::to_string(bytes) + " bytes, not 1,474,560");
    return medium;
}

std::uint64_t MediumBytes(int fd) {
    std::uint64_t bytes = 0;
    return ioctl(fd, BLKGETSIZE64, &bytes) == 0 ? bytes : 0;
}

void ForgetCachedRange(int fd, bool floppyDriver, std::uint64_t offset, std::uint64_t bytes) {
    // The floppy driver keeps the last track it moved in a buffer of its own and serves reads
    // of it from there; FDFLUSH empties it (and the device's page cache).
    if (floppyDriver)
        ioctl(fd, FDFLUSH);
    posix_fadvise(fd, static_cast<off_t>(offset), static_cast<off_t>(bytes), POSIX_FADV_DONTNEED);
}

} // namespace platform::layer
