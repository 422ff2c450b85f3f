// SPDX-License-Identifier: GPL-2.0-or-later
// The real program in batch mode on the sample container, as a script runs it: the media it makes
// boot, nothing is written unasked, each failure the dialog can meet ends with status 1 and the
// container's text, and --list names what discovery found.
#include "SampleContainer.h"
#include "resfile/Catalogue.h"
#include "support/DiscTools.h"
#include "support/LoopDevice.h"
#include "support/Programs.h"
#include "support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using batchtest::EntryText;
using batchtest::TextBeforeArguments;

constexpr int kSucceeded = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;
constexpr int kCancelled = 3;
constexpr const char* kBootMark = "BOOTMEDIA-OK";
constexpr std::uint8_t kOldByte = 0x5A;
// Big enough for an ext2 file system, too small for the disc.
constexpr std::size_t kSmallVolumeBytes = 1024 * 1024;

// A text as the plain report writes it: its line breaks as spaces.
std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

class BatchProgram : public testing::Test {
protected:
    void SetUp() override {
        sample_ = batchtest::SamplePath();
        if (sample_.empty())
            GTEST_SKIP() << "no sample container built";
        fs::copy_file(sample_, dir_.path("install.dat"));
    }

    // Runs the program in the test's folder with no drive but those the test names.
    test::ProgramRun run(std::vector<std::string> arguments,
                         std::map<std::string, std::string> environment = {}) {
        arguments.insert(arguments.begin(), BOOTMEDIA_PROGRAM);
        environment.try_emplace("BOOTMEDIA_DRIVE_A", "");
        environment.try_emplace("BOOTMEDIA_DRIVE_B", "");
        environment.try_emplace("BOOTMEDIA_RECORDERS", "");
        environment.try_emplace("XDG_STATE_HOME", dir_.path("state"));
        environment.try_emplace("LC_ALL", "C.UTF-8");
        return test::RunProgramApart({arguments, dir_.path(""), environment});
    }

    // The box line of a container text as the report writes it.
    std::string text(ResourceId id) { return OneLine(TextBeforeArguments(sample_, id)); }

    void expectPlain(const test::ProgramRun& run) {
        EXPECT_EQ(run.errors.find('\x1b'), std::string::npos) << "colour codes off a terminal";
    }

    test::TempDir dir_;
    std::string sample_;
};

bool FrontIsImage(const test::Bytes& disk, const test::Bytes& image) {
    return disk.size() == catalogue::kBootImageBytes && image.size() == disk.size() &&
           std::equal(disk.begin(), disk.begin() + catalogue::kCylinderBytes, image.begin());
}

// checks that --floppy FILE --yes makes the named image blank, writes the boot floppy into it
// through the dialog's command and monitor, ends with status 0, and that the floppy boots a PC
TEST_F(BatchProgram, FloppyImageIsMadeAndBoots) {
    const test::ProgramRun made = run({"--floppy", "x.img", "--yes"});
    EXPECT_EQ(made.status, kSucceeded) << made.errors;
    expectPlain(made);
    EXPECT_NE(made.errors.find("click 1003 "), std::string::npos) << made.errors;
    EXPECT_NE(made.errors.find("box information ["), std::string::npos) << made.errors;
    EXPECT_NE(made.errors.find("progress 1001 "), std::string::npos) << made.errors;
    EXPECT_TRUE(made.output.empty()) << made.output;
    const test::Bytes disk = test::ReadFileBytes(dir_.path("x.img"));
    EXPECT_TRUE(FrontIsImage(disk, batchtest::EntryBytes(sample_, catalogue::kBootImage)));

    if (!disctest::HaveProgram("qemu-system-i386"))
        GTEST_SKIP() << "qemu-system-i386 is not installed";
    const disctest::Run boot = disctest::BootFloppy(dir_.path("x.img"), dir_.path("console.log"));
    EXPECT_NE(boot.output.find(kBootMark), std::string::npos) << boot.output;
}

