// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The Windows 9x VWIN32 device over the layer's drive backings. It answers the DOS services a
// floppy tool uses, with the carry flag and error code in AX as DOS reports them:
//  - control code 1, Int 21h 440Dh category 08h minor 60h (get device parameters): the drive's
//    default DEVICEPARAMS (device type 7, 80 cylinders, 512-byte sectors, 2,880 sectors for a
//    1.44 MB drive);
//  - control code 3, Int 26h in its packet form (CX = FFFFh, DS:BX the DISKIO packet, AL the
//    0-based drive): absolute sector write;
//  - control code 6, Int 21h 7305h (CX = FFFFh, SI bit 0 set, DL the drive, 0 the default):
//    extended absolute sector write.
// Addresses in registers and packets are platform::AddressPin values; one that no pin holds is
// a fault reported with carry set. Each write is written through to the disk before it returns.

#include "platform/Devices.h"
#include "platform/linux/DriveMap.h"
#include "platform/linux/KernelObject.h"

#include <functional>
#include <optional>

namespace platform::layer {

inline constexpr int kDriveC = 3;

class Vwin32Device final : public KernelObject {
public:
    /// The backing of DOS drive n (1 = A:), or nothing when the drive does not exist.
    using DriveResolver = std::function<std::optional<DrivePath>(int driveNumber)>;

    /// defaultDrive: the drive that DOS drive number 0, the current default drive, stands for.
    Vwin32Device(DriveResolver drives, int defaultDrive);

    /// The register block is input and output (28 bytes each, else ERROR_INVALID_PARAMETER);
    /// TRUE whenever the service ran, its outcome in the carry flag. Other control codes:
    /// ERROR_INVALID_FUNCTION.
    bool deviceIoControl(win::DWORD code, const void* in, win::DWORD inSize, void* out,
                         win::DWORD outSize, win::DWORD* bytesReturned) override;

private:
    enum class Failure {
        InvalidFunction,
        InvalidDrive,
        BadAddress,
        NotReady,
        WriteProtected,
        SectorNotFound,
        AccessDenied,
        WriteFault,
    };
    using Outcome = std::optional<Failure>; ///< nothing: the service succeeded

    Outcome getDeviceParameters(const win::DIOC_REGISTERS& registers) const;
    Outcome absoluteWrite(const win::DIOC_REGISTERS& registers) const;
    Outcome extendedWrite(const win::DIOC_REGISTERS& registers) const;
    /// Writes what the DISKIO packet at EBX names to DOS drive drive (1 = A:, 0 the default).
    Outcome writeSectors(const win::DIOC_REGISTERS& registers, int drive) const;
    /// The backing of a DOS drive number, 0 standing for the default drive.
    std::optional<DrivePath> backingOf(int dosDrive) const;
    static Failure FailureOf(win::DWORD error);

    DriveResolver drives_;
    int defaultDrive_;
};

} // namespace platform::layer
