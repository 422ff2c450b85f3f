// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/BackingClaim.h"

#include "platform/Devices.h"
#include "platform/linux/BackingHook.h"
#include "platform/linux/BackingUse.h"
#include "platform/linux/DiskMedium.h"
#include "platform/linux/Errno.h"
#include "platform/linux/FileLocks.h"
#include "platform/linux/FloppyMedia.h"
#include "platform/linux/GroupName.h"
#include "platform/linux/Log.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/major.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace platform::layer {
namespace {

std::string Range(std::uint64_t offset, std::uint32_t size) {
    return "bytes " + std::to_string(offset) + " to " + std::to_string(offset + size - 1) +
           " (cylinder " + std::to_string(offset / kFloppyCylinderBytes) + ")";
}

// Direct I/O wants buffer, offset and size aligned to the device's block; anything else goes
// through the cache instead.
bool DropDirectIo(DiskIo& io) {
    const int flags = fcntl(io.fd.get(), F_GETFL);
    if (flags < 0 || fcntl(io.fd.get(), F_SETFL, flags & ~O_DIRECT) != 0)
        return false;
    io.direct = false;
    return true;
}

bool IsFloppyDriver(const struct stat& status) {
    return S_ISBLK(status.st_mode) && major(status.st_rdev) == FLOPPY_MAJOR;
}

// Makes the next read of the range come from the disk: what the cache holds of it is written
// out and let go, and the floppy driver's track buffer emptied.
void ReachTheDisk(DiskIo& io, bool floppyDriver, std::uint64_t offset, std::uint32_t size) {
    if (!io.direct)
        fdatasync(io.fd.get());
    ForgetCachedRange(io.fd.get(), floppyDriver, offset, size);
}

} // namespace

std::string NoPermissionReason(const struct stat& node) {
    return "no permission to open it; members of group " + GroupName(node.st_gid) + " may";
}

void LogBacking(const std::string& path, const std::string& what) {
    LogLine("floppy drive " + path + ": " + what);
}

std::string HeldBacking::reopenPath() const {
    return "/proc/self/fd/" + std::to_string(anchor.get());
}

std::unique_ptr<BackingClaim> BackingClaim::take(HeldBacking& backing) {
    RunBackingHook(BackingMoment::Claiming, backing.path);
    std::unique_ptr<BackingClaim> claim(new BackingClaim(backing));
    const bool taken =
        backing.isBlockDevice() ? claim->claimBlockDevice() : claim->claimImageFile();
    return taken ? std::move(claim) : nullptr;
}

BackingClaim::BackingClaim(HeldBacking& backing) : backing_(backing) {
}

BackingClaim::~BackingClaim() {
    if (lockedFd_ >= 0)
        UnlockFile(lockedFd_);
}

bool BackingClaim::fail(win::DWORD error, const std::string& what) {
    LogBacking(backing_.path, what);
    win::SetLastError(error);
    return false;
}

bool BackingClaim::claimImageFile() {
    const int fd = backing_.image.fd.get();
    std::string holder;
    if (!LockFile(fd, &holder))
        return fail(win::ERROR_ACCESS_DENIED, "in use: locked by " + holder);
    lockedFd_ = fd;
    struct stat now {};
    if (fstat(fd, &now) != 0)
        return fail(Win32ErrorFromErrno(errno),
                    std::string("cannot be examined: ") + std::strerror(errno));
    const auto bytes = static_cast<std::uint64_t>(now.st_size);
    if (bytes > k1440KDiskBytes)
        return fail(win::ERROR_ACCESS_DENIED,
                    "grew to " + std::to_string(bytes) + " bytes, more than a 1.44 MB disk");
    if (const auto use = ImageFileUse(now))
        return fail(win::ERROR_ACCESS_DENIED, "in use: " + *use);
    expectedBytes_ = bytes;
    return true;
}

bool BackingClaim::claimBlockDevice() {
    constexpr int kClaim = O_NONBLOCK | O_EXCL | O_CLOEXEC;
    exclusive_.reset(::open(backing_.reopenPath().c_str(), O_RDWR | kClaim));
    if (!exclusive_ && errno == EROFS)
        exclusive_.reset(::open(backing_.reopenPath().c_str(), O_RDONLY | kClaim));
    if (!exclusive_) {
        if (errno == EACCES || errno == EPERM)
            return fail(win::ERROR_ACCESS_DENIED, NoPermissionReason(backing_.status));
        if (errno == EBUSY)
            return fail(win::ERROR_ACCESS_DENIED,
                        "in use: mounted or held exclusively by another program");
        return fail(Win32ErrorFromErrno(errno),
                    std::string("cannot be claimed: ") + std::strerror(errno));
    }
    std::string holder;
    if (!LockFile(exclusive_.get(), &holder))
        return fail(win::ERROR_ACCESS_DENIED, "in use: locked by " + holder);
    lockedFd_ = exclusive_.get();
    if (const auto use = BlockDeviceUse(backing_.status.st_rdev))
        return fail(win::ERROR_ACCESS_DENIED, "in use: " + *use);
    expectedBytes_ = k1440KDiskBytes;
    return true;
}