// checks that --cd FILE.iso --yes records a disc with the El Torito floppy emulation that boots
TEST_F(BatchProgram, DiscIsRecordedAndBoots) {
    if (!disctest::HaveProgram("xorriso"))
        GTEST_SKIP() << "xorriso is not installed";
    const test::ProgramRun made = run({"--cd=x.iso", "--yes"});
    EXPECT_EQ(made.status, kSucceeded) << made.errors;
    expectPlain(made);
    EXPECT_NE(made.errors.find("click 1005 "), std::string::npos) << made.errors;
    EXPECT_NE(made.errors.find("progress 1001 10 0 10"), std::string::npos) << made.errors;
    const std::string report = disctest::ElToritoReport(dir_.path("x.iso"));
    EXPECT_NE(report.find("BIOS"), std::string::npos) << report;
    EXPECT_NE(report.find("fd1.4"), std::string::npos) << report;

    if (!disctest::HaveProgram("qemu-system-i386"))
        GTEST_SKIP() << "qemu-system-i386 is not installed";
    const disctest::Run boot = disctest::BootDisc(dir_.path("x.iso"), dir_.path("console.log"));
    EXPECT_NE(boot.output.find(kBootMark), std::string::npos) << boot.output;
}

// checks that one command makes both media, the floppy first, then the disc
TEST_F(BatchProgram, BothMediaInOneRun) {
    if (!disctest::HaveProgram("xorriso"))
        GTEST_SKIP() << "xorriso is not installed";
    const test::ProgramRun made = run({"--floppy", "x.img", "--cd", "x.iso", "--yes"});
    EXPECT_EQ(made.status, kSucceeded) << made.errors;
    const std::size_t floppyDone = made.errors.find("box information [");
    const std::size_t cdClicked = made.errors.find("click 1005 ");
    EXPECT_NE(floppyDone, std::string::npos) << made.errors;
    EXPECT_NE(cdClicked, std::string::npos) << made.errors;
    EXPECT_LT(floppyDone, cdClicked) << made.errors;
    EXPECT_NE(made.errors.find("box information [", floppyDone + 1), std::string::npos);
    EXPECT_TRUE(FrontIsImage(test::ReadFileBytes(dir_.path("x.img")),
                             batchtest::EntryBytes(sample_, catalogue::kBootImage)));
    EXPECT_NE(disctest::ElToritoReport(dir_.path("x.iso")).find("fd1.4"), std::string::npos);
}

// checks that without --yes every question is answered Cancel: status 3, and an image or disc
// file, there already or not, is left exactly as it was
TEST_F(BatchProgram, WithoutYesNothingIsWritten) {
    const test::Bytes old(catalogue::kBootImageBytes, kOldByte);
    ASSERT_TRUE(test::WriteFileBytes(dir_.path("old.img"), old));
    ASSERT_TRUE(test::WriteFileBytes(dir_.path("old.iso"), old));
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        const char* file;
        bool exists;
    } cases[] = {
        {"image there", {"--floppy", "old.img"}, "old.img", true},
        {"image not there", {"--floppy", "new.img"}, "new.img", false},
        {"disc there", {"--cd", "old.iso"}, "old.iso", true},
        {"disc not there", {"--cd", "new.iso"}, "new.iso", false},
        {"both", {"--floppy", "old.img", "--cd", "old.iso"}, "old.iso", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const test::ProgramRun refused = run(c.arguments);
        EXPECT_EQ(refused.status, kCancelled) << refused.errors;
        EXPECT_NE(refused.errors.find("-> Cancel"), std::string::npos) << refused.errors;
        if (c.exists)
            EXPECT_EQ(test::ReadFileBytes(dir_.path(c.file)), old);
        else
            EXPECT_FALSE(fs::exists(dir_.path(c.file)));
    }
    EXPECT_EQ(test::ReadFileBytes(dir_.path("old.img")), old);
}

