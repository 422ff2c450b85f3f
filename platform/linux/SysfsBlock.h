// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What the kernel tells of a block device in sysfs, found by its device number: never by a
// name, so that what is asked about is the device a descriptor holds.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace platform::layer {

/// The folder of the block device in sysfs: /sys/dev/block/MAJOR:MINOR.
std::string SysfsBlockFolder(dev_t device);

/// The first line of a text file (a sysfs attribute); nothing when it cannot be read.
std::optional<std::string> FirstLineOf(const std::filesystem::path& file);

/// The device number that a sysfs device folder's dev file names.
std::optional<dev_t> DeviceNumberIn(const std::filesystem::path& folder);

/// One line of an attribute of the device (size, removable, dev, ...); nothing when it cannot
/// be read.
std::optional<std::string> SysfsBlockAttribute(dev_t device, const char* attribute);

/// The device's size in bytes from sysfs (its size in 512-byte units); 0 when unknown.
std::uint64_t SysfsBlockBytes(dev_t device);

/// True for a partition of a disk.
bool IsPartition(dev_t device);

/// The whole disk of a partition; the device itself when it is a whole disk.
dev_t WholeDiskOf(dev_t device);

/// The device numbers of the partitions of a whole disk.
std::vector<dev_t> PartitionsOf(dev_t disk);

/// The names of the devices built on this one (device mapper, md, bcache, ...).
std::vector<std::string> HoldersOf(dev_t device);

/// The smallest unit the device transfers, in bytes (its logical block size); 512 when unknown.
std::uint32_t LogicalSectorBytes(dev_t device);

/// False only when the device (or, for a partition, its disk) reports that it keeps no written
/// data in a volatile cache ("write through"); a device sysfs does not know (a file system's
/// anonymous device) may cache.
bool MayCacheWrites(dev_t device);

/// The device's node under /dev as the kernel names it (DEVNAME), e.g. /dev/fd0; empty when
/// unknown.
std::string DeviceNodeOf(dev_t device);

/// The device number in a sysfs "MAJOR:MINOR" text; nothing when the text is not one.
std::optional<dev_t> ParseDeviceNumber(const std::string& text);

} // namespace platform::layer
