// SPDX-License-Identifier: GPL-2.0-or-later
// The layer's own devices: the volumes of drives A: and B: over what the environment maps them
// to, and the VWIN32 device, which exists only while the layer reports Windows 9x.
#include "platform/System.h"
#include "platform/linux/DeviceRegistry.h"
#include "platform/linux/DriveMap.h"
#include "platform/linux/VolumeDevice.h"
#include "platform/linux/Vwin32Device.h"

namespace platform::layer {
namespace {

struct VolumeName {
    const char* name;
    int drive;
};
constexpr VolumeName kVolumes[] = {{"A:", kDriveA}, {"B:", kDriveB}};
constexpr const char* kVwin32Name = "VWIN32";

bool ReportsWindows9x() {
    win::OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    return win::GetVersionExA(&version) && version.dwPlatformId == win::VER_PLATFORM_WIN32_WINDOWS;
}

std::shared_ptr<KernelObject> NotFound() {
    win::SetLastError(win::ERROR_FILE_NOT_FOUND);
    return nullptr;
}

} // namespace

std::shared_ptr<KernelObject> OpenBuiltinDevice(const std::string& name,
                                                const OpenRequest& request) {
    for (const VolumeName& volume : kVolumes) {
        if (name != volume.name)
            continue;
        const auto path = MappedDrive(volume.drive);
        if (!path)
            return NotFound();
        return VolumeDevice::open(*path, request);
    }
    // The default drive of a 9x machine is its hard disk, which the layer does not offer.
    if (name == kVwin32Name && ReportsWindows9x())
        return std::make_shared<Vwin32Device>(MappedDrive, kDriveC);
    return NotFound();
}

} // namespace platform::layer
