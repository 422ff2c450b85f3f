// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/DeviceRegistry.h"

#include "platform/NoDestructor.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

namespace platform::layer {
namespace {

constexpr std::string_view kDevicePrefix = "\\\\.\\";

std::string DeviceName(const std::string& path) {
    std::string name = path.substr(std::min(path.size(), kDevicePrefix.size()));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

struct Mounts {
    std::mutex mutex;
    std::map<std::string, DeviceFactory> factories;
};

Mounts& mounts() {
    static platform::NoDestructor<Mounts> instance;
    return instance.get();
}

} // namespace

bool IsDevicePath(const std::string& path) {
    return path.size() > kDevicePrefix.size() && path.starts_with(kDevicePrefix);
}

void RegisterDevice(const std::string& path, DeviceFactory factory) {
    std::lock_guard lock(mounts().mutex);
    mounts().factories[DeviceName(path)] = std::move(factory);
}

void UnregisterDevice(const std::string& path) {
    std::lock_guard lock(mounts().mutex);
    mounts().factories.erase(DeviceName(path));
}

std::shared_ptr<KernelObject> OpenDevice(const OpenRequest& request) {
    const std::string name = DeviceName(request.path);
    DeviceFactory factory;
    {
        std::lock_guard lock(mounts().mutex);
        auto found = mounts().factories.find(name);
        if (found != mounts().factories.end())
            factory = found->second;
    }
    // The factory runs outside the lock: it may open real devices and take its time.
    if (factory)
        return factory(request);
    return OpenBuiltinDevice(name, request);
}

ScopedDevice::ScopedDevice(std::string path, DeviceFactory factory) : path_(std::move(path)) {
    RegisterDevice(path_, std::move(factory));
}

ScopedDevice::~ScopedDevice() {
    UnregisterDevice(path_);
}

} // namespace platform::layer
