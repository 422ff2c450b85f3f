// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What a handle of the Linux layer refers to: a file, a volume device or the VWIN32 device.
// Each operation reports like its Win32 call: false with the thread's last error set.

#include "platform/Types.h"

#include <cstdint>

namespace platform::layer {

class KernelObject {
public:
    virtual ~KernelObject() = default;

    virtual bool read(void* buffer, win::DWORD toRead, win::DWORD* bytesRead);
    virtual bool write(const void* buffer, win::DWORD toWrite, win::DWORD* bytesWritten);
    /// Moves the position; *newPosition receives it. method is FILE_BEGIN, _CURRENT or _END.
    virtual bool seek(std::int64_t distance, win::DWORD method, std::uint64_t* newPosition);
    virtual bool deviceIoControl(win::DWORD code, const void* in, win::DWORD inSize, void* out,
                                 win::DWORD outSize, win::DWORD* bytesReturned);
};

} // namespace platform::layer
