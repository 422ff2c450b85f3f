// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/Vwin32Device.h"

#include "platform/Devices.h"
#include "platform/Files.h"
#include "platform/ScopedHandle.h"
#include "platform/VersionOverride.h"
#include "platform/linux/AddressPins.h"
#include "support/CapturedLog.h"
#include "support/ContainerBuilder.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

using namespace win;
using platform::AddressPin;
using platform::DeviceParams;
using platform::DiskIoPacket;
using platform::layer::DrivePath;
using platform::layer::Vwin32Device;

namespace {

constexpr std::size_t kDiskBytes = 1474560;
constexpr DWORD kCarry = 1;
constexpr WORD kSectors = 36;
constexpr std::size_t kCylinderBytes = kSectors * 512;

// A VWIN32 device over image files by DOS drive number.
Vwin32Device Device(std::map<int, std::string> images, int defaultDrive = 3) {
    return Vwin32Device(
        [images](int drive) -> std::optional<DrivePath> {
            const auto found = images.find(drive);
            if (found == images.end())
                return std::nullopt;
            return DrivePath{found->second, true};
        },
        defaultDrive);
}

// Runs the request; the registers as they came back, or nothing when the device refused it.
std::optional<DIOC_REGISTERS> Call(Vwin32Device& device, DWORD code, DIOC_REGISTERS registers) {
    DWORD returned = 0;
    if (!device.deviceIoControl(code, &registers, sizeof registers, &registers, sizeof registers,
                                &returned))
        return std::nullopt;
    EXPECT_EQ(returned, sizeof registers);
    return registers;
}

DIOC_REGISTERS GetParameters(DWORD drive, DWORD block) {
    DIOC_REGISTERS registers{};
    registers.reg_EAX = 0x440D;
    registers.reg_EBX = drive;
    registers.reg_ECX = 0x0860;
    registers.reg_EDX = block;
    registers.reg_Flags = kCarry;
    return registers;
}

// The outcome of a service: 0 when carry is clear, else the error code in AX.
DWORD Outcome(const std::optional<DIOC_REGISTERS>& registers) {
    EXPECT_TRUE(registers.has_value());
    if (!registers || (registers->reg_Flags & kCarry) == 0)
        return 0;
    return registers->reg_EAX & 0xFFFF;
}

// checks the device parameters of a 1.44 MB drive and the failures of the request
TEST(Vwin32Device, GetDeviceParameters) {
    test::TempDir dir;
    const test::CapturedLog reasons(dir); // the layer's log stays in the folder
    const std::string image = dir.path("a.img");
    ASSERT_TRUE(test::WriteFileBytes(image, test::Bytes(kDiskBytes, 0)));
    const std::string large = dir.path("large.img");
    ASSERT_TRUE(test::WriteFileBytes(large, test::Bytes(4 * kDiskBytes, 0)));
    Vwin32Device device = Device({{1, image}, {2, large}}, 1);
    DeviceParams params;
    const AddressPin block(params.bytes.data(), params.bytes.size());

    for (const DWORD drive : {0u, 1u}) {
        SCOPED_TRACE(drive);
        params = {};
        ASSERT_EQ(Outcome(Call(device, VWIN32_DIOC_DOS_IOCTL, GetParameters(drive, block.value()))),
                  0u);
        EXPECT_EQ(params.get8(DeviceParams::kDeviceType), 7);
        EXPECT_EQ(params.get16(DeviceParams::kCylinders), 80);
        EXPECT_EQ(params.get16(DeviceParams::kBytesPerSector), 512);
        EXPECT_EQ(params.get16(DeviceParams::kTotalSectors), 2880);
    }

    struct Case {
        const char* name;
        DIOC_REGISTERS registers;
        DWORD error;
    };
    DIOC_REGISTERS otherMinor = GetParameters(1, block.value());
    otherMinor.reg_ECX = 0x0866;
    const Case cases[] = {
        {"a drive the layer does not have", GetParameters(3, block.value()), 0x0F},
        {"a backing larger than a floppy", GetParameters(2, block.value()), 0x0F},
        {"an address no pin holds", GetParameters(1, 0x1234), 0x09},
        {"another IOCTL", otherMinor, 0x01},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Outcome(Call(device, VWIN32_DIOC_DOS_IOCTL, c.registers)), c.error);
    }
}