// checks that each failure the dialog can meet ends the run with status 1 and the container's
// text on standard error, and that the image a failed run named is not left behind
TEST_F(BatchProgram, FailuresEndWithStatusOneAndTheirText) {
    // No container: the one message the program carries itself.
    fs::create_directory(dir_.path("empty"));
    const test::ProgramRun noContainer = test::RunProgramApart(
        {{BOOTMEDIA_PROGRAM, "--floppy", "x.img", "--yes"},
         dir_.path("empty"),
         {{"BOOTMEDIA_DRIVE_B", ""}, {"XDG_STATE_HOME", dir_.path("state")}}});
    EXPECT_EQ(noContainer.status, kFailed) << noContainer.errors;
    EXPECT_NE(noContainer.errors.find("Could not load Image and Resource file."), std::string::npos)
        << noContainer.errors;
    EXPECT_FALSE(fs::exists(dir_.path("empty") + "/x.img"));

    // A boot image one byte short: the status line says why, and no drive is looked for.
    ASSERT_TRUE(batchtest::ContainerWith(sample_, catalogue::kBootImage,
                                         test::Bytes(catalogue::kBootImageBytes - 1, 0))
                    .write(dir_.path("install.dat")));
    const test::ProgramRun badImage = run({"--floppy", "x.img", "--yes"});
    EXPECT_EQ(badImage.status, kFailed) << badImage.errors;
    EXPECT_NE(badImage.errors.find("text 1002 " + text(catalogue::kInvalidImageStatusFormat)),
              std::string::npos)
        << badImage.errors;
    EXPECT_FALSE(fs::exists(dir_.path("x.img")));
    fs::copy_file(sample_, dir_.path("install.dat"), fs::copy_options::overwrite_existing);

    // A drive without a disk fails at the first write: the writer's box, and nothing written.
    const test::ProgramRun refused =
        run({"--floppy", "A:", "--yes"}, {{"BOOTMEDIA_DRIVE_A", dir_.path("none.img")}});
    EXPECT_EQ(refused.status, kFailed) << refused.errors;
    EXPECT_NE(refused.errors.find("box error [" + text(catalogue::kErrorCaption) + "] " +
                                  text(catalogue::kFloppyWriteError)),
              std::string::npos)
        << refused.errors;
    EXPECT_FALSE(fs::exists(dir_.path("none.img")));

    // A recorder whose disc does not fit on its volume: recording fails.
    ASSERT_TRUE(test::WriteFileBytes(dir_.path("small.ext2"), test::Bytes(kSmallVolumeBytes, 0)));
    if (!test::MakeExt2(dir_.path("small.ext2")))
        GTEST_SKIP() << "no ext2 file system can be made here";
    test::LoopDevice device(dir_.path("small.ext2"));
    if (!device)
        GTEST_SKIP() << "no loop device here";
    test::Ext2Mount small(device.path(), dir_.path("small"));
    if (!small)
        GTEST_SKIP() << "no mount here";
    const test::ProgramRun unrecorded = run({"--cd", dir_.path("small") + "/x.iso", "--yes"});
    EXPECT_EQ(unrecorded.status, kFailed) << unrecorded.errors;
    EXPECT_NE(unrecorded.errors.find("box error [" + text(catalogue::kErrorCaption) + "] " +
                                     text(catalogue::kRecordError)),
              std::string::npos)
        << unrecorded.errors;
    EXPECT_EQ(unrecorded.errors.find("box information"), std::string::npos) << unrecorded.errors;
}

// checks that --list names two image-file floppy drives and two file recorders, one a line on
// standard output, and that a run that finds nothing, or not the drive named, ends with status 2
TEST_F(BatchProgram, ListNamesWhatDiscoveryFound) {
    for (const char* image : {"a.img", "b.img"})
        ASSERT_TRUE(
            test::WriteFileBytes(dir_.path(image), test::Bytes(catalogue::kBootImageBytes, 0)));
    const std::map<std::string, std::string> drives{
        {"BOOTMEDIA_DRIVE_A", dir_.path("a.img")},
        {"BOOTMEDIA_DRIVE_B", dir_.path("b.img")},
        {"BOOTMEDIA_RECORDERS", dir_.path("x.iso") + ":" + dir_.path("y.iso")}};
    const test::ProgramRun listed = run({"--list"}, drives);
    EXPECT_EQ(listed.status, kSucceeded) << listed.errors;
    EXPECT_EQ(listed.output, "floppy A:\nfloppy B:\ncd E:\ncd F:\n");
    EXPECT_FALSE(fs::exists(dir_.path("x.iso")));

    const test::ProgramRun nothing = run({"--list"});
    EXPECT_EQ(nothing.status, kUsage) << nothing.errors;
    EXPECT_EQ(nothing.output, "");
    EXPECT_NE(nothing.errors.find("text 1002 " + text(catalogue::kNoDeviceStatus)),
              std::string::npos)
        << nothing.errors;

    // Every drive named is looked for before any job starts.
    const test::ProgramRun notThere = run({"--floppy", "B:", "--cd", "G:", "--yes"}, drives);
    EXPECT_EQ(notThere.status, kUsage) << notThere.errors;
    EXPECT_NE(notThere.errors.find("no CD recorder G:"), std::string::npos) << notThere.errors;
    EXPECT_EQ(test::ReadFileBytes(dir_.path("b.img")), test::Bytes(catalogue::kBootImageBytes, 0));
}

