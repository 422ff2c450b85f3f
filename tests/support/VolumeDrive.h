// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A drive of the layer over a path of the test's choice, as the environment would map it, and
// its volume opened as the NT writer opens it.

#include "platform/Devices.h"
#include "platform/ScopedHandle.h"
#include "platform/linux/DeviceRegistry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace test {

class VolumeDrive {
public:
    /// Maps \\.\letter: onto path through the layer's volume device while the object lives.
    explicit VolumeDrive(const std::string& path, char letter = 'A');

    /// Opens \\.\letter: (access and flags as CreateFileA takes them; by default read and
    /// write without system buffering); empty when the open fails.
    static platform::FileHandle Open(char letter = 'A', win::DWORD access = kReadWrite,
                                     win::DWORD flags = kNoBuffering);

    static constexpr win::DWORD kReadWrite = win::GENERIC_READ | win::GENERIC_WRITE;
    static constexpr win::DWORD kNoBuffering = win::FILE_FLAG_NO_BUFFERING;

private:
    platform::layer::ScopedDevice mount_;
};

/// Sends a volume request without buffers (FSCTL_LOCK_VOLUME, ...): ERROR_SUCCESS, or the error
/// it failed with.
win::DWORD VolumeRequest(win::HANDLE volume, win::DWORD code);

/// Writes one cylinder, 18,432 bytes of value from a page-aligned buffer, at the handle's
/// position: ERROR_SUCCESS, or the error it failed with.
win::DWORD WriteCylinder(win::HANDLE volume, std::uint8_t value);

/// The records of the volume's media-type request; none when it fails.
std::vector<win::DISK_GEOMETRY> MediaTypes(win::HANDLE volume);

/// Whether the records list the 1.44 MB medium.
bool TakesHighDensity(const std::vector<win::DISK_GEOMETRY>& records);

/// One cylinder in page-aligned memory, as unbuffered handles take it, filled with value.
class CylinderBuffer {
public:
    static constexpr win::DWORD kBytes = 18432;

    explicit CylinderBuffer(std::uint8_t value);
    ~CylinderBuffer();
    CylinderBuffer(const CylinderBuffer&) = delete;
    CylinderBuffer& operator=(const CylinderBuffer&) = delete;
    std::uint8_t* get() const { return data_; }

private:
    std::uint8_t* data_;
};

} // namespace test
