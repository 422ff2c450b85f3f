// SPDX-License-Identifier: GPL-2.0-or-later
// The program on real Linux drivers: a guest on Debian's kernel with emulated floppy drives, a
// USB floppy or an optical drive runs bootmedia in batch mode (--list, then --floppy X: --yes)
// through the floppy driver, usb-storage and sr_mod, and reports every box and its log. Each disk
// is then checked byte for byte against the container's boot image, and a disk reported good must
// boot.
// Runs through scripts/stages/rig, which builds the guest.
#include "ExpectedBoxes.h"
#include "Guest.h"
#include "app/ExitStatus.h"
#include "floppy/ExtentScan.h"
#include "resfile/Catalogue.h"
#include "support/DiscTools.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using rig::ReportLine;
using test::Bytes;

constexpr std::uint8_t kBlank = 0xE5; // what a freshly formatted disk holds
constexpr std::size_t kNoDisk = 0;
constexpr std::size_t k720KBytes = 737280;
constexpr std::size_t k1200KBytes = 1228800;
constexpr std::size_t k1440KBytes = catalogue::kBootImageBytes;
constexpr std::size_t k2880KBytes = 2949120;
constexpr std::size_t kCylinderBytes = catalogue::kCylinderBytes;
constexpr int kBootedStatus = 33; // the sample's boot code leaves with 0x10
constexpr const char* kBootedMarker = "BOOTMEDIA-OK";
// Software emulation on a loaded machine: a guest takes 10 to 30 s; far more is a hang.
constexpr auto kGuestTimeout = 180s;
// After the USB floppy is pulled out the job must end soon, not wait on the device.
constexpr auto kEndAfterUnplugTimeout = 60s;
// The USB floppy that is pulled out takes its first write at once and every later one only after
// about five seconds (QEMU's throttling): it is pulled out once the first cylinder is on it, and
// the job has cylinders left to write whatever the timing.
constexpr std::size_t kThrottledBytesPerSecond = kCylinderBytes / 5;
// What a busy optical drive may add to start-up, in centiseconds. The guest times the program's
// whole run, which software emulation and the sanitizers slow down many times over, so the rig
// holds the busy drive's share to the limit rather than the whole.
constexpr int kBusyDriveLimit = 100;
constexpr const char* kUsbDiskId = "usbdisk";
constexpr const char* kUsbDiskDevice = "/dev/sda";
constexpr const char* kFloppyDevice = "/dev/fd0";
constexpr const char* kOpticalDevice = "/dev/sr0";
constexpr const char* kBoxPrefix = "box ";
// What the log says of a floppy drive, and of an optical drive left out, before the reason.
constexpr const char* kFloppyLogPrefix = "floppy drive ";
constexpr const char* kOpticalLogPrefix = "CD drive ";
constexpr const char* kNotOffered = " is not offered: ";
constexpr const char* kMountedAt = "is mounted at ";
// How the log places a failing transfer.
constexpr const char* kCylinderMark = "(cylinder ";
constexpr const char* kSizeChanged = "during the job";
// What a pulled-out USB disk answers the system with.
constexpr int kPulledOutErrors[] = {EIO, ENODEV, ENXIO, ENOMEDIUM};

const char* const kSampleContainer = SAMPLE_CONTAINER;

// How a job ends: the disk written and reported good, the disk refused with the write error,
// the disk pulled out in the middle, or no job at all, since discovery offers no drive.
enum class Ending { Written, Refused, PulledOut, NotOffered };

// QEMU's floppy drive types; none: the disk is a USB floppy.
constexpr const char* k1440KDrive = "144";
constexpr const char* k2880KDrive = "288";
constexpr const char* k1200KDrive = "120";
constexpr const char* kUsbFloppy = nullptr;

enum Options : unsigned {
    kNone = 0,
    kWriteProtected = 1u << 0,
    kNamedByVariable = 1u << 1, ///< BOOTMEDIA_DRIVE_A names the USB floppy
    /// A 1.44 MB floppy drive with a blank disk beside the USB floppy, which then must be B:.
    kBehindFloppyDrive = 1u << 2,
};

struct Scenario {
    const char* name;
    const char* drive;
    std::size_t diskBytes; ///< kNoDisk: the drive is empty
    unsigned options;
    Ending ending;
    /// What the log must say of the drive, for a refused disk; a job that ends otherwise logs
    /// nothing of it (one pulled out is checked on its own terms).
    const char* logReason;
};

