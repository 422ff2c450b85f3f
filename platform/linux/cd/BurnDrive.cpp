// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/BurnDrive.h"

#include "platform/NoDestructor.h"
#include "platform/linux/Log.h"
#include "platform/linux/cd/LibraryMessages.h"

#include <algorithm>
#include <cstdio>
#include <libburn/libburn.h>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::layer {
namespace {

constexpr const char* kFileDrivePrefix = "stdio:";
constexpr const char* kLibraryName = "libburn";
// libburn prints nothing; what it queues goes to the log.
constexpr const char* kPrintedSeverity = "NEVER";
constexpr const char* kMessagePrefix = "bootmedia: ";
constexpr std::size_t kSeverityBytes = 80;
constexpr std::size_t kProfileNameBytes = 80;
constexpr int kGrabbed = 1;
constexpr int kLoadTray = 1;
constexpr int kReplyValid = 1;
constexpr int kReadDone = 1;
// burn_read_data: no message for a read error, no second try block by block.
constexpr int kQuietSingleRead = 2 | 4;
// burn_abort: cancel the drives' work only; libburn is not shut down.
constexpr int kCancelOnly = -1;
constexpr std::size_t kBlockBytes = 2048;

struct LibraryState {
    std::mutex mutex;
    bool initialised = false;
};

LibraryState& Library() {
    static NoDestructor<LibraryState> state;
    return state.get();
}

// Under the library's mutex.
bool InitialiseOnce() {
    static const bool ready = [] {
        if (burn::burn_initialize() == 0)
            return false;
        // libburn takes non-const strings it does not change.
        std::string queued = kKeptMessageSeverity;
        std::string printed = kPrintedSeverity;
        std::string prefix = kMessagePrefix;
        burn::burn_msgs_set_severities(queued.data(), printed.data(), prefix.data());
        Library().initialised = true;
        return true;
    }();
    return ready;
}

// Whether the first blocks of the medium hold anything but zeros; a medium that cannot be read
// there counts as holding data.
bool StartHoldsData(burn::burn_drive* drive) {
    std::vector<char> start(kDescriptorBlocks * kBlockBytes);
    off_t read = 0;
    if (burn::burn_read_data(drive, 0, start.data(), static_cast<off_t>(start.size()), &read,
                             kQuietSingleRead) != kReadDone ||
        read != static_cast<off_t>(start.size()))
        return true;
    return std::any_of(start.begin(), start.end(), [](char byte) { return byte != 0; });
}

std::string ScriptedProfileName(int profile) {
    char name[kProfileNameBytes] = {};
    std::snprintf(name, sizeof name, "MMC profile 0x%X", static_cast<unsigned>(profile));
    return name;
}

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
    return std::unique_lock(Library().mutex);
}

bool BurnLibraryReady() {
    std::lock_guard lock(Library().mutex);
    return InitialiseOnce();
}

void LogBurnMessages() {
    std::lock_guard lock(Library().mutex);
    if (!Library().initialised)
        return;
    std::string minimum = kKeptMessageSeverity;
    char text[BURN_MSGS_MESSAGE_LEN] = {};
    char severity[kSeverityBytes] = {};
    int code = 0;
    int osErrno = 0;
    while (burn::burn_msgs_obtain(minimum.data(), &code, text, &osErrno, severity) > 0)
        LogLine(LibraryMessageLine(kLibraryName, severity, text, osErrno));
}

GrabbedDrive GrabbedDrive::grab(const std::string& address) {
    GrabbedDrive grabbed;
    std::optional<DriveScript> script = CurrentDriveScript();
    std::lock_guard lock(Library().mutex);
    if (!InitialiseOnce())
        return grabbed;
    std::string writable = address;
    burn::burn_drive_info* infos = nullptr;
    if (burn::burn_drive_scan_and_grab(&infos, writable.data(), kLoadTray) != kGrabbed) {
        if (infos != nullptr)
            burn::burn_drive_info_free(infos);
        return grabbed;
    }
    grabbed.infos_ = infos;
    if (script)
        grabbed.limits_ = script->limits;
    grabbed.script_ = std::move(script);
    return grabbed;
}

GrabbedDrive::GrabbedDrive(GrabbedDrive&& other) noexcept
    : infos_(std::exchange(other.infos_, nullptr)), script_(std::move(other.script_)),
      limits_(other.limits_), cancelled_(other.cancelled_), stallShown_(other.stallShown_) {
}

GrabbedDrive& GrabbedDrive::operator=(GrabbedDrive&& other) noexcept {
    if (this != &other) {
        release(false);
        infos_ = std::exchange(other.infos_, nullptr);
        script_ = std::move(other.script_);
        limits_ = other.limits_;
        cancelled_ = other.cancelled_;
        stallShown_ = other.stallShown_;
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

MediumFacts GrabbedDrive::medium() const {
    MediumFacts facts;
    std::lock_guard lock(Library().mutex);
    facts.discStatus = burn::burn_disc_get_status(drive());
    int profile = 0;
    char name[kProfileNameBytes] = {};
    if (burn::burn_disc_get_profile(drive(), &profile, name) == kReplyValid) {
        facts.profile = profile;
        facts.profileName = name;
    }
    int formatStatus = 0;
    off_t formatSize = 0;
    unsigned blockLength = 0;
    int formats = 0;
    if (burn::burn_disc_get_formats(drive(), &formatStatus, &formatSize, &blockLength, &formats) ==
        kReplyValid)
        facts.formatStatus = formatStatus;
    if (script_) {
        facts.discStatus = script_->discStatus.value_or(facts.discStatus);
        if (script_->profile) {
            facts.profile = *script_->profile;
            facts.profileName = ScriptedProfileName(facts.profile);
        }
        facts.formatStatus = script_->formatStatus.value_or(facts.formatStatus);
    }
    if (IsOverwritableProfile(facts.profile) && facts.formatStatus != BURN_FORMAT_IS_UNFORMATTED)
        facts.startHoldsData =
            script_ && script_->startHoldsData ? *script_->startHoldsData : StartHoldsData(drive());
    return facts;
}

WriteProgress GrabbedDrive::progress() {
    if (script_ && script_->writeStalls && !cancelled_) {
        if (!std::exchange(stallShown_, true) && script_->onStall)
            script_->onStall();
        return {.idle = false, .state = burn::BURN_DRIVE_WRITING, .sector = 0};
    }
    burn::burn_progress progress{};
    std::lock_guard lock(Library().mutex);
    const burn::burn_drive_status state = burn::burn_drive_get_status(drive(), &progress);
    return {.idle = state == burn::BURN_DRIVE_IDLE, .state = state, .sector = progress.sector};
}

bool GrabbedDrive::wroteWell() const {
    std::lock_guard lock(Library().mutex);
    return burn::burn_drive_wrote_well(drive()) > 0;
}

void GrabbedDrive::cancel() {
    std::lock_guard lock(Library().mutex);
    burn::burn_drive_cancel(drive());
    cancelled_ = true;
}

void GrabbedDrive::abort() {
    std::lock_guard lock(Library().mutex);
    burn::burn_abort(kCancelOnly, nullptr, nullptr);
    cancelled_ = true;
}

void GrabbedDrive::release(bool eject) noexcept {
    if (infos_ == nullptr)
        return;
    std::lock_guard lock(Library().mutex);
    burn::burn_drive_release(infos_[0].drive, static_cast<int>(eject));
    burn::burn_drive_info_free(std::exchange(infos_, nullptr));
}

void GrabbedDrive::abandon() noexcept {
    infos_ = nullptr;
}

} // namespace platform::layer
