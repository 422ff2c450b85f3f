// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The floppy drives of the machine, found in sysfs: the floppy controller's drives, then USB
// floppy drives. Only what the kernel reports is read; no drive and no disk is opened.

#include <string>
#include <sys/types.h>
#include <vector>

namespace platform::layer {

/// True when the block device is a floppy drive by its class, whatever disk it holds (or none):
/// a drive of the floppy controller, or a USB floppy drive (a mass-storage interface of the UFI
/// subclass, or one udev's database types as a floppy).
bool IsFloppyDriveClass(dev_t device);

/// The drives, in the order they take the letters: the floppy controller's (fd0, fd1, ...), then
/// USB floppy drives (whole disks of real hardware: of the floppy class, or removable or on USB
/// and holding exactly 2,880 sectors), by device number. Each is the path of its node under
/// /dev, checked to be that device.
std::vector<std::string> FindFloppyDrives();

} // namespace platform::layer