void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

const Scenario kScenarios[] = {
    {"BlankDiskInFloppyDrive", k1440KDrive, k1440KBytes, kNone, Ending::Written, nullptr},
    {"EmptyFloppyDrive", k1440KDrive, kNoDisk, kNone, Ending::Refused, "no disk"},
    {"WriteProtectedDisk", k1440KDrive, k1440KBytes, kWriteProtected, Ending::Refused,
     "the disk is write-protected"},
    {"DoubleDensityDisk", k1440KDrive, k720KBytes, kNone, Ending::Refused,
     "the disk is not a 1.44 MB disk: 80 tracks x 2 heads x 9 sectors of 512 bytes"},
    {"HighDensityDiskIn2880KDrive", k2880KDrive, k1440KBytes, kNone, Ending::Written, nullptr},
    {"ExtraDensityDiskIn2880KDrive", k2880KDrive, k2880KBytes, kNone, Ending::Refused,
     "the disk is not a 1.44 MB disk: 80 tracks x 2 heads x 36 sectors of 512 bytes"},
    {"DiskIn1200KDrive", k1200KDrive, k1200KBytes, kNone, Ending::NotOffered, nullptr},
    {"UsbFloppyFoundAfterFloppyDrive", kUsbFloppy, k1440KBytes, kBehindFloppyDrive, Ending::Written,
     nullptr},
    {"NamedUsbFloppyPulledOut", kUsbFloppy, k1440KBytes, kNamedByVariable, Ending::PulledOut,
     nullptr},
};

// The letter the job writes to and the device behind it.
char JobLetter(const Scenario& scenario) {
    return scenario.options & kBehindFloppyDrive ? 'B' : 'A';
}
const char* JobDevice(const Scenario& scenario) {
    return scenario.drive == kUsbFloppy ? kUsbDiskDevice : kFloppyDevice;
}
std::string ListLine(char letter) {
    return std::string("floppy ") + letter + ":";
}

// The texts of the report lines that start with word.
std::vector<std::string> TextsOf(const std::vector<ReportLine>& report, std::string_view word) {
    std::vector<std::string> texts;
    for (const ReportLine& line : report)
        if (line.word == word)
            texts.push_back(line.text);
    return texts;
}

// The program's log lines that contain prefix, each from prefix on (after the time stamp).
std::vector<std::string> LogLinesAbout(const std::vector<ReportLine>& report,
                                       const std::string& prefix) {
    std::vector<std::string> lines;
    for (const std::string& line : TextsOf(report, "log"))
        if (const std::size_t at = line.find(prefix); at != std::string::npos)
            lines.push_back(line.substr(at));
    return lines;
}

bool AnyContains(const std::vector<std::string>& lines, std::string_view part) {
    return std::ranges::any_of(
        lines, [part](const std::string& line) { return line.find(part) != std::string::npos; });
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += "  " + line + "\n";
    return text;
}

// The boxes the job showed, as batch mode reports them.
std::vector<std::string> BoxesOf(const std::vector<ReportLine>& report) {
    std::vector<std::string> boxes;
    for (const std::string& text : TextsOf(report, "job"))
        if (text.starts_with(kBoxPrefix))
            boxes.push_back(text);
    return boxes;
}

// The cylinders a job writes of image: through its last cylinder with data and one empty one;
// one for an image without data.
std::size_t WrittenCylinders(const Bytes& image) {
    std::size_t dataEnd = 0;
    for (std::size_t cylinder = 0; cylinder < catalogue::kCylinders; ++cylinder)
        if (BlockHasData(image.data() + cylinder * kCylinderBytes, kCylinderBytes))
            dataEnd = cylinder + 1;
    return std::min<std::size_t>(dataEnd + 1, catalogue::kCylinders);
}

// Whether cylinders first .. end - 1 of disk hold the image's.
bool CylindersEqual(const Bytes& disk, const Bytes& image, std::size_t first, std::size_t end) {
    return disk.size() >= end * kCylinderBytes &&
           std::equal(disk.begin() + first * kCylinderBytes, disk.begin() + end * kCylinderBytes,
                      image.begin() + first * kCylinderBytes);
}

bool BlankFrom(const Bytes& disk, std::size_t cylinder) {
    return std::all_of(disk.begin() + std::min(disk.size(), cylinder * kCylinderBytes), disk.end(),
                       [](std::uint8_t b) { return b == kBlank; });
}

