// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/DriveBacking.h"

#include "platform/linux/Errno.h"
#include "platform/linux/ImageFileUse.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <linux/fd.h>
#include <linux/major.h>
#include <string>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <utility>

namespace platform::layer {
namespace {

constexpr std::uint64_t kSysfsSectorBytes = 512;

bool Fail(win::DWORD error) {
    win::SetLastError(error);
    return false;
}

std::string SysfsBlockPath(dev_t device, const char* attribute) {
    return "/sys/dev/block/" + std::to_string(major(device)) + ":" + std::to_string(minor(device)) +
           "/" + attribute;
}

std::uint64_t BlockDeviceBytes(dev_t device) {
    std::ifstream size(SysfsBlockPath(device, "size"));
    std::uint64_t sectors = 0;
    size >> sectors;
    return sectors * kSysfsSectorBytes;
}

bool IsPartition(dev_t device) {
    struct stat status {};
    return stat(SysfsBlockPath(device, "partition").c_str(), &status) == 0;
}

// The floppy driver's own report of the drive: its CMOS drive type.
std::optional<FloppyDriveType> FloppyDriverType(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    floppy_drive_params params{};
    const bool known = ioctl(fd, FDGETDRVPRM, &params) == 0;
    ::close(fd);
    return known ? DriveTypeFromCmos(params.cmos) : std::nullopt;
}

// A block device is a floppy when the floppy driver runs it, or when it is a whole device of
// exactly one 1.44 MB disk (a USB floppy drive).
std::optional<FloppyDriveType> BlockDeviceType(const std::string& path, dev_t device) {
    if (major(device) == FLOPPY_MAJOR)
        return FloppyDriverType(path);
    if (!IsPartition(device) && BlockDeviceBytes(device) == k1440KDiskBytes)
        return FloppyDriveType::k1440K;
    return std::nullopt;
}

} // namespace

// The exclusive claim on a backing: the flock that every handle and request of the layer
// takes before it writes, and for a block device an exclusive open, which the kernel refuses
// while the device is mounted or held by another exclusive user, and which keeps it from being
// mounted meanwhile.
class DriveBacking::Claim {
public:
    explicit Claim(int lockedFd) : lockedFd_(lockedFd) {}
    ~Claim() {
        if (exclusiveFd_ >= 0)
            ::close(exclusiveFd_);
        flock(lockedFd_, LOCK_UN);
    }
    Claim(const Claim&) = delete;
    Claim& operator=(const Claim&) = delete;

