// SPDX-License-Identifier: GPL-2.0-or-later
// Create CD-ROM from the dialog onto a file recorder: the question, the phases in the status
// line and the bar, the success box, the idle reset, and a disc that holds the container's files
// and boots.
#include "DialogFixture.h"
#include "app/BootMediaDlg.h"
#include "app/JobState.h"
#include "res/ResourceIds.h"
#include "resfile/Catalogue.h"
#include "support/DiscTools.h"
#include "support/gui/GuiDriver.h"

#include <cstdlib>
#include <filesystem>

using guitest::GuiDriver;
using namespace dialogtest;

namespace {

constexpr int kFullBar = 10;

// The container's CD file set, by name: entries 5000 + i and 5100 + i until the first gap.
std::map<std::string, test::Bytes> ContainerFiles(const std::string& container) {
    std::map<std::string, test::Bytes> files;
    const win::HANDLE file = OpenResourceFile(container.c_str(), true);
    for (int i = 0; i < catalogue::kCdFileMax; ++i) {
        const ResourceText name =
            ReadResourceText(file, static_cast<ResourceId>(catalogue::kCdFileNameFirst + i));
        if (*name == '\0')
            break;
        std::uint16_t count = 0;
        std::unique_ptr<ResourceEntry, FreeDeleter> directory(ReadResourceDirectory(file, &count));
        std::uint32_t size = 0;
        std::unique_ptr<void, FreeDeleter> data(
            ReadResourceData(file, static_cast<ResourceId>(catalogue::kCdFileContentFirst + i),
                             directory.get(), &size));
        const auto* bytes = static_cast<const std::uint8_t*>(data.get());
        files[name.get()] = test::Bytes(bytes, bytes + size);
    }
    CloseResourceFile(file);
    return files;
}

} // namespace

class CdJob : public DialogFixture {};

// checks a whole CD job on the sample container: phases, success box over a full bar, the idle
// reset, and a disc with the El Torito floppy emulation, the container's files and a boot image
// that boots.
TEST_F(CdJob, RecordsABootableDiscFromTheSampleContainer) {
    const std::string sample = PrepareSample();
    if (sample.empty())
        GTEST_SKIP() << "no sample container built";
    if (!disctest::HaveProgram("xorriso"))
        GTEST_SKIP() << "xorriso is not installed";
    CBootMediaDlg dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        gui.Click(res::kIdcCreateCd);
        auto question = guitest::WaitForMessageBox();
        ASSERT_TRUE(question);
        EXPECT_TRUE(question->question);
        EXPECT_TRUE(question->ownedByDialog);
        guitest::AnswerMessageBox(win::IDOK);

        ASSERT_TRUE(guitest::WaitUntil([&] { return !gui.IsEnabled(res::kIdcExit); }));
        EXPECT_FALSE(gui.IsEnabled(res::kIdcCreateFloppy));
        EXPECT_FALSE(gui.IsEnabled(res::kIdcCreateCd));

        auto success = guitest::WaitForMessageBox(std::chrono::seconds(60));
        ASSERT_TRUE(success);
        EXPECT_EQ(success->icon, QMessageBox::Information);
        EXPECT_TRUE(success->ownedByDialog);
        EXPECT_EQ(gui.ProgressOf(res::kIdcProgress).value, kFullBar);
        guitest::AnswerMessageBox(win::IDOK);

        ASSERT_TRUE(guitest::WaitUntil([&] { return gui.IsEnabled(res::kIdcExit); }));
        EXPECT_EQ(gui.ProgressOf(res::kIdcProgress).value, 0);
        EXPECT_TRUE(gui.IsEnabled(res::kIdcCreateFloppy));
        EXPECT_TRUE(gui.IsEnabled(res::kIdcCreateCd));
    });
    EXPECT_FALSE(JobState.failed);

    const std::string report = disctest::ElToritoReport(discPath());
    EXPECT_NE(report.find("BIOS"), std::string::npos) << report;
    EXPECT_NE(report.find("fd1.4"), std::string::npos) << report;
    EXPECT_EQ(disctest::DiscFiles(discPath(), dir_.path("extracted")), ContainerFiles(sample));

    if (!disctest::HaveProgram("qemu-system-i386"))
        GTEST_SKIP() << "qemu-system-i386 is not installed";
    const disctest::Run boot = disctest::BootDisc(discPath(), dir_.path("console.log"));
    EXPECT_NE(boot.output.find("BOOTMEDIA-OK"), std::string::npos) << boot.output;
}
