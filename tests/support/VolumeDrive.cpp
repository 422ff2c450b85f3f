// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/VolumeDrive.h"

#include "platform/Devices.h"
#include "platform/System.h"
#include "platform/linux/VolumeDevice.h"

#include <algorithm>

namespace test {
namespace {

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
    const CylinderBuffer data(value);
    win::DWORD written = 0;
    return win::WriteFile(volume, data.get(), CylinderBuffer::kBytes, &written, nullptr)
               ? win::ERROR_SUCCESS
               : win::GetLastError();
}

std::vector<win::DISK_GEOMETRY> MediaTypes(win::HANDLE volume) {
    std::vector<win::DISK_GEOMETRY> records(10);
    win::DWORD returned = 0;
    if (!win::DeviceIoControl(volume, win::IOCTL_DISK_GET_MEDIA_TYPES, nullptr, 0, records.data(),
                              static_cast<win::DWORD>(records.size() * sizeof(win::DISK_GEOMETRY)),
                              &returned, nullptr))
        return {};
    records.resize(returned / sizeof(win::DISK_GEOMETRY));
    return records;
}

bool TakesHighDensity(const std::vector<win::DISK_GEOMETRY>& records) {
    return std::any_of(records.begin(), records.end(), [](const win::DISK_GEOMETRY& record) {
        return record.MediaType == win::F3_1Pt44_512;
    });
}

CylinderBuffer::CylinderBuffer(std::uint8_t value)
    : data_(static_cast<std::uint8_t*>(
          win::VirtualAlloc(nullptr, kBytes, win::MEM_COMMIT, win::PAGE_READWRITE))) {
    std::fill_n(data_, kBytes, value);
}

CylinderBuffer::~CylinderBuffer() {
    win::VirtualFree(data_, 0, win::MEM_RELEASE);
}

} // namespace test
