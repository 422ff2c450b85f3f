// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/Vwin32Device.h"

#include "platform/linux/AddressPins.h"
#include "platform/linux/DriveBacking.h"

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

// Indexed by Failure: the DOS error codes that Int 21h services leave in AX, and for Int 26h
// the BIOS status in AH with the device driver's error in AL.
constexpr std::size_t kFailureKinds = 8;
constexpr std::array<WORD, kFailureKinds> kInt21Codes{0x0001, 0x000F, 0x0009, 0x0015,
                                                      0x0013, 0x001B, 0x0005, 0x001D};
constexpr std::array<WORD, kFailureKinds> kInt26Codes{0x0103, 0x0101, 0x080C, 0x8002,
                                                      0x0300, 0x0408, 0x000C, 0x200A};

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
    Outcome outcome;
    const std::array<WORD, kFailureKinds>* codes = &kInt21Codes;
    switch (code) {
    case win::VWIN32_DIOC_DOS_IOCTL:
        outcome = getDeviceParameters(registers);
        break;
    case win::VWIN32_DIOC_DOS_INT26:
        outcome = absoluteWrite(registers);
        codes = &kInt26Codes;
        break;
    case win::VWIN32_DIOC_DOS_DRIVEINFO:
        outcome = extendedWrite(registers);
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

Vwin32Device::Outcome Vwin32Device::getDeviceParameters(const DIOC_REGISTERS& registers) const {
    if (LowWord(registers.reg_EAX) != kGenericIoctl ||
        LowWord(registers.reg_ECX) != kGetDeviceParameters)
        return Failure::InvalidFunction;
    const auto path = backingOf(static_cast<int>(registers.reg_EBX & kLowByte));
    if (!path)
        return Failure::InvalidDrive;
    const auto backing = DriveBacking::open(*path, false);
    if (!backing)
        return FailureOf(win::GetLastError());
    // Only a floppy is a drive of this kind; anything else the layer does not offer to DOS.
    if (!backing->driveType())
        return Failure::InvalidDrive;
    void* block = ResolvePinnedAddress(registers.reg_EDX, DeviceParams::kSize);
    if (block == nullptr)
        return Failure::BadAddress;
    DeviceParams params;
    std::memcpy(params.bytes.data(), block, DeviceParams::kSize);
    FillDefaultDeviceParams(*backing->driveType(), params);
    std::memcpy(block, params.bytes.data(), DeviceParams::kSize);
    return std::nullopt;
}

Vwin32Device::Outcome Vwin32Device::absoluteWrite(const DIOC_REGISTERS& registers) const {
    // Only the packet form: the one that reaches every sector of any disk.
    if (LowWord(registers.reg_ECX) != kPacketForm)
        return Failure::InvalidFunction;
    // AL holds the drive counted from 0 = A:.
    return writeSectors(registers, static_cast<int>(registers.reg_EAX & kLowByte) + 1);
}

Vwin32Device::Outcome Vwin32Device::extendedWrite(const DIOC_REGISTERS& registers) const {
    // Reads are not offered: the layer serves what a floppy tool writes.
    if (LowWord(registers.reg_EAX) != kExtendedAbsoluteIo ||
        LowWord(registers.reg_ECX) != kPacketForm || (registers.reg_ESI & kWriteFlag) == 0)
        return Failure::InvalidFunction;
    // DL holds the drive counted from 1 = A:, 0 being the default drive.
    return writeSectors(registers, static_cast<int>(registers.reg_EDX & kLowByte));
}

Vwin32Device::Outcome Vwin32Device::writeSectors(const DIOC_REGISTERS& registers, int drive) const {
    const void* packetBytes = ResolvePinnedAddress(registers.reg_EBX, DiskIoPacket::kSize);
    if (packetBytes == nullptr)
        return Failure::BadAddress;
    DiskIoPacket packet;
    std::memcpy(packet.bytes.data(), packetBytes, DiskIoPacket::kSize);

    const auto path = backingOf(drive);
    if (!path)
        return Failure::InvalidDrive;
    const auto backing = DriveBacking::open(*path, true);
    if (!backing)
        return FailureOf(win::GetLastError());
    if (!backing->driveType())
        return Failure::InvalidDrive;
    const std::uint32_t bytes = packet.get16(DiskIoPacket::kSectors) * kFloppySectorBytes;
    const void* data = ResolvePinnedAddress(packet.get32(DiskIoPacket::kBuffer), bytes);
    if (data == nullptr)
        return Failure::BadAddress;
    const std::uint64_t offset =
        std::uint64_t{packet.get32(DiskIoPacket::kStartSector)} * kFloppySectorBytes;
    std::uint32_t written = 0;
    if (!backing->write(offset, data, bytes, &written) || !backing->flush())
        return FailureOf(win::GetLastError());
    return std::nullopt;
}

std::optional<DrivePath> Vwin32Device::backingOf(int dosDrive) const {
    return drives_(dosDrive == 0 ? defaultDrive_ : dosDrive);
}

Vwin32Device::Failure Vwin32Device::FailureOf(DWORD error) {
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
    default:
        return Failure::WriteFault;
    }
}

} // namespace platform::layer
