// SPDX-License-Identifier: GPL-2.0-or-later
// Windows 9x discovery: the DOS device parameters of each drive, through VWIN32.
#include "app/ContainerTexts.h"
#include "app/MessageBoxes.h"
#include "floppy/FloppyDevice.h"
#include "floppy/FloppyWriter.h"
#include "floppy/FoundDrives.h"
#include "floppy/Vwin32Request.h"
#include "platform/Files.h"
#include "resfile/Catalogue.h"

using namespace win;
using platform::DeviceParams;

namespace {

constexpr char kVwin32Path[] = "\\\\.\\VWIN32";
// 0x88000004, as the device expects to be opened.
constexpr DWORD kVwin32Flags =
    FILE_FLAG_WRITE_THROUGH | FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_SYSTEM;

constexpr DWORD kGenericIoctl = 0x440D;        // Int 21h function, in AX
constexpr DWORD kGetDeviceParameters = 0x0860; // CX: category 08h (disk), minor 60h
constexpr std::uint8_t kDefaultParameters = 0; // bSpecFunc: the device's, not the medium's
constexpr std::uint8_t k1440KDeviceType = 7;

// DOS drive numbers from A: to C:. Number 0, the current default drive, is not asked: its
// answer does not tell which letter it is, and a floppy that is the default drive is found
// under its own number anyway.
constexpr std::int32_t kFirstProbe = 1;
constexpr std::int32_t kLastProbe = 3;

// Reads the drive's device parameters into params; true when the request succeeded and the
// drive is a 3.5-inch 1.44 MB drive.
bool Is1440KDrive(std::int32_t drive, DeviceParams& params) {
    params.set8(DeviceParams::kSpecialFunctions, kDefaultParameters);
    platform::AddressPin block(params.bytes.data(), params.bytes.size());
    DIOC_REGISTERS registers{};
    registers.reg_EAX = kGenericIoctl;
    registers.reg_EBX = static_cast<DWORD>(drive);
    registers.reg_ECX = kGetDeviceParameters;
    registers.reg_EDX = block.value();
    registers.reg_Flags = kCarryFlag; // a request that is not carried out reads as failed
    return CallVwin32(FloppyDevice.vwin32Handle, VWIN32_DIOC_DOS_IOCTL, registers) &&
           params.get8(DeviceParams::kDeviceType) == k1440KDeviceType;
}

std::int32_t Detect9x() {
    const HANDLE vwin32 = CreateFileA(kVwin32Path, 0, 0, nullptr, 0, kVwin32Flags, nullptr);
    const HANDLE previous = FloppyDevice.vwin32Handle.exchange(vwin32);
    if (IsOpenHandle(previous))
        CloseHandle(previous);
    ForgetFoundDrives();
    if (!IsOpenHandle(vwin32)) {
        ShowErrorBox(catalogue::kNoVwin32Error);
        return 0;
    }
    for (std::int32_t drive = kFirstProbe; drive <= kLastProbe; ++drive) {
        DeviceParams params;
        if (Is1440KDrive(drive, params)) {
            RecordFoundDrive(drive);
            return 1;
        }
    }
    return 0;
}

// Reads the parameters of exactly the drive the list entry names.
std::int32_t Select9x(std::int32_t index) {
    FloppyDevice.selectedDrive = 0;
    FloppyDevice.cylinders = 0;
    FloppyDevice.bytesPerSector = 0;
    FloppyDevice.totalSectors = 0;
    const std::int32_t drive = FoundFloppyDrive(index);
    DeviceParams params;
    if (drive == 0 || !Is1440KDrive(drive, params))
        return 0;
    FloppyDevice.cylinders = params.get16(DeviceParams::kCylinders);
    FloppyDevice.bytesPerSector = params.get16(DeviceParams::kBytesPerSector);
    FloppyDevice.totalSectors = params.get16(DeviceParams::kTotalSectors);
    FloppyDevice.selectedDrive = drive;
    return 1;
}

} // namespace

std::int32_t FloppyWriter::DetectFloppyDrives9x(bool detect, std::int32_t index) {
    return detect ? Detect9x() : Select9x(index);
}
