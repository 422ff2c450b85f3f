// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The loop devices that are attached, each with the identity of the file behind it.

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace platform::layer {

struct AttachedLoop {
    std::string device; ///< its node, e.g. /dev/loop3
    /// The backing file's device and inode as the loop driver holds them (LOOP_GET_STATUS64);
    /// nothing when the loop device could not be asked (no permission to open it).
    std::optional<dev_t> fileDevice;
    std::optional<ino_t> fileInode;
    /// The backing's own device number when the backing is itself a block device, else 0.
    dev_t backingDevice = 0;
    /// The path the loop driver reports for its backing (sysfs backing_file); may be stale.
    std::string backingPath;
};

/// Every attached loop device.
std::vector<AttachedLoop> AttachedLoops();

/// True when the absolute path names, at this moment, the file with this device and inode.
bool PathNamesFile(const std::string& path, dev_t device, ino_t inode);

/// True when the loop is backed by the file with this device and inode: by identity where the
/// loop device could be asked, else by the path it reports.
bool IsBackedBy(const AttachedLoop& loop, dev_t device, ino_t inode);

} // namespace platform::layer
