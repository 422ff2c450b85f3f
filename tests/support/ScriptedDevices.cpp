// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/ScriptedDevices.h"

#include "platform/linux/AddressPins.h"
#include "platform/linux/VolumeDevice.h"
#include "platform/linux/Vwin32Device.h"

#include <algorithm>
#include <cstring>

namespace floppytest {
namespace {

using platform::layer::KernelObject;
using platform::layer::OpenRequest;

constexpr win::DWORD kCarry = 0x1;
constexpr win::DWORD kDosWriteFault = 0x1D;

bool Fail(win::DWORD error) {
    win::SetLastError(error);
    return false;
}

// Changes one byte of what a scripted read returns: the disk gave other bytes than it holds.
void Corrupt(void* buffer, win::DWORD bytes) {
    if (bytes > 0)
        static_cast<std::uint8_t*>(buffer)[bytes / 2] ^= 0xFF;
}

class ScriptedVolume final : public KernelObject {
public:
    ScriptedVolume(std::shared_ptr<KernelObject> inner, const VolumeScript& script,
                   std::shared_ptr<DeviceLog> log)
        : inner_(std::move(inner)), script_(script), log_(std::move(log)) {}

    bool write(const void* buffer, win::DWORD toWrite, win::DWORD* bytesWritten) override {
        int n = 0;
        {
            std::lock_guard lock(log_->mutex);
            n = ++log_->writes;
        }
        if (script_.beforeWrite)
            script_.beforeWrite(n);
        *bytesWritten = 0;
        if (n == script_.failingWrite)
            return Fail(win::ERROR_WRITE_FAULT);
        if (n == script_.lostWrite) {
            // Reported as written, and the position moves on, but the disk never gets it.
            *bytesWritten = toWrite;
            std::uint64_t ignored = 0;
            return !inner_ || inner_->seek(toWrite, win::FILE_CURRENT, &ignored);
        }
        if (inner_)
            return inner_->write(buffer, toWrite, bytesWritten);
        *bytesWritten = toWrite;
        return true;
    }

    bool read(void* buffer, win::DWORD toRead, win::DWORD* bytesRead) override {
        int n = 0;
        {
            std::lock_guard lock(log_->mutex);
            n = ++log_->reads;
        }
        *bytesRead = 0;
        // Without a disk beneath there is nothing to read back.
        if (!inner_)
            return Fail(win::ERROR_NOT_READY);
        const bool done = inner_->read(buffer, toRead, bytesRead);
        if (done && n == script_.corruptRead)
            Corrupt(buffer, *bytesRead);
        return done;
    }

    bool seek(std::int64_t distance, win::DWORD method, std::uint64_t* newPosition) override {
        if (!inner_)
            return Fail(win::ERROR_NOT_READY);
        return inner_->seek(distance, method, newPosition);
    }

    bool deviceIoControl(win::DWORD code, const void* in, win::DWORD inSize, void* out,
                         win::DWORD outSize, win::DWORD* bytesReturned) override {
        {
            std::lock_guard lock(log_->mutex);
            log_->requests.push_back(code);
        }
        *bytesReturned = 0;
        if (code == win::IOCTL_DISK_GET_MEDIA_TYPES && script_.failMediaRequest)
            return Fail(win::ERROR_NOT_READY);
        if (code == win::IOCTL_DISK_GET_MEDIA_TYPES && script_.mediaTypes) {
            const auto& records = *script_.mediaTypes;
            const std::size_t bytes = records.size() * sizeof(win::DISK_GEOMETRY);
            if (outSize < bytes)
                return Fail(win::ERROR_INSUFFICIENT_BUFFER);
            std::memcpy(out, records.data(), bytes);
            *bytesReturned = static_cast<win::DWORD>(bytes);
            return true;
        }
        if (code == win::FSCTL_LOCK_VOLUME && script_.refuseLock)
            return Fail(win::ERROR_ACCESS_DENIED);
        if (code == win::FSCTL_DISMOUNT_VOLUME && script_.failDismount)
            return Fail(win::ERROR_WRITE_FAULT);
        if (inner_)
            return inner_->deviceIoControl(code, in, inSize, out, outSize, bytesReturned);
        return true;
    }

private:
    std::shared_ptr<KernelObject> inner_;
    VolumeScript script_;
    std::shared_ptr<DeviceLog> log_;
};

bool IsSectorWrite(win::DWORD code, const win::DIOC_REGISTERS& registers) {
    constexpr win::DWORD kWriteFlag = 0x1; // SI bit 0 of 7305h
    return code == win::VWIN32_DIOC_DOS_INT26 ||
           (code == win::VWIN32_DIOC_DOS_DRIVEINFO && (registers.reg_ESI & kWriteFlag) != 0);
}

class ScriptedVwin32 final : public KernelObject {
public:
    ScriptedVwin32(std::shared_ptr<KernelObject> inner, const Vwin32Script& script,
                   std::shared_ptr<DeviceLog> log)
        : inner_(std::move(inner)), script_(script), log_(std::move(log)) {}

