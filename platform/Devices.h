// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Requests to devices: DeviceIoControl with the disk and file-system control codes and the
// media-type records they return, the register block and control codes of the Windows 9x VWIN32
// device, and the byte layouts of the DOS device-parameter block and absolute-disk-I/O packet.

#include "platform/Types.h"

#include <array>
#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#include "platform/windows/Vwin32.h"

#include <winioctl.h>

namespace win {
using ::DeviceIoControl;
using ::DIOC_REGISTERS;
using ::DISK_GEOMETRY;
using ::LARGE_INTEGER;
using ::MEDIA_TYPE;
} // namespace win
#else
namespace win {
struct OVERLAPPED;

/// Only the 64-bit view: nothing here splits the value.
struct LARGE_INTEGER {
    std::int64_t QuadPart;
};

enum MEDIA_TYPE : int {
    Unknown = 0,
    F5_1Pt2_512 = 1,
    F3_1Pt44_512 = 2,
    F3_2Pt88_512 = 3,
    F3_20Pt8_512 = 4,
    F3_720_512 = 5,
    F5_360_512 = 6,
    F5_320_512 = 7,
    F5_320_1024 = 8,
    F5_180_512 = 9,
    F5_160_512 = 10,
    RemovableMedia = 11,
    FixedMedia = 12,
};

/// One record of a media-type list, 24 bytes as on Windows.
struct DISK_GEOMETRY {
    LARGE_INTEGER Cylinders;
    MEDIA_TYPE MediaType;
    DWORD TracksPerCylinder;
    DWORD SectorsPerTrack;
    DWORD BytesPerSector;
};
static_assert(sizeof(DISK_GEOMETRY) == 24);

inline constexpr DWORD IOCTL_DISK_GET_MEDIA_TYPES = 0x70C00;
inline constexpr DWORD FSCTL_LOCK_VOLUME = 0x90018;
inline constexpr DWORD FSCTL_UNLOCK_VOLUME = 0x9001C;
inline constexpr DWORD FSCTL_DISMOUNT_VOLUME = 0x90020;

/// The register block of a VWIN32 request: input and output of one DOS or BIOS service.
struct DIOC_REGISTERS {
    DWORD reg_EBX;
    DWORD reg_EDX;
    DWORD reg_ECX;
    DWORD reg_EAX;
    DWORD reg_EDI;
    DWORD reg_ESI;
    DWORD reg_Flags;
};
static_assert(sizeof(DIOC_REGISTERS) == 28);

inline constexpr DWORD VWIN32_DIOC_DOS_IOCTL = 1;
inline constexpr DWORD VWIN32_DIOC_DOS_INT25 = 2;
inline constexpr DWORD VWIN32_DIOC_DOS_INT26 = 3;
inline constexpr DWORD VWIN32_DIOC_DOS_INT13 = 4;
inline constexpr DWORD VWIN32_DIOC_DOS_DRIVEINFO = 6;

inline constexpr DWORD ERROR_WRITE_PROTECT = 19;
inline constexpr DWORD ERROR_SECTOR_NOT_FOUND = 27;
inline constexpr DWORD ERROR_WRONG_DISK = 34;
inline constexpr DWORD ERROR_NOT_LOCKED = 158;
inline constexpr DWORD ERROR_MEDIA_CHANGED = 1110;

/// Sends a control code to the device behind the handle. Volume devices (\\.\A:, \\.\B:) take
/// the media-type request and the lock, dismount and unlock requests; the VWIN32 device takes
/// a DIOC_REGISTERS block as input and output. *bytesReturned (may be null) receives what was
/// written to out. FALSE with the last error when the device refuses the request; a DOS service
/// that fails reports through the carry flag of the returned registers instead. overlapped must
/// be null.
BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                     DWORD* bytesReturned, OVERLAPPED* overlapped);
} // namespace win
#endif

