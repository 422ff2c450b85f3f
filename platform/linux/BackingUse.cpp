// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/BackingUse.h"

#include "platform/linux/LoopDevices.h"
#include "platform/linux/MountTable.h"
#include "platform/linux/SysfsBlock.h"

namespace platform::layer {
std::optional<std::string> ImageFileUse(const struct stat& file) {
    for (const AttachedLoop& loop : AttachedLoops())
        if (IsBackedBy(loop, file.st_dev, file.st_ino))
            return "attached to " + loop.device;
    for (const Mount& mount : ReadMounts())
        if (PathNamesFile(mount.source, file.st_dev, file.st_ino))
            return "mounted on " + mount.point;
    return std::nullopt;
}

std::optional<std::string> BlockDeviceUse(dev_t device) {
    std::vector<dev_t> parts = PartitionsOf(device);
    parts.insert(parts.begin(), device);
    for (const Mount& mount : ReadMounts())
        for (const dev_t part : parts)
            if (mount.device == part)
                return "mounted on " + mount.point;
    for (const dev_t part : parts)
        if (const auto holders = HoldersOf(part); !holders.empty())
            return "held by " + holders.front();
    for (const AttachedLoop& loop : AttachedLoops())
        for (const dev_t part : parts)
            if (loop.backingDevice == part)
                return "behind " + loop.device;
    return std::nullopt;
}

} // namespace platform::layer
