// SPDX-License-Identifier: GPL-2.0-or-later
#include "floppy/SectorRequests.h"

#include "app/PlatformProfile.h"
#include "floppy/FloppyDevice.h"
#include "floppy/Vwin32Request.h"
#include "resfile/Catalogue.h"

using namespace win;

namespace {

constexpr DWORD kExtendedAbsoluteIo = 0x7305;      // Int 21h function, in AX
constexpr DWORD kExtendedPacketForm = 0xFFFFFFFFu; // CX = -1: DS:BX is the packet
constexpr DWORD kWriteFileData = 0x6001;           // SI: bit 0 write, bits 13-15 = 3 file data
constexpr DWORD kReadData = 0x0000;                // SI: bit 0 clear, read
constexpr DWORD kAbsolutePacketForm = 0xFFFF;      // Int 25h/26h: CX = FFFFh, DS:BX is the packet

enum class Direction { Read, Write };

bool TransferSectors(Direction direction, std::uint32_t startSector, std::uint16_t sectorCount,
                     std::int32_t driveNumber, const void* buffer) {
    platform::AddressPin data(buffer, std::size_t{sectorCount} * catalogue::kSectorBytes);
    platform::DiskIoPacket packet;
    packet.set32(platform::DiskIoPacket::kStartSector, startSector);
    packet.set16(platform::DiskIoPacket::kSectors, sectorCount);
    packet.set32(platform::DiskIoPacket::kBuffer, data.value());
    platform::AddressPin packetAddress(packet.bytes.data(), packet.bytes.size());

    const bool write = direction == Direction::Write;
    DIOC_REGISTERS registers{};
    registers.reg_EBX = packetAddress.value();
    registers.reg_Flags = kCarryFlag; // a request that is not carried out reads as failed
    DWORD controlCode = write ? VWIN32_DIOC_DOS_INT26 : VWIN32_DIOC_DOS_INT25;
    if (PlatformProfile.useExtendedWrite) {
        controlCode = VWIN32_DIOC_DOS_DRIVEINFO;
        registers.reg_EAX = kExtendedAbsoluteIo;
        registers.reg_ECX = kExtendedPacketForm;
        registers.reg_EDX = static_cast<DWORD>(driveNumber);
        registers.reg_ESI = write ? kWriteFileData : kReadData;
    } else {
        registers.reg_EAX = static_cast<DWORD>(driveNumber - 1); // Int 25h/26h count A: as 0
        registers.reg_ECX = kAbsolutePacketForm;
    }
    return CallVwin32(FloppyDevice.vwin32Handle, controlCode, registers);
}

} // namespace

bool WriteSectors(std::uint32_t startSector, std::uint16_t sectorCount, std::int32_t driveNumber,
                  const void* buffer) {
    return TransferSectors(Direction::Write, startSector, sectorCount, driveNumber, buffer);
}

bool ReadSectors(std::uint32_t startSector, std::uint16_t sectorCount, std::int32_t driveNumber,
                 void* buffer) {
    return TransferSectors(Direction::Read, startSector, sectorCount, driveNumber, buffer);
}