class RealDrives : public ::testing::Test {
protected:
    void SetUp() override {
        if (rig::GuestFolder().empty())
            GTEST_SKIP() << "BOOTMEDIA_RIG_GUEST is not set: the rig runs through "
                            "scripts/stages/rig";
        ASSERT_TRUE(expected_.valid()) << "no boot image in " << kSampleContainer;
        const char* work = std::getenv("BOOTMEDIA_RIG_WORK");
        ASSERT_NE(work, nullptr) << "BOOTMEDIA_RIG_WORK names no folder";
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::path(work) / info->test_suite_name() / info->name();
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }

    std::string file(const char* name) const { return (folder_ / name).string(); }

    // The report of a guest that has ended, which must have gone through to its end.
    static std::vector<ReportLine> Finished(const rig::Guest& guest) {
        std::vector<ReportLine> report = guest.report();
        EXPECT_FALSE(TextsOf(report, "end").empty()) << "the guest did not finish its job\n"
                                                     << guest.diagnostics();
        return report;
    }

    rig::ExpectedBoxes expected_{kSampleContainer};
    std::filesystem::path folder_;
};

class FloppyJob : public RealDrives, public ::testing::WithParamInterface<Scenario> {
protected:
    // QEMU's arguments for disk (none when the scenario's drive is empty), and the floppy
    // drive's besides when it is one.
    rig::GuestSetup GuestFor(const std::string& disk, const std::string& besideDisk) const {
        const Scenario& scenario = GetParam();
        std::string drive = "if=none,id=disk";
        if (scenario.diskBytes != kNoDisk)
            drive += ",format=raw,file=" + disk;
        if (scenario.options & kWriteProtected)
            drive += ",readonly=on";
        if (scenario.ending == Ending::PulledOut)
            drive += ",throttling.bps-write=" + std::to_string(kThrottledBytesPerSecond);
        rig::GuestSetup setup{folder_.string(),
                              {"-drive", drive},
                              {std::string("rig_floppy=") + JobLetter(scenario) + ":"}};
        if (scenario.drive != kUsbFloppy) {
            setup.devices.insert(
                setup.devices.end(),
                {"-device", std::string("floppy,unit=0,drive=disk,drive-type=") + scenario.drive});
            return setup;
        }
        // A removable disk of 2,880 sectors on a USB host controller; unless a variable names
        // it, discovery must find it, after the floppy controller's drive if there is one.
        setup.devices.insert(setup.devices.end(),
                             {"-device", "qemu-xhci", "-device",
                              std::string("usb-storage,removable=on,drive=disk,id=") + kUsbDiskId});
        if (scenario.options & kBehindFloppyDrive)
            setup.devices.insert(
                setup.devices.end(),
                {"-drive", "if=none,id=beside,format=raw,file=" + besideDisk, "-device",
                 std::string("floppy,unit=0,drive=beside,drive-type=") + k1440KDrive});
        setup.guestVariables.push_back(std::string("rig_wait=") + kUsbDiskDevice);
        if (scenario.options & kNamedByVariable)
            setup.guestVariables.push_back(std::string("BOOTMEDIA_DRIVE_A=") + kUsbDiskDevice);
        return setup;
    }

    // Runs the guest; for a pulled-out job, pulls the USB floppy out as soon as the first
    // cylinder is on it.
    std::vector<ReportLine> RunJob(const std::string& disk, const std::string& besideDisk) const {
        rig::Guest guest(GuestFor(disk, besideDisk));
        EXPECT_TRUE(guest.started()) << "QEMU did not start";
        if (GetParam().ending != Ending::PulledOut) {
            EXPECT_TRUE(guest.waitForEnd(kGuestTimeout)) << "the guest hung\n"
                                                         << guest.diagnostics();
            return Finished(guest);
        }
        const bool underWay = guest.waitFor(
            [&] { return CylindersEqual(test::ReadFileBytes(disk), expected_.image(), 0, 1); },
            kGuestTimeout);
        EXPECT_TRUE(underWay) << "the first cylinder never reached the disk\n"
                              << guest.diagnostics();
        EXPECT_TRUE(guest.removeDevice(kUsbDiskId)) << guest.diagnostics();
        EXPECT_TRUE(guest.waitForEnd(kEndAfterUnplugTimeout))
            << "the job hung once the USB floppy was pulled out\n"
            << guest.diagnostics();
        return Finished(guest);
    }
};

