// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/LoopDevices.h"

#include "platform/linux/ScopedDescriptor.h"
#include "platform/linux/SysfsBlock.h"

#include <fcntl.h>
#include <filesystem>
#include <linux/loop.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace platform::layer {
namespace {

constexpr const char* kBlockDevices = "/sys/block";
constexpr std::string_view kLoopPrefix = "loop";
constexpr const char* kBackingFile = "loop/backing_file";

// The kernel hands device numbers to user space in its portable encoding.
constexpr std::uint64_t kLowMinorMask = 0xff;
constexpr std::uint64_t kMajorMask = 0xfff00;
constexpr int kMajorShift = 8;
constexpr int kHighMinorShift = 12;

dev_t DecodeDevice(std::uint64_t encoded) {
    const auto high = static_cast<unsigned>((encoded & kMajorMask) >> kMajorShift);
    const auto low = static_cast<unsigned>((encoded & kLowMinorMask) |
                                           ((encoded >> kHighMinorShift) & kMajorMask));
    return makedev(high, low);
}

// Asks the loop device itself; false when it cannot be opened here.
bool ReadStatus(AttachedLoop& loop, dev_t number) {
    const ScopedDescriptor fd(::open(loop.device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd)
        return false;
    struct stat node {};
    loop_info64 info{};
    if (fstat(fd.get(), &node) != 0 || !S_ISBLK(node.st_mode) || node.st_rdev != number ||
        ioctl(fd.get(), LOOP_GET_STATUS64, &info) != 0)
        return false;
    loop.fileDevice = DecodeDevice(info.lo_device);
    loop.fileInode = static_cast<ino_t>(info.lo_inode);
    loop.backingDevice = info.lo_rdevice == 0 ? 0 : DecodeDevice(info.lo_rdevice);
    return true;
}

} // namespace

std::vector<AttachedLoop> AttachedLoops() {
    std::vector<AttachedLoop> loops;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(kBlockDevices, error)) {
        if (!entry.path().filename().string().starts_with(kLoopPrefix))
            continue;
        const auto backingPath = FirstLineOf(entry.path() / kBackingFile);
        if (!backingPath)
            continue; // not attached
        const auto number = DeviceNumberIn(entry.path());
        if (!number)
            continue;
        AttachedLoop loop;
        loop.backingPath = *backingPath;
        loop.device = DeviceNodeOf(*number);
        ReadStatus(loop, *number);
        loops.push_back(std::move(loop));
    }
    return loops;
}

bool PathNamesFile(const std::string& path, dev_t device, ino_t inode) {
    struct stat other {};
    return !path.empty() && path.front() == '/' && stat(path.c_str(), &other) == 0 &&
           other.st_dev == device && other.st_ino == inode;
}

bool IsBackedBy(const AttachedLoop& loop, dev_t device, ino_t inode) {
    if (loop.fileDevice && loop.fileInode)
        return *loop.fileDevice == device && *loop.fileInode == inode;
    return PathNamesFile(loop.backingPath, device, inode);
}

} // namespace platform::layer