DiskIo* BackingClaim::disk() {
    // An image file's bytes were opened with the backing; its size is checked at each transfer.
    if (!backing_.isBlockDevice())
        return &backing_.image;
    if (medium_.fd)
        return &medium_;
    DiskMedium opened =
        OpenDiskMedium(backing_.reopenPath(), backing_.status.st_rdev, backing_.unbuffered);
    if (!opened.fd) {
        fail(opened.error, opened.reason);
        return nullptr;
    }
    medium_.fd = std::move(opened.fd);
    medium_.direct = opened.direct;
    return &medium_;
}

bool BackingClaim::sameSize(DiskIo& io) {
    std::uint64_t bytes = 0;
    if (backing_.isBlockDevice()) {
        bytes = MediumBytes(io.fd.get());
    } else {
        struct stat now {};
        bytes = fstat(io.fd.get(), &now) == 0 ? static_cast<std::uint64_t>(now.st_size) : 0;
    }
    if (bytes == expectedBytes_)
        return true;
    return fail(win::ERROR_MEDIA_CHANGED, "its size changed from " +
                                              std::to_string(expectedBytes_) + " to " +
                                              std::to_string(bytes) + " bytes during the job");
}

bool BackingClaim::write(std::uint64_t offset, const void* data, std::uint32_t size,
                         std::uint32_t* written) {
    *written = 0;
    RunBackingHook(BackingMoment::Writing, backing_.path);
    DiskIo* io = disk();
    if (io == nullptr)
        return false;
    if (io->readOnly)
        return fail(win::ERROR_WRITE_PROTECT, "the disk is write-protected");
    if (!sameSize(*io))
        return false;
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (*written < size) {
        const ssize_t put = pwrite(io->fd.get(), bytes + *written, size - *written,
                                   static_cast<off_t>(offset + *written));
        if (put > 0) {
            *written += static_cast<std::uint32_t>(put);
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && errno == EINVAL && io->direct && DropDirectIo(*io))
            continue;
        if (put == 0)
            return fail(win::ERROR_WRITE_FAULT, "writing " + Range(offset, size) + " stopped");
        return fail(Win32ErrorFromErrno(errno),
                    "writing " + Range(offset, size) + " failed: " + std::strerror(errno));
    }
    // Written through the cache, the bytes are on the disk only once flushed.
    if (!io->direct && fdatasync(io->fd.get()) != 0)
        return fail(Win32ErrorFromErrno(errno), "writing " + Range(offset, size) +
                                                    " to the disk failed: " + std::strerror(errno));
    expectedBytes_ = std::max(expectedBytes_, offset + size);
    win::SetLastError(win::ERROR_SUCCESS);
    return true;
}

bool BackingClaim::read(std::uint64_t offset, void* data, std::uint32_t size, std::uint32_t* got) {
    *got = 0;
    DiskIo* io = disk();
    if (io == nullptr || !sameSize(*io))
        return false;
    auto* bytes = static_cast<unsigned char*>(data);
    ReachTheDisk(*io, IsFloppyDriver(backing_.status), offset, size);
    while (*got < size) {
        const ssize_t read =
            pread(io->fd.get(), bytes + *got, size - *got, static_cast<off_t>(offset + *got));
        if (read > 0) {
            *got += static_cast<std::uint32_t>(read);
            continue;
        }
        if (read == 0) {
            // Beyond the end of a shorter image file: nothing was ever written there.
            std::memset(bytes + *got, 0, size - *got);
            *got = size;
            break;
        }
        if (errno == EINTR)
            continue;
        if (errno == EINVAL && io->direct && DropDirectIo(*io)) {
            ReachTheDisk(*io, IsFloppyDriver(backing_.status), offset, size);
            continue;
        }
        return fail(errno == EIO ? win::ERROR_READ_FAULT : Win32ErrorFromErrno(errno),
                    "reading " + Range(offset, size) + " failed: " + std::strerror(errno));
    }
    win::SetLastError(win::ERROR_SUCCESS);
    return true;
}

bool BackingClaim::flush() {
    const int fd = backing_.isBlockDevice() ? medium_.fd.get() : backing_.image.fd.get();
    if (fd < 0)
        return true;
    if (fdatasync(fd) == 0)
        return true;
    return fail(Win32ErrorFromErrno(errno),
                std::string("flushing the disk failed: ") + std::strerror(errno));
}

} // namespace platform::layer
