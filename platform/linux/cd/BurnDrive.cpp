// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/BurnDrive.h"

#include "platform/NoDestructor.h"

#include <chrono>
#include <libburn/libburn.h>
#include <mutex>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace platform::layer {
namespace {

constexpr const char* kFileDrivePrefix = "stdio:";
// What libburn queues (nothing: no one reads the queue, which would only grow) and what it
// prints; printed messages carry the program's name.
constexpr const char* kQueuedSeverity = "NEVER";
constexpr const char* kPrintedSeverity = "SORRY";
constexpr const char* kMessagePrefix = "bootmedia: ";
constexpr int kScanInProgress = 0;
constexpr std::chrono::milliseconds kScanPoll{1};
constexpr int kGrabbed = 1;
constexpr int kNoLoad = 0;

std::mutex& BurnMutex() {
    static NoDestructor<std::mutex> mutex;
    return mutex.get();
}

bool InitialiseOnce() {
    static const bool ready = [] {
        if (burn::burn_initialize() == 0)
            return false;
        // libburn takes non-const strings it does not change.
        std::string queued = kQueuedSeverity;
        std::string printed = kPrintedSeverity;
        std::string prefix = kMessagePrefix;
        burn::burn_msgs_set_severities(queued.data(), printed.data(), prefix.data());
        return true;
    }();
    return ready;
}

// The drives of one scan, each held open by libburn until the array is freed.
class ScannedDrives {
public:
    ScannedDrives() {
        while (burn::burn_drive_scan(&infos_, &count_) == kScanInProgress)
            std::this_thread::sleep_for(kScanPoll);
    }
    ~ScannedDrives() {
        if (infos_ != nullptr)
            burn::burn_drive_info_free(infos_);
    }
    ScannedDrives(const ScannedDrives&) = delete;
    ScannedDrives& operator=(const ScannedDrives&) = delete;

    const burn::burn_drive_info* begin() const { return infos_; }
    const burn::burn_drive_info* end() const {
        return infos_ == nullptr ? infos_ : infos_ + count_;
    }

private:
    burn::burn_drive_info* infos_ = nullptr;
    unsigned count_ = 0;
};

} // namespace

std::string FileDriveAddress(const std::string& path) {
    return kFileDrivePrefix + path;
}

std::optional<std::string> FileDrivePath(const std::string& address) {
    const std::string_view prefix = kFileDrivePrefix;
    if (address.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    return address.substr(prefix.size());
}

std::unique_lock<std::mutex> LockBurnLibrary() {
    return std::unique_lock(BurnMutex());
}

bool BurnLibraryReady() {
    std::lock_guard lock(BurnMutex());
    return InitialiseOnce();
}

std::vector<std::string> ScanCdWriters() {
    std::vector<std::string> addresses;
    std::lock_guard lock(BurnMutex());
    if (!InitialiseOnce())
        return addresses;
    const ScannedDrives drives;
    for (const burn::burn_drive_info& info : drives) {
        if (!info.write_cdr && !info.write_cdrw)
            continue;
        char address[BURN_DRIVE_ADR_LEN] = {};
        if (burn::burn_drive_d_get_adr(info.drive, address) > 0)
            addresses.emplace_back(address);
    }
    return addresses;
}

GrabbedDrive GrabbedDrive::grab(const std::string& address) {
    GrabbedDrive grabbed;
    std::lock_guard lock(BurnMutex());
    if (!InitialiseOnce())
        return grabbed;
    std::string writable = address;
    burn::burn_drive_info* infos = nullptr;
    if (burn::burn_drive_scan_and_grab(&infos, writable.data(), kNoLoad) == kGrabbed)
        grabbed.infos_ = infos;
    else if (infos != nullptr)
        burn::burn_drive_info_free(infos);
    return grabbed;
}

GrabbedDrive::GrabbedDrive(GrabbedDrive&& other) noexcept
    : infos_(std::exchange(other.infos_, nullptr)) {
}

GrabbedDrive& GrabbedDrive::operator=(GrabbedDrive&& other) noexcept {
    if (this != &other) {
        release(false);
        infos_ = std::exchange(other.infos_, nullptr);
    }
    return *this;
}

GrabbedDrive::~GrabbedDrive() {
    release(false);
}

burn::burn_drive* GrabbedDrive::drive() const noexcept {
    return infos_ == nullptr ? nullptr : infos_[0].drive;
}

int GrabbedDrive::role() const noexcept {
    return infos_ == nullptr ? kNoDriveRole : burn::burn_drive_get_drive_role(infos_[0].drive);
}

void GrabbedDrive::release(bool eject) noexcept {
    if (infos_ == nullptr)
        return;
    std::lock_guard lock(BurnMutex());
    burn::burn_drive_release(infos_[0].drive, static_cast<int>(eject));
    burn::burn_drive_info_free(std::exchange(infos_, nullptr));
}

} // namespace platform::layer
