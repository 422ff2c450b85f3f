// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Device paths of the form \\.\NAME (\\.\A:, \\.\VWIN32) and the objects that answer them. The
// layer's own devices are built in; a test mounts a fake or failing device over a name with
// RegisterDevice and removes it again with UnregisterDevice (or a ScopedDevice).

#include "platform/linux/KernelObject.h"
#include "platform/linux/PosixFile.h"

#include <functional>
#include <memory>
#include <string>

namespace platform::layer {

/// Opens the device for one CreateFileA; returns null with the last error set to refuse.
using DeviceFactory = std::function<std::shared_ptr<KernelObject>(const OpenRequest&)>;

/// True when the path names a device (\\.\ followed by a name).
bool IsDevicePath(const std::string& path);

/// Mounts factory over the device name (compared without regard to case), replacing a mount
/// made before; the built-in device of that name is hidden while the mount stands.
void RegisterDevice(const std::string& path, DeviceFactory factory);
void UnregisterDevice(const std::string& path);

/// Opens the device the path names: a mounted one, else a built-in one, else null with
/// ERROR_FILE_NOT_FOUND.
std::shared_ptr<KernelObject> OpenDevice(const OpenRequest& request);

/// The layer's built-in devices (drives, VWIN32); null with the last error when the name has none.
std::shared_ptr<KernelObject> OpenBuiltinDevice(const std::string& name,
                                                const OpenRequest& request);

/// Mounts a device for the lifetime of the object.
class ScopedDevice {
public:
    ScopedDevice(std::string path, DeviceFactory factory);
    ~ScopedDevice();
    ScopedDevice(const ScopedDevice&) = delete;
    ScopedDevice& operator=(const ScopedDevice&) = delete;

private:
    std::string path_;
};

} // namespace platform::layer