    void holdExclusive(int fd) { exclusiveFd_ = fd; }

private:
    int lockedFd_;
    int exclusiveFd_ = -1;
};

DriveBacking::DriveBacking(std::string path, Kind kind, std::optional<FloppyDriveType> type,
                           std::uint64_t bytes)
    : path_(std::move(path)), kind_(kind), type_(type), fixedDisk_(FixedDiskGeometry(bytes)) {
}

DriveBacking::~DriveBacking() {
    lock_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

std::unique_ptr<DriveBacking> DriveBacking::open(const DrivePath& path, bool unbuffered) {
    struct stat status {};
    if (stat(path.path.c_str(), &status) != 0) {
        if (errno == ENOENT && path.named)
            return std::unique_ptr<DriveBacking>(
                new DriveBacking(path.path, Kind::ImageFile, FloppyDriveType::k1440K, 0));
        FailFromErrno();
        return nullptr;
    }
    std::unique_ptr<DriveBacking> backing;
    if (S_ISREG(status.st_mode)) {
        const auto bytes = static_cast<std::uint64_t>(status.st_size);
        const auto type =
            bytes <= k1440KDiskBytes ? std::optional(FloppyDriveType::k1440K) : std::nullopt;
        backing.reset(new DriveBacking(path.path, Kind::ImageFile, type, bytes));
    } else if (S_ISBLK(status.st_mode)) {
        backing.reset(new DriveBacking(path.path, Kind::BlockDevice,
                                       BlockDeviceType(path.path, status.st_rdev),
                                       BlockDeviceBytes(status.st_rdev)));
    } else {
        backing.reset(new DriveBacking(path.path, Kind::Other, std::nullopt, 0));
    }
    // Only a floppy is ever opened for writing.
    if (backing->type_ && !backing->openForWriting(unbuffered))
        return nullptr;
    return backing;
}

bool DriveBacking::openForWriting(bool unbuffered) {
    // A floppy drive without a disk opens only without delay.
    const int flags = O_CLOEXEC | O_NONBLOCK;
    if (unbuffered) {
        fd_ = ::open(path_.c_str(), flags | O_RDWR | O_DIRECT);
        direct_ = fd_ >= 0;
    }
    if (fd_ < 0)
        fd_ = ::open(path_.c_str(), flags | O_RDWR);
    if (fd_ < 0 && (errno == EACCES || errno == EROFS)) {
        fd_ = ::open(path_.c_str(), flags | O_RDONLY);
        readOnly_ = fd_ >= 0;
    }
    return fd_ >= 0 || FailFromErrno();
}

std::span<const win::DISK_GEOMETRY> DriveBacking::mediaTypes() const {
    if (type_)
        return MediaTypesOf(*type_);
    return {&fixedDisk_, 1};
}

std::unique_ptr<DriveBacking::Claim> DriveBacking::takeClaim() const {
    if (!type_) {
        Fail(win::ERROR_ACCESS_DENIED);
        return nullptr;
    }
    if (fd_ < 0) {
        Fail(win::ERROR_NOT_READY);
        return nullptr;
    }
    if (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        Fail(win::ERROR_ACCESS_DENIED);
        return nullptr;
    }
    auto claim = std::make_unique<Claim>(fd_);
    if (kind_ == Kind::ImageFile) {
        struct stat status {};
        if (fstat(fd_, &status) != 0 || ImageFileInUse(status)) {
            Fail(win::ERROR_ACCESS_DENIED);
            return nullptr;
        }
    } else {
        const int exclusive = ::open(path_.c_str(), O_RDONLY | O_EXCL | O_NONBLOCK | O_CLOEXEC);
        if (exclusive < 0) {
            Fail(win::ERROR_ACCESS_DENIED);
            return nullptr;
        }
        claim->holdExclusive(exclusive);
    }
    return claim;
}

bool DriveBacking::lock() {
    if (lock_)
        return true;
    lock_ = takeClaim();
    return lock_ != nullptr;
}

bool DriveBacking::unlock() {
    if (!lock_)
        return Fail(win::ERROR_NOT_LOCKED);
    lock_.reset();
    return true;
}

bool DriveBacking::flush() {
    if (!type_)
        return Fail(win::ERROR_ACCESS_DENIED);
    if (fd_ < 0)
        return Fail(win::ERROR_NOT_READY);
    return fsync(fd_) == 0 || FailFromErrno();
}

bool DriveBacking::write(std::uint64_t offset, const void* data, std::uint32_t size,
                         std::uint32_t* written) {
    *written = 0;
    if (!type_)
        return Fail(win::ERROR_ACCESS_DENIED);
    if (fd_ < 0)
        return Fail(win::ERROR_NOT_READY);
    if (readOnly_)
        return Fail(win::ERROR_WRITE_PROTECT);
    const std::uint64_t capacity = CapacityOf(*type_);
    if (offset > capacity || size > capacity - offset)
        return Fail(win::ERROR_SECTOR_NOT_FOUND);
    std::unique_ptr<Claim> forThisWrite;
    if (!lock_) {
        forThisWrite = takeClaim();
        if (!forThisWrite)
            return false;
    }
    return writeAll(offset, static_cast<const unsigned char*>(data), size, written);
}

bool DriveBacking::writeAll(std::uint64_t offset, const unsigned char* data, std::uint32_t size,
                            std::uint32_t* written) {
    while (*written < size) {
        const ssize_t put =
            pwrite(fd_, data + *written, size - *written, static_cast<off_t>(offset + *written));
        if (put > 0) {
            *written += static_cast<std::uint32_t>(put);
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        // Direct I/O wants the buffer and size aligned to the device's block; anything else
        // goes through the cache instead.
        if (put < 0 && errno == EINVAL && direct_ && dropDirectIo())
            continue;
        return put == 0 ? Fail(win::ERROR_WRITE_FAULT) : FailFromErrno();
    }
    win::SetLastError(win::ERROR_SUCCESS);
    return true;
}

bool DriveBacking::dropDirectIo() {
    const int flags = fcntl(fd_, F_GETFL);
    if (flags < 0 || fcntl(fd_, F_SETFL, flags & ~O_DIRECT) != 0)
        return false;
    direct_ = false;
    return true;
}

} // namespace platform::layer
