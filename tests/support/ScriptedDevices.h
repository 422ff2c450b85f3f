// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Devices whose answers a test scripts, for what no real backing can do on demand: a drive whose
// media-type request fails or returns a list of the test's choice, a lock that is refused, the
// Nth write that fails, a write the disk loses while reporting success, a read that returns
// other bytes than the disk holds, a VWIN32 that answers with carry set or does nothing at all.
// Each passes everything it is not told to change to the real device of the layer beneath it
// (when there is one; without one, writes and requests succeed and reads fail) and logs what it was
// asked, in a log that every handle opened on it shares.

#include "platform/Devices.h"
#include "platform/linux/DeviceRegistry.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace floppytest {

/// One VWIN32 sector transfer as it came in.
struct SectorTransfer {
    win::DWORD code;
    win::DIOC_REGISTERS registers;
    platform::DiskIoPacket packet;
    bool write;
};

struct DeviceLog {
    std::mutex mutex;
    std::vector<win::DWORD> requests;           ///< control codes, in order
    std::vector<win::DIOC_REGISTERS> registers; ///< VWIN32 register blocks as they came in
    std::vector<SectorTransfer> transfers;      ///< VWIN32 reads and writes, in order
    int writes = 0;
    int reads = 0;
    int opens = 0;

    std::vector<win::DWORD> requestsSoFar();
    /// The VWIN32 writes (written true) or reads so far.
    std::vector<SectorTransfer> transfersSoFar(bool written);
};

struct VolumeScript {
    /// Answers the media-type request with these records instead of the real list.
    std::optional<std::vector<win::DISK_GEOMETRY>> mediaTypes;
    bool failMediaRequest = false;
    bool refuseLock = false;
    /// The dismount fails as a flush that did not reach the disk would.
    bool failDismount = false;
    /// The write (counted from 1 over all handles) that fails with ERROR_WRITE_FAULT; 0: none.
    int failingWrite = 0;
    /// The write (from 1) that reports success but never reaches the disk; 0: none.
    int lostWrite = 0;
    /// The read (from 1) that returns its bytes with one of them changed; 0: none.
    int corruptRead = 0;
    /// Runs before write number n (from 1) is carried out.
    std::function<void(int n)> beforeWrite;
};

// One-line scripts.
VolumeScript AnswerMediaTypes(std::vector<win::DISK_GEOMETRY> records);
VolumeScript FailMediaRequest();
VolumeScript RefuseLock();
VolumeScript FailDismount();
VolumeScript FailWrite(int n);
VolumeScript LoseWrite(int n);
VolumeScript CorruptRead(int n);
VolumeScript BeforeWrite(std::function<void(int n)> action);

/// Mounts a scripted volume over \\.\letter:, above the layer's volume device over imagePath
/// (none when empty: requests that are not scripted then simply succeed).
std::unique_ptr<platform::layer::ScopedDevice> MountScriptedVolume(char letter,
                                                                   const std::string& imagePath,
                                                                   VolumeScript script,
                                                                   std::shared_ptr<DeviceLog> log);

struct ProbeAnswer {
    std::uint8_t deviceType = 7;
    bool carry = false;
};

struct Vwin32Script {
    /// Answers to get-device-parameters for these DOS drives (0 = default) instead of the real
    /// device; a drive not listed goes to the real one, or gets carry set without one.
    std::map<int, ProbeAnswer> probes;
    /// The write (from 1) that returns success from DeviceIoControl but carry set; 0: none.
    int carryOnWrite = 0;
    /// The write (from 1) that reports success but never reaches the disk; 0: none.
    int lostWrite = 0;
    /// The read (from 1) that returns its sectors with one byte changed; 0: none.
    int corruptRead = 0;
    /// Every transfer returns the registers as they came, carry included, and does nothing: a
    /// service that is not there.
    bool doNothing = false;
    /// The drive the real device takes DOS drive 0, the current default drive, for.
    int defaultDrive = 3;
};

// One-line scripts.
Vwin32Script AnswerProbes(std::map<int, ProbeAnswer> probes);
Vwin32Script CarryOnWrite(int n);
Vwin32Script LoseVwin32Write(int n);
Vwin32Script CorruptVwin32Read(int n);
Vwin32Script DoNothing();
Vwin32Script DefaultDrive(int drive);

/// Mounts a scripted VWIN32 device, above the layer's VWIN32 over the given drive images
/// (A: = 1, B: = 2; default drive C:) when images is not empty.
std::unique_ptr<platform::layer::ScopedDevice>
MountScriptedVwin32(std::map<int, std::string> images, Vwin32Script script,
                    std::shared_ptr<DeviceLog> log);

} // namespace floppytest