// checks the log of a job on a USB floppy pulled out after onDisk whole cylinders: it says why
// the job stopped, at the cylinder the disk shows (whose write, or the read-back of the one
// before, failed) or as the disk's size falling to nothing, and with the system's error.
void ExpectPulledOutLogged(const std::vector<std::string>& log, std::size_t onDisk) {
    bool placed = false;
    for (const std::string& line : log) {
        if (line.find(kSizeChanged) != std::string::npos)
            placed = true;
        const std::size_t mark = line.find(kCylinderMark);
        if (mark == std::string::npos)
            continue;
        const std::size_t cylinder =
            std::strtoul(line.c_str() + mark + std::strlen(kCylinderMark), nullptr, 10);
        EXPECT_TRUE(cylinder == onDisk || cylinder + 1 == onDisk)
            << "the log places the failure at cylinder " << cylinder << ", the disk after "
            << onDisk << " whole cylinders";
        placed = true;
    }
    EXPECT_TRUE(placed) << "the log does not say where the job stopped:\n" << Joined(log);
    EXPECT_TRUE(std::ranges::any_of(kPulledOutErrors,
                                    [&](int error) { return AnyContains(log, strerror(error)); }))
        << "the log has not the system's error:\n"
        << Joined(log);
}

// checks that each drive and disk ends the job as the disk allows: a 1.44 MB disk written with
// the front cylinders of the boot image, reported good and booting; any other disk, or none,
// refused with the write error, nothing written and the reason in the log; a disk pulled out in
// the middle failed at that cylinder with what was written before it intact and the system's
// error in the log; a drive that takes no 1.44 MB disk never offered. Never a success box for a
// disk that is not good.
TEST_P(FloppyJob, EndsAsTheDiskAllows) {
    const Scenario& scenario = GetParam();
    const std::string disk = file("disk.img");
    const std::string besideDisk = file("beside.img");
    if (scenario.diskBytes != kNoDisk) {
        ASSERT_TRUE(test::WriteFileBytes(disk, Bytes(scenario.diskBytes, kBlank)));
    }
    if (scenario.options & kBehindFloppyDrive) {
        ASSERT_TRUE(test::WriteFileBytes(besideDisk, Bytes(k1440KBytes, kBlank)));
    }
    const std::vector<ReportLine> report = RunJob(disk, besideDisk);
    const Bytes written = scenario.diskBytes != kNoDisk ? test::ReadFileBytes(disk) : Bytes{};
    ASSERT_EQ(written.size(), scenario.diskBytes);
    if (scenario.options & kBehindFloppyDrive) {
        EXPECT_TRUE(BlankFrom(test::ReadFileBytes(besideDisk), 0))
            << "the disk in the floppy drive beside the USB floppy was written";
    }
    const Bytes& image = expected_.image();
    const std::size_t cylinders = WrittenCylinders(image);
    const char letter = JobLetter(scenario);
    const std::vector<std::string> boxes = BoxesOf(report);
    const std::vector<std::string> listed = TextsOf(report, "list");
    const std::vector<std::string> exit = TextsOf(report, "exit");
    const std::vector<std::string> log =
        LogLinesAbout(report, std::string(kFloppyLogPrefix) + JobDevice(scenario) + ":");

    if (scenario.ending == Ending::NotOffered) {
        EXPECT_EQ(listed, std::vector<std::string>{})
            << "discovery offered a drive that takes no 1.44 MB disk";
        EXPECT_EQ(boxes, std::vector<std::string>{});
        EXPECT_EQ(exit, std::vector<std::string>{std::to_string(kExitUsage)});
        EXPECT_TRUE(BlankFrom(written, 0)) << "a drive not offered was written";
        return;
    }
    std::vector<std::string> drives;
    for (char found = 'A'; found <= letter; ++found)
        drives.push_back(ListLine(found));
    EXPECT_EQ(listed, drives) << "discovery found other drives than the machine has";
    if (scenario.ending == Ending::Written) {
        EXPECT_EQ(boxes,
                  (std::vector<std::string>{expected_.question(), expected_.success(letter)}));
        EXPECT_EQ(exit, std::vector<std::string>{std::to_string(kExitSucceeded)});
        EXPECT_EQ(log, std::vector<std::string>{}) << "a good job logged a problem";
        ASSERT_TRUE(CylindersEqual(written, image, 0, cylinders)) << "the front cylinders differ";
        EXPECT_TRUE(BlankFrom(written, cylinders)) << "written past the front cylinders";
        const disctest::Run boot = disctest::BootFloppy(disk, file("boot.log"));
        EXPECT_EQ(boot.status, kBootedStatus) << boot.output;
        EXPECT_NE(boot.output.find(kBootedMarker), std::string::npos) << boot.output;
        return;
    }
    EXPECT_EQ(boxes, (std::vector<std::string>{expected_.question(), expected_.writeError()}));
    EXPECT_EQ(exit, std::vector<std::string>{std::to_string(kExitFailed)});
    if (scenario.ending == Ending::Refused) {
        EXPECT_TRUE(AnyContains(log, scenario.logReason))
            << "the log does not say \"" << scenario.logReason << "\":\n"
            << Joined(log);
        EXPECT_TRUE(BlankFrom(written, 0)) << "a refused disk was written";
        return;
    }
    // The first write went through at once; the one held when the disk went failed (or went
    // through as the disk left, and the next one failed). Nothing after the failing cylinder.
    std::size_t onDisk = 0;
    while (onDisk < cylinders && CylindersEqual(written, image, onDisk, onDisk + 1))
        ++onDisk;
    EXPECT_GE(onDisk, 1u) << "the cylinder written before the disk was pulled out is not on it";
    EXPECT_LT(onDisk, cylinders) << "every cylinder reached a disk that was pulled out";
    EXPECT_TRUE(BlankFrom(written, onDisk)) << "written after the failing cylinder";
    ExpectPulledOutLogged(log, onDisk);
}