namespace platform {

/// A fixed byte layout of the DOS interface: little-endian fields at any offset, no padding.
template <std::size_t Size> struct DosLayout {
    static constexpr std::size_t kSize = Size;
    std::array<std::uint8_t, Size> bytes{};

    std::uint8_t get8(std::size_t at) const { return bytes[at]; }
    std::uint16_t get16(std::size_t at) const {
        return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
    }
    std::uint32_t get32(std::size_t at) const {
        return static_cast<std::uint32_t>(get16(at)) | static_cast<std::uint32_t>(get16(at + 2))
                                                           << 16;
    }
    void set8(std::size_t at, std::uint8_t value) { bytes[at] = value; }
    void set16(std::size_t at, std::uint16_t value) {
        bytes[at] = static_cast<std::uint8_t>(value);
        bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    void set32(std::size_t at, std::uint32_t value) {
        set16(at, static_cast<std::uint16_t>(value));
        set16(at + 2, static_cast<std::uint16_t>(value >> 16));
    }
};

/// DEVICEPARAMS of the generic IOCTL "get device parameters" (Int 21h 440Dh, category 08h,
/// minor 60h): a header and the drive's BIOS parameter block from offset 7.
struct DeviceParams : DosLayout<38> {
    static constexpr std::size_t kSpecialFunctions = 0; ///< bSpecFunc, 8-bit
    static constexpr std::size_t kDeviceType = 1;       ///< bDevType, 8-bit
    static constexpr std::size_t kDeviceAttributes = 2; ///< wDevAttr, 16-bit
    static constexpr std::size_t kCylinders = 4;        ///< wCylinders, 16-bit
    static constexpr std::size_t kMediaType = 6;        ///< bMediaType, 8-bit
    static constexpr std::size_t kBytesPerSector = 7;   ///< BPB, 16-bit
    static constexpr std::size_t kSectorsPerCluster = 9;
    static constexpr std::size_t kReservedSectors = 10;
    static constexpr std::size_t kFatCount = 12;
    static constexpr std::size_t kRootEntries = 13;
    static constexpr std::size_t kTotalSectors = 15; ///< BPB, 16-bit
    static constexpr std::size_t kMediaDescriptor = 17;
    static constexpr std::size_t kSectorsPerFat = 18;
    static constexpr std::size_t kSectorsPerTrack = 20;
    static constexpr std::size_t kHeads = 22;
    static constexpr std::size_t kHiddenSectors = 24;
    static constexpr std::size_t kHugeSectors = 28;
};

/// DISKIO, the packet of the absolute disk read and write services (Int 25h, Int 26h with
/// CX = FFFFh, Int 21h 7305h).
struct DiskIoPacket : DosLayout<10> {
    static constexpr std::size_t kStartSector = 0; ///< dwStartSector, 32-bit
    static constexpr std::size_t kSectors = 4;     ///< wSectors, 16-bit
    static constexpr std::size_t kBuffer = 6;      ///< dwBuffer, 32-bit address
};

/// Makes an address fit a 32-bit register or packet field for the lifetime of the pin, so the
/// very register blocks and packets of the 32-bit program can be built. On Windows the value is
/// the address itself. The Linux layer hands out a token instead and its VWIN32 device turns it
/// back into the address, allowing access to at most bytes bytes from it; a token it does not
/// know (or a larger access) is a fault that the device reports with carry set.
class AddressPin {
public:
    AddressPin(const void* address, std::size_t bytes);
    ~AddressPin();
    AddressPin(const AddressPin&) = delete;
    AddressPin& operator=(const AddressPin&) = delete;

    win::DWORD value() const { return value_; }

private:
    win::DWORD value_;
};

#if defined(_WIN32)
inline AddressPin::AddressPin(const void* address, std::size_t)
    : value_(static_cast<win::DWORD>(reinterpret_cast<std::uintptr_t>(address))) {
}
inline AddressPin::~AddressPin() = default;
#endif

} // namespace platform
