// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The mounts of this process's namespace, as /proc/self/mountinfo lists them.

#include <string>
#include <sys/types.h>
#include <vector>

namespace platform::layer {

struct Mount {
    dev_t device = 0;   ///< st_dev of the files on the mount (a block device's own number)
    std::string type;   ///< file system type, e.g. ext4, proc, fuse.fuse2fs
    std::string source; ///< what was mounted, e.g. /dev/sdb1 or an image file
    std::string point;  ///< where
};

/// Every mount, in the table's order; empty when the table cannot be read.
std::vector<Mount> ReadMounts();

} // namespace platform::layer
