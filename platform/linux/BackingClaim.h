// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Exclusive use of a floppy backing, and the only way its disk is written or read. A claim is
// taken on the descriptor the backing was opened through, never on its path again:
//  - an image file: a whole-file flock and an open-file-description write lock (refused while
//    any other handle or process holds a lock of any kind), a size still at most a 1.44 MB
//    disk's, and no loop device or mount over it;
//  - a block device: an exclusive open (refused while it is mounted or claimed elsewhere) with
//    the same locks, and no mount, holder or loop device over it or a partition of it.
// Its disk is checked at the first read or write under the claim (see DiskMedium), and every
// write after it finds the disk's size as the claim left it: a change means another disk or a
// file changed behind the job's back, and the write fails. Writes reach the medium before they
// report success; reads come from the medium, around the page cache and the driver's buffers.

#include "platform/Types.h"
#include "platform/linux/ScopedDescriptor.h"

#include <cstdint>
#include <memory>
#include <string>
#include <sys/stat.h>

namespace platform::layer {

/// An open descriptor for the disk's bytes.
struct DiskIo {
    ScopedDescriptor fd;
    bool direct = false;   ///< O_DIRECT: around the page cache
    bool readOnly = false; ///< opened for reading only: the disk is write-protected
};

/// What the backing was found to be when it was opened; it outlives its claims.
struct HeldBacking {
    std::string path;        ///< as named, for the log only
    ScopedDescriptor anchor; ///< O_PATH descriptor of what the path named at open
    struct stat status {};   ///< its fstat
    bool unbuffered = false;
    /// An image file: its descriptor for the bytes, opened at once; unused for a block device,
    /// whose disk is opened under a claim.
    DiskIo image;

    /// The path through which the very object the anchor holds is opened again.
    std::string reopenPath() const;
    bool isBlockDevice() const { return S_ISBLK(status.st_mode); }
};

/// Why a user without permission cannot open the node, naming the group that may (for the log).
std::string NoPermissionReason(const struct stat& node);

/// Appends a line about the backing at path to the layer's log.
void LogBacking(const std::string& path, const std::string& what);

class BackingClaim {
public:
    /// Takes the claim; null with the last error: ERROR_ACCESS_DENIED when another holds the
    /// backing (a lock, a mount, a loop device, an exclusive open), has no permission, or the
    /// image file grew beyond a 1.44 MB disk. The reason goes to the log.
    static std::unique_ptr<BackingClaim> take(HeldBacking& backing);
    ~BackingClaim();
    BackingClaim(const BackingClaim&) = delete;
    BackingClaim& operator=(const BackingClaim&) = delete;

    /// Writes all bytes at offset onto the medium; *written receives how many went out. Fails
    /// with the disk's error (DiskMedium), ERROR_WRITE_PROTECT, ERROR_MEDIA_CHANGED (the size
    /// changed since the claim), or the mapped errno of the write or its flush.
    bool write(std::uint64_t offset, const void* data, std::uint32_t size, std::uint32_t* written);
    /// Reads size bytes at offset from the medium itself; bytes beyond an image file's end read
    /// as 0. Failures as write's, ERROR_READ_FAULT for a failed read.
    bool read(std::uint64_t offset, void* data, std::uint32_t size, std::uint32_t* got);
    /// Puts what is cached of the disk onto it; true when nothing was opened yet.
    bool flush();

private:
    explicit BackingClaim(HeldBacking& backing);
    bool claimImageFile();
    bool claimBlockDevice();
    /// The disk, opened and checked on first use; null with the last error.
    DiskIo* disk();
    bool sameSize(DiskIo& io);
    bool fail(win::DWORD error, const std::string& what);

    HeldBacking& backing_;
    int lockedFd_ = -1;          ///< the descriptor that carries the locks
    ScopedDescriptor exclusive_; ///< a block device's exclusive open
    DiskIo medium_;              ///< a block device's disk, once opened
    std::uint64_t expectedBytes_ = 0;
};

} // namespace platform::layer