INSTANTIATE_TEST_SUITE_P(Guest, FloppyJob, ::testing::ValuesIn(kScenarios),
                         [](const auto& scenario) { return std::string(scenario.param.name); });

// checks that a mounted disc in the optical drive, which no one may open exclusively, holds
// start-up up for less than a second more than the same drive free, that the program never opens
// the drive while it is mounted, and that the log says why the drive was left out.
TEST_F(RealDrives, BusyOpticalDriveDoesNotHoldUpStartUp) {
    const std::string content = file("disc");
    std::filesystem::create_directories(content);
    ASSERT_TRUE(test::WriteFileBytes(content + "/README.TXT", Bytes(10, 'x')));
    const std::string disc = file("disc.iso");
    const test::ProgramRun made =
        test::RunProgram({"xorriso", "-as", "mkisofs", "-quiet", "-o", disc, content});
    ASSERT_EQ(made.status, 0) << made.output;

    rig::Guest guest(
        {folder_.string(),
         {"-drive", "if=none,id=cd,format=raw,media=cdrom,readonly=on,file=" + disc, "-device",
          "ide-cd,drive=cd"},
         {std::string("rig_wait=") + kOpticalDevice, std::string("rig_mount=") + kOpticalDevice}});
    ASSERT_TRUE(guest.started()) << "QEMU did not start";
    EXPECT_TRUE(guest.waitForEnd(kGuestTimeout)) << "the guest hung\n" << guest.diagnostics();
    const std::vector<ReportLine> report = Finished(guest);
    const std::vector<std::string> busy = TextsOf(report, "busy-startup");
    const std::vector<std::string> idle = TextsOf(report, "startup");
    ASSERT_EQ(busy.size(), 1u);
    ASSERT_EQ(idle.size(), 1u);
    EXPECT_LT(std::atoi(busy[0].c_str()) - std::atoi(idle[0].c_str()), kBusyDriveLimit)
        << "start-up took " << busy[0] << " cs with the drive busy, " << idle[0]
        << " cs with it free";
    EXPECT_EQ(TextsOf(report, "busy-opens"), std::vector<std::string>{"0"})
        << "the mounted drive was opened (no count: the guest could not watch it)";
    const std::vector<std::string> mounted = TextsOf(report, "mounted");
    ASSERT_EQ(mounted.size(), 1u);
    const std::vector<std::string> log =
        LogLinesAbout(report, std::string(kOpticalLogPrefix) + kOpticalDevice + kNotOffered);
    EXPECT_TRUE(AnyContains(log, kMountedAt + mounted[0]))
        << "the log does not say where the busy drive is mounted:\n"
        << Joined(TextsOf(report, "log"));
}

} // namespace