// checks both sector writes and both reads end to end and every way they fail, with carry as
// the outcome
TEST(Vwin32Device, SectorTransfers) {
    test::TempDir dir;
    const test::CapturedLog reasons(dir); // the layer's log stays in the folder
    const std::string image = dir.path("a.img");
    ASSERT_TRUE(test::WriteFileBytes(image, test::Bytes(kDiskBytes, 0)));
    Vwin32Device device = Device({{1, image}, {2, dir.path("missing.img")}}, 1);
    std::vector<std::uint8_t> data(kCylinderBytes, 0x5A);
    const AddressPin buffer(data.data(), data.size());
    const AddressPin halfBuffer(data.data(), data.size() / 2);
    std::vector<std::uint8_t> readBack(kCylinderBytes, 0);
    const AddressPin readBuffer(readBack.data(), readBack.size());

    struct Case {
        const char* name;
        DWORD code;
        DWORD eax, ecx, edx, esi;
        DWORD startSector;
        DWORD bufferPin;
        DWORD error; // 0: written
    };
    const Case cases[] = {
        {"Int 26h on A:", VWIN32_DIOC_DOS_INT26, 0, 0xFFFF, 0, 0, 36, buffer.value(), 0},
        {"7305h on A:", VWIN32_DIOC_DOS_DRIVEINFO, 0x7305, 0xFFFFFFFF, 1, 0x6001, 72,
         buffer.value(), 0},
        {"7305h on the default drive", VWIN32_DIOC_DOS_DRIVEINFO, 0x7305, 0xFFFFFFFF, 0, 0x6001,
         108, buffer.value(), 0},
        {"Int 26h without the packet form", VWIN32_DIOC_DOS_INT26, 0, 36, 0, 0, 0, buffer.value(),
         0x0103},
        {"7305h read", VWIN32_DIOC_DOS_DRIVEINFO, 0x7305, 0xFFFFFFFF, 1, 0, 36, readBuffer.value(),
         0},
        {"Int 25h read", VWIN32_DIOC_DOS_INT25, 0, 0xFFFF, 0, 0, 72, readBuffer.value(), 0},
        {"Int 25h without a disk", VWIN32_DIOC_DOS_INT25, 1, 0xFFFF, 0, 0, 0, readBuffer.value(),
         0x8002},
        {"7305h read beyond the disk", VWIN32_DIOC_DOS_DRIVEINFO, 0x7305, 0xFFFFFFFF, 1, 0, 2870,
         readBuffer.value(), 0x1B},
        {"Int 26h with a short buffer", VWIN32_DIOC_DOS_INT26, 0, 0xFFFF, 0, 0, 0,
         halfBuffer.value(), 0x080C},
        {"7305h with a short buffer", VWIN32_DIOC_DOS_DRIVEINFO, 0x7305, 0xFFFFFFFF, 1, 0x6001, 0,
         halfBuffer.value(), 0x09},
        {"Int 26h without a disk", VWIN32_DIOC_DOS_INT26, 1, 0xFFFF, 0, 0, 0, buffer.value(),
         0x8002},
        {"7305h without a disk", VWIN32_DIOC_DOS_DRIVEINFO, 0x7305, 0xFFFFFFFF, 2, 0x6001, 0,
         buffer.value(), 0x15},
        {"Int 26h on C:", VWIN32_DIOC_DOS_INT26, 2, 0xFFFF, 0, 0, 0, buffer.value(), 0x0101},
        {"Int 26h beyond the disk", VWIN32_DIOC_DOS_INT26, 0, 0xFFFF, 0, 0, 2870, buffer.value(),
         0x0408},
        {"7305h beyond the disk", VWIN32_DIOC_DOS_DRIVEINFO, 0x7305, 0xFFFFFFFF, 1, 0x6001, 2870,
         buffer.value(), 0x1B},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiskIoPacket packet;
        packet.set32(DiskIoPacket::kStartSector, c.startSector);
        packet.set16(DiskIoPacket::kSectors, kSectors);
        packet.set32(DiskIoPacket::kBuffer, c.bufferPin);
        const AddressPin packetPin(packet.bytes.data(), packet.bytes.size());
        DIOC_REGISTERS registers{packetPin.value(), c.edx, c.ecx, c.eax, 0, c.esi, kCarry};
        EXPECT_EQ(Outcome(Call(device, c.code, registers)), c.error);
    }
    EXPECT_EQ(readBack, data) << "the reads gave back what the writes put on the disk";
    const test::Bytes disk = test::ReadFileBytes(image);
    ASSERT_EQ(disk.size(), kDiskBytes);
    for (std::size_t at = 0; at < kDiskBytes; at += 512) {
        const bool written = at >= 36 * 512 && at < 144 * 512;
        ASSERT_EQ(disk[at], written ? 0x5A : 0x00) << "sector " << at / 512;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path("missing.img")));
}