// checks that a file that cannot stand in for a drive is refused before anything is written: a
// disk image larger than a floppy, a folder, a disc without .iso, an image in a missing folder
TEST_F(BatchProgram, FilesThatCannotBeDrivesAreRefused) {
    const test::Bytes large(catalogue::kBootImageBytes * 2, kOldByte);
    ASSERT_TRUE(test::WriteFileBytes(dir_.path("large.img"), large));
    fs::create_directory(dir_.path("folder"));
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        int status;
        const char* said;
    } cases[] = {
        {"larger image", {"--floppy", "large.img", "--yes"}, kUsage, "no 1.44 MB floppy drive A:"},
        {"folder", {"--floppy", "folder", "--yes"}, kUsage, "no 1.44 MB floppy drive A:"},
        {"not .iso", {"--cd", "disc.txt", "--yes"}, kUsage, "disc.txt cannot be a file recorder"},
        {"missing folder", {"--floppy", "missing/x.img", "--yes"}, kFailed, "missing/x.img: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const test::ProgramRun refused = run(c.arguments);
        EXPECT_EQ(refused.status, c.status) << refused.errors;
        EXPECT_NE(refused.errors.find(c.said), std::string::npos) << refused.errors;
    }
    EXPECT_EQ(test::ReadFileBytes(dir_.path("large.img")), large);
    EXPECT_FALSE(fs::exists(dir_.path("disc.txt")));
    EXPECT_FALSE(fs::exists(dir_.path("missing")));
}

// checks that the container is never written, whatever the targets name: the container itself
// as the floppy image, symbolic links to it as the image and as the disc, and a hard link to it
// as the disc, which the recording replaces as a name only
TEST_F(BatchProgram, ContainerIsNeverWritten) {
    const test::Bytes container = test::ReadFileBytes(dir_.path("install.dat"));
    fs::create_symlink("install.dat", dir_.path("link.img"));
    fs::create_symlink("install.dat", dir_.path("link.iso"));
    fs::create_hard_link(dir_.path("install.dat"), dir_.path("hard.iso"));
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        int status;
    } cases[] = {
        {"the container as the image", {"--floppy", "install.dat", "--yes"}, kUsage},
        {"a symbolic link as the image", {"--floppy", "link.img", "--yes"}, kUsage},
        {"a symbolic link as the disc", {"--cd", "link.iso", "--yes"}, kUsage},
        {"a hard link as the disc", {"--cd", "hard.iso", "--yes"}, kSucceeded},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const test::ProgramRun made = run(c.arguments);
        EXPECT_EQ(made.status, c.status) << made.errors;
        EXPECT_EQ(test::ReadFileBytes(dir_.path("install.dat")), container);
    }
    EXPECT_TRUE(fs::is_symlink(dir_.path("link.iso")));
}

// checks that on a terminal the progress is one line redrawn in place, with its bar
TEST_F(BatchProgram, TerminalShowsOneLineRedrawnInPlace) {
    if (!disctest::HaveProgram("script"))
        GTEST_SKIP() << "script is not installed";
    const std::string command =
        std::string(BOOTMEDIA_PROGRAM) + " --floppy " + dir_.path("x.img") + " --yes";
    const test::ProgramRun shown = test::RunProgramApart({{"script", "-qec", command, "/dev/null"},
                                                          dir_.path(""),
                                                          {{"BOOTMEDIA_DRIVE_B", ""},
                                                           {"BOOTMEDIA_RECORDERS", ""},
                                                           {"XDG_STATE_HOME", dir_.path("state")},
                                                           {"TERM", "xterm"},
                                                           {"NO_COLOR", "1"},
                                                           {"LC_ALL", "C.UTF-8"}}});
    EXPECT_EQ(shown.status, kSucceeded) << shown.output;
    EXPECT_NE(shown.output.find("\r\x1b[K["), std::string::npos) << shown.output;
    EXPECT_NE(shown.output.find("] 100% "), std::string::npos) << shown.output;
    EXPECT_EQ(shown.output.find("progress 1001"), std::string::npos) << shown.output;
    EXPECT_EQ(shown.output.find("\x1b[1;"), std::string::npos) << "NO_COLOR is honoured";
}

} // namespace
