// SPDX-License-Identifier: GPL-2.0-or-later
// Finding the optical CD writers from the kernel's listing, on real block devices (loop devices
// standing in for the drives, which this machine lacks): only free writers are offered, every
// other drive is named in the log with its reasons, and a busy drive costs no wait.
#include "platform/linux/cd/OpticalDrives.h"

#include "support/CapturedLog.h"
#include "support/LoopDevice.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::layer::FindCdWriters;

namespace {

constexpr std::uintmax_t kDeviceBytes = 1 << 20;
constexpr uid_t kNobody = 65534;
constexpr std::chrono::seconds kStartupBudget{1};

std::string Name(const test::LoopDevice& device) {
    return std::filesystem::path(device.path()).filename().string();
}

// A file of kDeviceBytes to back a loop device.
std::string Backing(test::TempDir& dir, const std::string& name) {
    const std::string path = dir.path(name);
    std::ofstream(path).close();
    std::filesystem::resize_file(path, kDeviceBytes);
    return path;
}

// The kernel's listing for drives named in columns, with their CD-R and CD-RW columns.
void WriteListing(const std::string& path, const std::vector<std::string>& names,
                  const std::string& writesCdr, const std::string& writesCdrw) {
    std::ofstream listing(path);
    listing << "CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n\ndrive name:\t";
    for (const std::string& name : names)
        listing << '\t' << name;
    listing << "\nCan write CD-R:\t" << writesCdr << "\nCan write CD-RW:\t" << writesCdrw << "\n";
}

bool Logged(const std::string& log, const std::string& device, const std::string& reason) {
    const std::size_t line = log.find("CD drive " + device + " is not offered");
    return line != std::string::npos && log.find(reason, line) < log.find('\n', line);
}

} // namespace

// checks that of the writers in the listing only the idle one is offered, that a reader, a
// mounted writer, a writer held by another program and a drive without a device node are left
// out with their reasons in the log, and that the busy ones cost no wait.
TEST(OpticalDrives, OffersFreeWritersOnly) {
    test::TempDir dir;
    const test::CapturedLog log(dir);
    test::LoopDevice idle(Backing(dir, "idle.img"));
    test::LoopDevice reader(Backing(dir, "reader.img"));
    test::LoopDevice held(Backing(dir, "held.img"));
    const std::string mountedImage = Backing(dir, "mounted.img");
    if (!idle || !reader || !held || !test::MakeExt2(mountedImage))
        GTEST_SKIP() << "loop devices need root and the loop driver";
    test::LoopDevice mountedDevice(mountedImage);
    const test::Ext2Mount mount(mountedDevice.path(), dir.path("mnt"));
    ASSERT_TRUE(mount);
    const int holder = ::open(held.path().c_str(), O_RDONLY | O_EXCL | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    WriteListing(dir.path("info"),
                 {Name(reader), Name(held), Name(mountedDevice), Name(idle), "nosuchdrive7"},
                 "0\t1\t1\t1\t1", "0\t0\t1\t1\t0");

    const auto start = std::chrono::steady_clock::now();
    const std::vector<std::string> writers = FindCdWriters(dir.path("info"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, kStartupBudget);
    ::close(holder);

    EXPECT_EQ(writers, std::vector<std::string>{idle.path()});
    const std::string text = log.text();
    EXPECT_TRUE(Logged(text, reader.path(), "cannot write CD-R or CD-RW")) << text;
    EXPECT_TRUE(Logged(text, held.path(), "is in use by another program")) << text;
    EXPECT_TRUE(Logged(text, mountedDevice.path(), "is mounted at " + dir.path("mnt"))) << text;
    EXPECT_TRUE(Logged(text, "/dev/nosuchdrive7", "has no block device node")) << text;
    EXPECT_EQ(text.find("CD drive " + idle.path()), std::string::npos) << text;
}

// checks that a writer this user may not open is left out with the group that would let it in
// named in the log, and that no listing at all means no drive.
TEST(OpticalDrives, NamesTheGroupOfAForbiddenWriter) {
    GTEST_FLAG_SET(death_test_style, "fast");
    test::TempDir dir;
    const test::CapturedLog log(dir);
    EXPECT_TRUE(FindCdWriters(dir.path("no listing")).empty());
    test::LoopDevice writer(Backing(dir, "writer.img"));
    if (!writer || ::geteuid() != 0)
        GTEST_SKIP() << "loop devices need root and the loop driver";
    WriteListing(dir.path("info"), {Name(writer)}, "1", "1");
    // The user who is not permitted still writes the log.
    const std::string logFolder = log.stateFolder() + "/bootmedia";
    std::filesystem::create_directories(logFolder);
    for (const std::string& folder : {dir.root().string(), log.stateFolder(), logFolder})
        ::chmod(folder.c_str(), 0777);
    struct stat node {};
    ASSERT_EQ(::stat(writer.path().c_str(), &node), 0);
    ASSERT_NE(node.st_mode & (S_IROTH | S_IWOTH), static_cast<mode_t>(S_IROTH | S_IWOTH));
    const std::string listing = dir.path("info");
    EXPECT_EXIT(
        {
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                std::_Exit(2);
            std::_Exit(FindCdWriters(listing).empty() ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_TRUE(Logged(log.text(), writer.path(), "may not be used by this user")) << log.text();
    EXPECT_TRUE(Logged(log.text(), writer.path(), "belongs to group")) << log.text();
}
