// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/DriveBacking.h"

#include "platform/linux/BackingHook.h"
#include "platform/linux/DiskMedium.h"
#include "platform/linux/Errno.h"
#include "platform/linux/FloppyDriveScan.h"
#include "platform/linux/PseudoFileSystem.h"
#include "platform/linux/SysfsBlock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fd.h>
#include <linux/major.h>
#include <sys/ioctl.h>
#include <sys/sysmacros.h>
#include <utility>

namespace platform::layer {
namespace {

bool Fail(win::DWORD error) {
    win::SetLastError(error);
    return false;
}

// The floppy driver's own report of the drive: its CMOS drive type.
std::optional<FloppyDriveType> FloppyDriverType(int fd) {
    floppy_drive_params params{};
    if (ioctl(fd, FDGETDRVPRM, &params) != 0)
        return std::nullopt;
    return DriveTypeFromCmos(params.cmos);
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

DriveBacking::DriveBacking(std::string path, Kind kind) : kind_(kind) {
    held_.path = std::move(path);
}

DriveBacking::~DriveBacking() = default;

std::unique_ptr<DriveBacking> DriveBacking::open(const DrivePath& path, bool unbuffered) {
    // The one lookup of the path: everything below asks this descriptor.
    ScopedDescriptor anchor(::open(path.path.c_str(), O_PATH | O_CLOEXEC));
    if (!anchor) {
        if (errno == ENOENT && path.named) {
            std::unique_ptr<DriveBacking> empty(new DriveBacking(path.path, Kind::NoDisk));
            empty->type_ = FloppyDriveType::k1440K;
            return empty;
        }
        FailFromErrno();
        return nullptr;
    }
    struct stat status {};
    if (fstat(anchor.get(), &status) != 0) {
        FailFromErrno();
        return nullptr;
    }
    RunBackingHook(BackingMoment::Opened, path.path);
    const Kind kind = S_ISREG(status.st_mode)   ? Kind::ImageFile
                      : S_ISBLK(status.st_mode) ? Kind::BlockDevice
                                                : Kind::Other;
    std::unique_ptr<DriveBacking> backing(new DriveBacking(path.path, kind));
    backing->held_.anchor = std::move(anchor);
    backing->held_.status = status;
    backing->held_.unbuffered = unbuffered;
    const bool decided = kind == Kind::ImageFile     ? backing->decideImageFile()
                         : kind == Kind::BlockDevice ? backing->decideBlockDevice()
                                                     : true;
    return decided ? std::move(backing) : nullptr;
}

bool DriveBacking::decideImageFile() {
    const struct stat& status = held_.status;
    const auto bytes = static_cast<std::uint64_t>(status.st_size);
    backingBytes_ = bytes;
    fixedDisk_ = FixedDiskGeometry(bytes);
    if (const auto pseudo = PseudoFileSystemOf(held_.anchor.get(), status)) {
        LogBacking(held_.path, "not a disk: a file of the " + *pseudo + " pseudo file system");
        return true;
    }
    if (bytes > k1440KDiskBytes)
        return true;
    type_ = FloppyDriveType::k1440K;
    // Only a floppy is ever opened for its bytes.
    int flags = O_CLOEXEC;
    if (held_.unbuffered && kFloppyCylinderBytes % LogicalSectorBytes(status.st_dev) == 0)
        flags |= O_DIRECT;
    const std::string reopen = held_.reopenPath();
    DiskIo& io = held_.image;
    const int writable = MayCacheWrites(status.st_dev) ? O_RDWR | O_DSYNC : O_RDWR;
    // A file system without direct I/O refuses O_DIRECT with EINVAL, and may do so only after
    // it has checked the access: each access falls back to buffered I/O on its own.
    const auto open = [&](int access) {
        io.fd.reset(::open(reopen.c_str(), flags | access));
        if (!io.fd && errno == EINVAL && (flags & O_DIRECT) != 0) {
            flags &= ~O_DIRECT;
            io.fd.reset(::open(reopen.c_str(), flags | access));
        }
    };
    open(writable);
    if (!io.fd && (errno == EACCES || errno == EPERM || errno == EROFS)) {
        open(O_RDONLY);
        io.readOnly = true;
    }
    if (!io.fd)
        return failOpen();
    io.direct = (flags & O_DIRECT) != 0;
    struct stat opened {};
    if (fstat(io.fd.get(), &opened) != 0 || !SameFile(opened, status))
        return Fail(win::ERROR_ACCESS_DENIED);
    return true;
}

bool DriveBacking::decideBlockDevice() {
    // Asked without touching the disk: a floppy drive without one opens only without delay.
    const ScopedDescriptor query(
        ::open(held_.reopenPath().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!query)
        return failOpen();
    const dev_t device = held_.status.st_rdev;
    const std::uint64_t bytes = MediumBytes(query.get());
    backingBytes_ = bytes;
    fixedDisk_ = FixedDiskGeometry(bytes);
    if (major(device) == FLOPPY_MAJOR)
        type_ = FloppyDriverType(query.get());
    else if (!IsPartition(device) && (bytes == k1440KDiskBytes || IsFloppyDriveClass(device)))
        type_ = FloppyDriveType::k1440K;
    return true;
}

bool DriveBacking::failOpen() const {
    const int error = errno;
    LogBacking(held_.path, error == EACCES || error == EPERM
                               ? NoPermissionReason(held_.status)
                               : std::string("cannot be opened: ") + std::strerror(error));
    win::SetLastError(Win32ErrorFromErrno(error));
    return false;
}

std::span<const win::DISK_GEOMETRY> DriveBacking::mediaTypes() const {
    if (type_)
        return MediaTypesOf(*type_);
    return {&fixedDisk_, 1};
}

std::uint64_t DriveBacking::diskBytes() const {
    return type_ ? k1440KDiskBytes : backingBytes_;
}

bool DriveBacking::lock() {
    if (!type_) {
        LogBacking(held_.path, "not a 1.44 MB floppy drive: never written");
        return Fail(win::ERROR_ACCESS_DENIED);
    }
    if (kind_ == Kind::NoDisk) {
        noDiskLocked_ = true;
        return true;
    }
    if (!lock_)
        lock_ = BackingClaim::take(held_);
    return lock_ != nullptr;
}

bool DriveBacking::unlock() {
    if (!lock_ && !noDiskLocked_)
        return Fail(win::ERROR_NOT_LOCKED);
    lock_.reset();
    noDiskLocked_ = false;
    return true;
}

bool DriveBacking::flush() {
    if (!type_)
        return Fail(win::ERROR_ACCESS_DENIED);
    if (kind_ == Kind::NoDisk)
        return Fail(win::ERROR_NOT_READY);
    if (lock_)
        return lock_->flush();
    if (kind_ == Kind::ImageFile && fdatasync(held_.image.fd.get()) != 0)
        return FailFromErrno();
    return true;
}

bool DriveBacking::checkRequest(std::uint64_t offset, std::uint32_t size) {
    if (!type_)
        return Fail(win::ERROR_ACCESS_DENIED);
    if (kind_ == Kind::NoDisk)
        return Fail(win::ERROR_NOT_READY);
    if (offset > k1440KDiskBytes || size > k1440KDiskBytes - offset)
        return Fail(win::ERROR_SECTOR_NOT_FOUND);
    return true;
}

BackingClaim* DriveBacking::claimForOneRequest(std::unique_ptr<BackingClaim>* single) {
    if (lock_)
        return lock_.get();
    *single = BackingClaim::take(held_);
    return single->get();
}

bool DriveBacking::write(std::uint64_t offset, const void* data, std::uint32_t size,
                         std::uint32_t* written) {
    *written = 0;
    if (!checkRequest(offset, size))
        return false;
    std::unique_ptr<BackingClaim> single;
    BackingClaim* claim = claimForOneRequest(&single);
    return claim != nullptr && claim->write(offset, data, size, written);
}

bool DriveBacking::read(std::uint64_t offset, void* data, std::uint32_t size, std::uint32_t* got) {
    *got = 0;
    if (!checkRequest(offset, size))
        return false;
    std::unique_ptr<BackingClaim> single;
    BackingClaim* claim = claimForOneRequest(&single);
    return claim != nullptr && claim->read(offset, data, size, got);
}

} // namespace platform::layer
