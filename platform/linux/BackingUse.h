// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Whether a disk backing is in use as a disk elsewhere, judged by identity (device and inode
// numbers, device numbers), never by a path: an image file attached to a loop device or the
// source of a mount (a FUSE file system over it); a block device that is mounted (itself or a
// partition of it), built on (holders: device mapper, md, ...) or behind a loop device. Writing
// it then would go behind the back of a file system.

#include <optional>
#include <string>
#include <sys/stat.h>

namespace platform::layer {

/// Why the image file with this status is in use (for the log), or nothing when it is not.
std::optional<std::string> ImageFileUse(const struct stat& file);

/// Why the block device is in use, or nothing when it is not. An exclusive open, which the
/// claim takes besides, covers the users this cannot see.
std::optional<std::string> BlockDeviceUse(dev_t device);

} // namespace platform::layer
