// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/FloppyDriveScan.h"

#include "platform/linux/FloppyMedia.h"
#include "platform/linux/SysfsBlock.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <linux/major.h>
#include <string_view>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace platform::layer {
namespace {

constexpr const char* kBlockDevices = "/sys/block";
constexpr const char* kUdevData = "/run/udev/data/b";
constexpr std::string_view kMassStorageClass = "08";
constexpr std::string_view kUfiSubclass = "04";
constexpr std::string_view kRemovable = "1";
constexpr std::string_view kUsbBus = "/usb";
constexpr std::string_view kUdevFloppyTypes[] = {"E:ID_TYPE=floppy", "E:ID_DRIVE_FLOPPY=1"};

// The USB interface the device hangs from, if any, speaks the UFI floppy command set.
bool OnUfiInterface(dev_t device) {
    std::error_code error;
    auto folder = std::filesystem::canonical(SysfsBlockFolder(device) + "/device", error);
    for (; !error && folder.has_relative_path(); folder = folder.parent_path()) {
        if (!std::filesystem::exists(folder / "bInterfaceClass", error))
            continue;
        return FirstLineOf(folder / "bInterfaceClass") == kMassStorageClass &&
               FirstLineOf(folder / "bInterfaceSubClass") == kUfiSubclass;
    }
    return false;
}

bool UdevSaysFloppy(dev_t device) {
    std::ifstream data(kUdevData + std::to_string(major(device)) + ":" +
                       std::to_string(minor(device)));
    std::string line;
    while (std::getline(data, line))
        if (std::ranges::find(kUdevFloppyTypes, line) != std::end(kUdevFloppyTypes))
            return true;
    return false;
}

bool OnUsb(dev_t device) {
    std::error_code error;
    const auto folder = std::filesystem::canonical(SysfsBlockFolder(device), error);
    return !error && folder.string().find(kUsbBus) != std::string::npos;
}

bool IsHardware(dev_t device) {
    std::error_code error;
    return std::filesystem::exists(SysfsBlockFolder(device) + "/device", error);
}

bool IsUsbFloppyDrive(dev_t device) {
    if (!IsHardware(device) || IsPartition(device))
        return false;
    if (IsFloppyDriveClass(device))
        return true;
    const bool removable = SysfsBlockAttribute(device, "removable") == kRemovable;
    return (removable || OnUsb(device)) && SysfsBlockBytes(device) == k1440KDiskBytes;
}

// The node the kernel named for the device, if it is that device.
std::string NodeOf(dev_t device) {
    const std::string node = DeviceNodeOf(device);
    struct stat status {};
    if (node.empty() || stat(node.c_str(), &status) != 0 || !S_ISBLK(status.st_mode) ||
        status.st_rdev != device)
        return {};
    return node;
}

} // namespace

bool IsFloppyDriveClass(dev_t device) {
    return major(device) == FLOPPY_MAJOR || OnUfiInterface(device) || UdevSaysFloppy(device);
}

std::vector<std::string> FindFloppyDrives() {
    std::vector<dev_t> controller;
    std::vector<dev_t> usb;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(kBlockDevices, error)) {
        const auto device = DeviceNumberIn(entry.path());
        if (!device)
            continue;
        if (major(*device) == FLOPPY_MAJOR)
            controller.push_back(*device);
        else if (IsUsbFloppyDrive(*device))
            usb.push_back(*device);
    }
    std::ranges::sort(controller);
    std::ranges::sort(usb);
    std::vector<std::string> drives;
    for (const auto& group : {controller, usb})
        for (const dev_t device : group)
            if (std::string node = NodeOf(device); !node.empty())
                drives.push_back(std::move(node));
    return drives;
}

} // namespace platform::layer