    bool deviceIoControl(win::DWORD code, const void* in, win::DWORD inSize, void* out,
                         win::DWORD outSize, win::DWORD* bytesReturned) override {
        win::DIOC_REGISTERS registers;
        std::memcpy(&registers, in, sizeof registers);
        const bool probe = code == win::VWIN32_DIOC_DOS_IOCTL;
        const bool write = IsSectorWrite(code, registers);
        platform::DiskIoPacket packet;
        int n = 0;
        {
            std::lock_guard lock(log_->mutex);
            log_->requests.push_back(code);
            log_->registers.push_back(registers);
            if (!probe) {
                n = write ? ++log_->writes : ++log_->reads;
                if (const void* bytes = platform::layer::ResolvePinnedAddress(
                        registers.reg_EBX, platform::DiskIoPacket::kSize))
                    std::memcpy(packet.bytes.data(), bytes, packet.bytes.size());
                log_->transfers.push_back({code, registers, packet, write});
            }
        }
        if (probe)
            return this->probe(registers, in, inSize, out, outSize, bytesReturned);
        if (script_.doNothing) {
            std::memcpy(out, &registers, sizeof registers);
            *bytesReturned = sizeof registers;
            return true;
        }
        if (write && n == script_.carryOnWrite)
            return answer(registers, true, out, bytesReturned);
        if (write && n == script_.lostWrite)
            return answer(registers, false, out, bytesReturned);
        const bool done =
            inner_ ? inner_->deviceIoControl(code, in, inSize, out, outSize, bytesReturned)
                   : answer(registers, false, out, bytesReturned);
        if (done && !write && n == script_.corruptRead)
            CorruptSectors(packet);
        return done;
    }

private:
    static void CorruptSectors(const platform::DiskIoPacket& packet) {
        const win::DWORD bytes = packet.get16(platform::DiskIoPacket::kSectors) * 512u;
        if (void* data = platform::layer::ResolvePinnedAddress(
                packet.get32(platform::DiskIoPacket::kBuffer), bytes))
            Corrupt(data, bytes);
    }

    bool probe(win::DIOC_REGISTERS registers, const void* in, win::DWORD inSize, void* out,
               win::DWORD outSize, win::DWORD* bytesReturned) {
        const auto scripted = script_.probes.find(static_cast<int>(registers.reg_EBX & 0xFF));
        if (scripted == script_.probes.end()) {
            if (inner_)
                return inner_->deviceIoControl(win::VWIN32_DIOC_DOS_IOCTL, in, inSize, out, outSize,
                                               bytesReturned);
            return answer(registers, true, out, bytesReturned);
        }
        if (void* block = platform::layer::ResolvePinnedAddress(registers.reg_EDX,
                                                                platform::DeviceParams::kSize)) {
            platform::DeviceParams params;
            std::memcpy(params.bytes.data(), block, params.bytes.size());
            params.set8(platform::DeviceParams::kDeviceType, scripted->second.deviceType);
            std::memcpy(block, params.bytes.data(), params.bytes.size());
        }
        return answer(registers, scripted->second.carry, out, bytesReturned);
    }

    static bool answer(win::DIOC_REGISTERS registers, bool carry, void* out,
                       win::DWORD* bytesReturned) {
        if (carry) {
            registers.reg_Flags |= kCarry;
            registers.reg_EAX = kDosWriteFault;
        } else {
            registers.reg_Flags &= ~kCarry;
        }
        std::memcpy(out, &registers, sizeof registers);
        *bytesReturned = sizeof registers;
        return true;
    }

