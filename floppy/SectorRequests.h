// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The Windows 9x absolute sector write through VWIN32, and its read counterpart.

#include "platform/Types.h"

#include <cstdint>

/// Writes sectorCount sectors of 512 bytes from buffer to the disk in drive driveNumber (1-based,
/// 1 = A:), from sector startSector on, with one request to FloppyDevice.vwin32Handle: Int 21h
/// 7305h when PlatformProfile.useExtendedWrite, else Int 26h. The carry flag is set before the
/// request, so a service that does nothing reads as failed. True when the request was carried
/// out and returned with carry clear.
bool WriteSectors(std::uint32_t startSector, std::uint16_t sectorCount, std::int32_t driveNumber,
                  const void* buffer);

/// Reads the same way into buffer: Int 21h 7305h with the read flag, else Int 25h.
bool ReadSectors(std::uint32_t startSector, std::uint16_t sectorCount, std::int32_t driveNumber,
                 void* buffer);
