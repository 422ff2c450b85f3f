// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The Windows 9x VWIN32 device over the layer's drive backings. It answers the DOS services a
// floppy tool uses, with the carry flag and error code in AX as DOS reports them:
//  - control code 1, Int 21h 440Dh category 08h minor 60h (get device parameters): the drive's
//    default DEVICEPARAMS (device type 7, 80 cylinders, 512-byte sectors, 2,880 sectors for a
//    1.44 MB drive);
//  - control codes 2 and 3, Int 25h and Int 26h in their packet form (CX = FFFFh, DS:BX the
//    DISKIO packet, AL the 0-based drive): absolute sector read and write;
//  - control code 6, Int 21h 7305h (CX = FFFFh, SI bit 0 set to write, clear to read, DL the
//    drive, 0 the default): extended absolute sector read and write.
// Addresses in registers and packets are platform::AddressPin values; one that no pin holds is
// a fault reported with carry set. Each write is on the disk before it returns, and each read
// comes from the disk itself. A drive's backing is opened when its parameters are asked (as a
// writer does before each job) or at its first transfer, and every transfer after that goes to
// that same backing, whatever its path names meanwhile; each transfer takes the backing's
// claim for itself alone.

#include "platform/Devices.h"
#include "platform/linux/DriveBacking.h"
#include "platform/linux/DriveMap.h"
#include "platform/linux/KernelObject.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
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
        ReadFault,
        UnknownMedium,
        DiskChanged,
    };
    using Outcome = std::optional<Failure>; ///< nothing: the service succeeded

    Outcome getDeviceParameters(const win::DIOC_REGISTERS& registers);
    Outcome absoluteTransfer(const win::DIOC_REGISTERS& registers, bool write);
    Outcome extendedTransfer(const win::DIOC_REGISTERS& registers);
    /// Writes, or reads into, what the DISKIO packet at EBX names on DOS drive dosDrive (1 =
    /// A:, 0 the default).
    Outcome transferSectors(const win::DIOC_REGISTERS& registers, int dosDrive, bool write);
    /// The backing of a DOS drive number (0 standing for the default drive): the one held for
    /// it, else one opened now and held; null with the failure.
    DriveBacking* heldBacking(int dosDrive, Failure* failure);
    /// Opens the drive's backing afresh and holds it; null with the failure.
    DriveBacking* openBacking(int drive, Failure* failure);
    static Failure FailureOf(win::DWORD error, bool write);

    DriveResolver drives_;
    int defaultDrive_;
    std::mutex mutex_; ///< one service at a time, as DOS runs them
    std::map<int, std::unique_ptr<DriveBacking>> backings_;
};

} // namespace platform::layer