    std::shared_ptr<KernelObject> inner_;
    Vwin32Script script_;
    std::shared_ptr<DeviceLog> log_;
};

} // namespace

VolumeScript AnswerMediaTypes(std::vector<win::DISK_GEOMETRY> records) {
    VolumeScript script;
    script.mediaTypes = std::move(records);
    return script;
}

VolumeScript FailMediaRequest() {
    VolumeScript script;
    script.failMediaRequest = true;
    return script;
}

VolumeScript RefuseLock() {
    VolumeScript script;
    script.refuseLock = true;
    return script;
}

VolumeScript FailDismount() {
    VolumeScript script;
    script.failDismount = true;
    return script;
}

VolumeScript FailWrite(int n) {
    VolumeScript script;
    script.failingWrite = n;
    return script;
}

VolumeScript LoseWrite(int n) {
    VolumeScript script;
    script.lostWrite = n;
    return script;
}

VolumeScript CorruptRead(int n) {
    VolumeScript script;
    script.corruptRead = n;
    return script;
}

VolumeScript BeforeWrite(std::function<void(int n)> action) {
    VolumeScript script;
    script.beforeWrite = std::move(action);
    return script;
}

Vwin32Script AnswerProbes(std::map<int, ProbeAnswer> probes) {
    Vwin32Script script;
    script.probes = std::move(probes);
    return script;
}

Vwin32Script CarryOnWrite(int n) {
    Vwin32Script script;
    script.carryOnWrite = n;
    return script;
}

Vwin32Script LoseVwin32Write(int n) {
    Vwin32Script script;
    script.lostWrite = n;
    return script;
}

Vwin32Script CorruptVwin32Read(int n) {
    Vwin32Script script;
    script.corruptRead = n;
    return script;
}

Vwin32Script DoNothing() {
    Vwin32Script script;
    script.doNothing = true;
    return script;
}

Vwin32Script DefaultDrive(int drive) {
    Vwin32Script script;
    script.defaultDrive = drive;
    return script;
}

std::vector<win::DWORD> DeviceLog::requestsSoFar() {
    std::lock_guard lock(mutex);
    return requests;
}

std::vector<SectorTransfer> DeviceLog::transfersSoFar(bool written) {
    std::lock_guard lock(mutex);
    std::vector<SectorTransfer> chosen;
    for (const SectorTransfer& transfer : transfers)
        if (transfer.write == written)
            chosen.push_back(transfer);
    return chosen;
}

std::unique_ptr<platform::layer::ScopedDevice> MountScriptedVolume(char letter,
                                                                   const std::string& imagePath,
                                                                   VolumeScript script,
                                                                   std::shared_ptr<DeviceLog> log) {
    return std::make_unique<platform::layer::ScopedDevice>(
        std::string("\\\\.\\") + letter + ":",
        [imagePath, script, log](const OpenRequest& request) -> std::shared_ptr<KernelObject> {
            std::shared_ptr<KernelObject> inner;
            if (!imagePath.empty()) {
                inner = platform::layer::VolumeDevice::open({imagePath, true}, request);
                if (!inner)
                    return nullptr;
            }
            {
                std::lock_guard lock(log->mutex);
                ++log->opens;
            }
            return std::make_shared<ScriptedVolume>(inner, script, log);
        });
}

std::unique_ptr<platform::layer::ScopedDevice>
MountScriptedVwin32(std::map<int, std::string> images, Vwin32Script script,
                    std::shared_ptr<DeviceLog> log) {
    return std::make_unique<platform::layer::ScopedDevice>(
        "\\\\.\\VWIN32", [images, script, log](const OpenRequest&) {
            std::shared_ptr<KernelObject> inner;
            if (!images.empty())
                inner = std::make_shared<platform::layer::Vwin32Device>(
                    [images](int drive) -> std::optional<platform::layer::DrivePath> {
                        const auto found = images.find(drive);
                        if (found == images.end())
                            return std::nullopt;
                        return platform::layer::DrivePath{found->second, true};
                    },
                    script.defaultDrive);
            {
                std::lock_guard lock(log->mutex);
                ++log->opens;
            }
            return std::make_shared<ScriptedVwin32>(inner, script, log);
        });
}

} // namespace floppytest
