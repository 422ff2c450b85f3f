// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/Vwin32Device.h"

#include "platform/linux/AddressPins.h"

#include <array>
#include <cstring>
#include <utility>

namespace platform::layer {
namespace {

using win::DIOC_REGISTERS;
using win::DWORD;
using win::WORD;

constexpr DWORD kCarry = 0x1;
constexpr DWORD kLowWord = 0xFFFF;
constexpr DWORD kLowByte = 0xFF;

constexpr DWORD kGenericIoctl = 0x440D;        // AX
constexpr DWORD kGetDeviceParameters = 0x0860; // CX: category 08h, minor 60h
constexpr DWORD kExtendedAbsoluteIo = 0x7305;  // AX
constexpr DWORD kPacketForm = 0xFFFF;          // CX
constexpr DWORD kWriteFlag = 0x1;              // SI bit 0 of 7305h: write

// Indexed by Failure: the DOS error codes that Int 21h services leave in AX, and for Int 25h
// and Int 26h the BIOS status in AH with the device driver's error in AL.
constexpr std::size_t kFailureKinds = 11;
constexpr std::array<WORD, kFailureKinds> kInt21Codes{
    0x0001, 0x000F, 0x0009, 0x0015, 0x0013, 0x001B, 0x0005, 0x001D, 0x001E, 0x001A, 0x0022};
constexpr std::array<WORD, kFailureKinds> kInt25Codes{
    0x0103, 0x0101, 0x080C, 0x8002, 0x0300, 0x0408, 0x000C, 0x200A, 0x200B, 0x0C07, 0x060F};

DWORD LowWord(DWORD value) {
    return value & kLowWord;
}

} // namespace

Vwin32Device::Vwin32Device(DriveResolver drives, int defaultDrive)
    : drives_(std::move(drives)), defaultDrive_(defaultDrive) {
}

bool Vwin32Device::deviceIoControl(DWORD code, const void* in, DWORD inSize, void* out,
                                   DWORD outSize, DWORD* bytesReturned) {
    *bytesReturned = 0;
    if (in == nullptr || out == nullptr || inSize < sizeof(DIOC_REGISTERS) ||
        outSize < sizeof(DIOC_REGISTERS)) {
        win::SetLastError(win::ERROR_INVALID_PARAMETER);
        return false;
    }
    DIOC_REGISTERS registers;
    std::memcpy(&registers, in, sizeof registers);
    std::lock_guard lock(mutex_);
    Outcome outcome;
    const std::array<WORD, kFailureKinds>* codes = &kInt21Codes;
    switch (code) {
    case win::VWIN32_DIOC_DOS_IOCTL:
        outcome = getDeviceParameters(registers);
        break;
    case win::VWIN32_DIOC_DOS_INT25:
    case win::VWIN32_DIOC_DOS_INT26:
        outcome = absoluteTransfer(registers, code == win::VWIN32_DIOC_DOS_INT26);
        codes = &kInt25Codes;
        break;
    case win::VWIN32_DIOC_DOS_DRIVEINFO:
        outcome = extendedTransfer(registers);
        break;
    default:
        win::SetLastError(win::ERROR_INVALID_FUNCTION);
        return false;
    }
    if (outcome) {
        registers.reg_EAX =
            (registers.reg_EAX & ~kLowWord) | (*codes)[static_cast<std::size_t>(*outcome)];
        registers.reg_Flags |= kCarry;
    } else {
        registers.reg_Flags &= ~kCarry;
    }
    std::memcpy(out, &registers, sizeof registers);
    *bytesReturned = sizeof registers;
    win::SetLastError(win::ERROR_SUCCESS);
    return true;
}

Vwin32Device::Outcome Vwin32Device::getDeviceParameters(const DIOC_REGISTERS& registers) {
    if (LowWord(registers.reg_EAX) != kGenericIoctl ||
        LowWord(registers.reg_ECX) != kGetDeviceParameters)
        return Failure::InvalidFunction;
    // A writer asks before each job: the backing is looked up afresh and held for the job.
    Failure failure{};
    const int dosDrive = static_cast<int>(registers.reg_EBX & kLowByte);
    const DriveBacking* backing = openBacking(dosDrive == 0 ? defaultDrive_ : dosDrive, &failure);
    if (backing == nullptr)
        return failure;
    void* block = ResolvePinnedAddress(registers.reg_EDX, DeviceParams::kSize);
    if (block == nullptr)
        return Failure::BadAddress;
    DeviceParams params;
    std::memcpy(params.bytes.data(), block, DeviceParams::kSize);
    FillDefaultDeviceParams(*backing->driveType(), params);
    std::memcpy(block, params.bytes.data(), DeviceParams::kSize);
    return std::nullopt;
}

Vwin32Device::Outcome Vwin32Device::absoluteTransfer(const DIOC_REGISTERS& registers, bool write) {
    // Only the packet form: the one that reaches every sector of any disk.
    if (LowWord(registers.reg_ECX) != kPacketForm)
        return Failure::InvalidFunction;
    // AL holds the drive counted from 0 = A:.
    return transferSectors(registers, static_cast<int>(registers.reg_EAX & kLowByte) + 1, write);
}

Vwin32Device::Outcome Vwin32Device::extendedTransfer(const DIOC_REGISTERS& registers) {
    if (LowWord(registers.reg_EAX) != kExtendedAbsoluteIo ||
        LowWord(registers.reg_ECX) != kPacketForm)
        return Failure::InvalidFunction;
    // DL holds the drive counted from 1 = A:, 0 being the default drive.
    return transferSectors(registers, static_cast<int>(registers.reg_EDX & kLowByte),
                           (registers.reg_ESI & kWriteFlag) != 0);
}

Vwin32Device::Outcome Vwin32Device::transferSectors(const DIOC_REGISTERS& registers, int dosDrive,
                                                    bool write) {
    const void* packetBytes = ResolvePinnedAddress(registers.reg_EBX, DiskIoPacket::kSize);
    if (packetBytes == nullptr)
        return Failure::BadAddress;
    DiskIoPacket packet;
    std::memcpy(packet.bytes.data(), packetBytes, DiskIoPacket::kSize);

    Failure failure{};
    DriveBacking* backing = heldBacking(dosDrive, &failure);
    if (backing == nullptr)
        return failure;
    const std::uint32_t bytes = packet.get16(DiskIoPacket::kSectors) * kFloppySectorBytes;
    void* data = ResolvePinnedAddress(packet.get32(DiskIoPacket::kBuffer), bytes);
    if (data == nullptr)
        return Failure::BadAddress;
    const std::uint64_t offset =
        std::uint64_t{packet.get32(DiskIoPacket::kStartSector)} * kFloppySectorBytes;
    std::uint32_t done = 0;
    const bool carried = write ? backing->write(offset, data, bytes, &done) && backing->flush()
                               : backing->read(offset, data, bytes, &done);
    if (!carried)
        return FailureOf(win::GetLastError(), write);
    return std::nullopt;
}

DriveBacking* Vwin32Device::heldBacking(int dosDrive, Failure* failure) {
    const int drive = dosDrive == 0 ? defaultDrive_ : dosDrive;
    const auto held = backings_.find(drive);
    if (held != backings_.end())
        return held->second.get();
    return openBacking(drive, failure);
}

DriveBacking* Vwin32Device::openBacking(int drive, Failure* failure) {
    backings_.erase(drive);
    const auto path = drives_(drive);
    if (!path) {
        *failure = Failure::InvalidDrive;
        return nullptr;
    }
    auto backing = DriveBacking::open(*path, true);
    if (!backing) {
        *failure = FailureOf(win::GetLastError(), false);
        return nullptr;
    }
    // Only a floppy is a drive of this kind; anything else the layer does not offer to DOS.
    if (!backing->driveType()) {
        *failure = Failure::InvalidDrive;
        return nullptr;
    }
    return (backings_[drive] = std::move(backing)).get();
}

Vwin32Device::Failure Vwin32Device::FailureOf(DWORD error, bool write) {
    switch (error) {
    case win::ERROR_FILE_NOT_FOUND:
        return Failure::InvalidDrive;
    case win::ERROR_NOT_READY:
        return Failure::NotReady;
    case win::ERROR_WRITE_PROTECT:
        return Failure::WriteProtected;
    case win::ERROR_SECTOR_NOT_FOUND:
        return Failure::SectorNotFound;
    case win::ERROR_ACCESS_DENIED:
        return Failure::AccessDenied;
    case win::ERROR_WRONG_DISK:
        return Failure::UnknownMedium;
    case win::ERROR_MEDIA_CHANGED:
        return Failure::DiskChanged;
    default:
        return write ? Failure::WriteFault : Failure::ReadFault;
    }
}

} // namespace platform::layer
