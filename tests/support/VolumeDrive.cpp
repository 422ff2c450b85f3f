// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/VolumeDrive.h"

#include "platform/Devices.h"
#include "platform/System.h"
#include "platform/linux/VolumeDevice.h"

#include <algorithm>

namespace test {
namespace {

constexpr win::DWORD kCylinderBytes = 18432;

std::string DevicePath(char letter) {
    return std::string("\\\\.\\") + letter + ":";
}

} // namespace

VolumeDrive::VolumeDrive(const std::string& path, char letter)
    : mount_(DevicePath(letter), [path](const platform::layer::OpenRequest& request) {
          return platform::layer::VolumeDevice::open({path, true}, request);
      }) {
}

platform::FileHandle VolumeDrive::Open(char letter, win::DWORD access, win::DWORD flags) {
    return platform::FileHandle(win::CreateFileA(DevicePath(letter).c_str(), access,
                                                 win::FILE_SHARE_READ | win::FILE_SHARE_WRITE,
                                                 nullptr, win::OPEN_EXISTING, flags, nullptr));
}

win::DWORD VolumeRequest(win::HANDLE volume, win::DWORD code) {
    win::DWORD returned = 0;
    return win::DeviceIoControl(volume, code, nullptr, 0, nullptr, 0, &returned, nullptr)
               ? win::ERROR_SUCCESS
               : win::GetLastError();
}

win::DWORD WriteCylinder(win::HANDLE volume, std::uint8_t value) {
    auto* data = static_cast<std::uint8_t*>(
        win::VirtualAlloc(nullptr, kCylinderBytes, win::MEM_COMMIT, win::PAGE_READWRITE));
    std::fill_n(data, kCylinderBytes, value);
    win::DWORD written = 0;
    const bool done = win::WriteFile(volume, data, kCylinderBytes, &written, nullptr);
    const win::DWORD error = done ? win::ERROR_SUCCESS : win::GetLastError();
    win::VirtualFree(data, 0, win::MEM_RELEASE);
    return error;
}

} // namespace test