// checks that the device keeps writing the backing it looked up when the drive's parameters were
// asked, whatever the path names afterwards
TEST(Vwin32Device, WritesTheBackingItLookedUp) {
    test::TempDir dir;
    const test::CapturedLog reasons(dir); // the layer's log stays in the folder
    const std::string image = dir.path("a.img");
    const std::string other = dir.path("other.img");
    ASSERT_TRUE(test::WriteFileBytes(image, test::Bytes(kDiskBytes, 0)));
    ASSERT_TRUE(test::WriteFileBytes(other, test::Bytes(kDiskBytes, 0x11)));
    Vwin32Device device = Device({{1, image}});
    DeviceParams params;
    const AddressPin block(params.bytes.data(), params.bytes.size());
    ASSERT_EQ(Outcome(Call(device, VWIN32_DIOC_DOS_IOCTL, GetParameters(1, block.value()))), 0u);
    // Another file now answers to the drive's name.
    const std::string held = dir.path("held.img");
    std::filesystem::rename(image, held);
    std::filesystem::rename(other, image);

    std::vector<std::uint8_t> data(kCylinderBytes, 0x5A);
    const AddressPin buffer(data.data(), data.size());
    DiskIoPacket packet;
    packet.set16(DiskIoPacket::kSectors, kSectors);
    packet.set32(DiskIoPacket::kBuffer, buffer.value());
    const AddressPin packetPin(packet.bytes.data(), packet.bytes.size());
    const DIOC_REGISTERS write{packetPin.value(), 0, 0xFFFF, 0, 0, 0, kCarry};
    EXPECT_EQ(Outcome(Call(device, VWIN32_DIOC_DOS_INT26, write)), 0u);
    EXPECT_EQ(test::ReadFileBytes(image), test::Bytes(kDiskBytes, 0x11));
    EXPECT_EQ(test::ReadFileBytes(held)[0], 0x5A);
}

// checks the requests the device refuses outright
TEST(Vwin32Device, RefusesMalformedRequests) {
    Vwin32Device device = Device({});
    DIOC_REGISTERS registers{};
    DWORD returned = 9;
    EXPECT_FALSE(device.deviceIoControl(VWIN32_DIOC_DOS_IOCTL, &registers, 20, &registers,
                                        sizeof registers, &returned));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(returned, 0u);
    EXPECT_FALSE(Call(device, VWIN32_DIOC_DOS_INT13, registers));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FUNCTION);
}

// checks that a pin's value leads back to its address only while it lives and for its extent
TEST(AddressPin, ResolvesWhileAlive) {
    std::array<std::uint8_t, 64> bytes{};
    DWORD value = 0;
    {
        const AddressPin pin(bytes.data(), bytes.size());
        const AddressPin other(bytes.data() + 1, 1);
        value = pin.value();
        EXPECT_NE(value, 0u);
        EXPECT_NE(value, other.value());
        EXPECT_EQ(platform::layer::ResolvePinnedAddress(value, 64), bytes.data());
        EXPECT_EQ(platform::layer::ResolvePinnedAddress(value, 65), nullptr);
        EXPECT_EQ(platform::layer::ResolvePinnedAddress(other.value(), 1), bytes.data() + 1);
    }
    EXPECT_EQ(platform::layer::ResolvePinnedAddress(value, 1), nullptr);
}

// checks that \\.\VWIN32 exists only while the layer reports Windows 9x
TEST(Vwin32Device, ExistsOnlyOnWindows9x) {
    platform::SetVersionOverride(platform::VersionFromName("win98"));
    {
        const platform::FileHandle vwin32(
            CreateFileA("\\\\.\\VWIN32", 0, 0, nullptr, 0, 0x88000004, nullptr));
        EXPECT_TRUE(vwin32);
    }
    platform::SetVersionOverride(platform::VersionFromName("nt"));
    const platform::FileHandle vwin32(
        CreateFileA("\\\\.\\VWIN32", 0, 0, nullptr, 0, 0x88000004, nullptr));
    EXPECT_FALSE(vwin32);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    platform::SetVersionOverride(std::nullopt);
}

} // namespace
