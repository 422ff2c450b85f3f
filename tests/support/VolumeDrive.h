// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A drive of the layer over a path of the test's choice, as the environment would map it, and
// its volume opened as the NT writer opens it.

#include "platform/ScopedHandle.h"
#include "platform/linux/DeviceRegistry.h"

#include <cstdint>
#include <string>

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

} // namespace test
