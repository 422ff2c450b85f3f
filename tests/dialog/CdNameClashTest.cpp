// SPDX-License-Identifier: GPL-2.0-or-later
// Create CD-ROM on a container whose file set holds two names that are one to Windows: the
// build fails with its message, no disc appears, and the dialog goes back to its idle look.
#include "DialogFixture.h"
#include "app/BootMediaDlg.h"
#include "app/JobState.h"
#include "res/ResourceIds.h"
#include "resfile/Catalogue.h"
#include "support/ScopedEnv.h"
#include "support/gui/GuiDriver.h"

#include <filesystem>

using guitest::GuiDriver;
using namespace dialogtest;

namespace {

constexpr const char* kCodePageVariable = "BOOTMEDIA_CODEPAGE";
constexpr ResourceId kSecondName = catalogue::kCdFileNameFirst + 1;
constexpr ResourceId kSecondContents = catalogue::kCdFileContentFirst + 1;

} // namespace

class CdNameClash : public DialogFixture {};

// checks that two names the storage or the disc takes for one (case in ASCII, in Windows-1252
// and outside Latin-1, and two bytes Windows-1252 leaves undefined) fail the build with text
// 1031 instead of a disc holding one of the two files, and that the job ends as every failed
// job does: no success box, no disc, the bar at 0, the idle status and every button enabled.
TEST_F(CdNameClash, FailsTheBuildWithoutADisc) {
    struct Case {
        const char* what;
        const char* codePage;
        const char* first;
        const char* second;
    };
    const Case cases[] = {
        {"ASCII case", "1252", "readme.txt", "README.TXT"},
        {"Windows-1252 case", "1252", "\x9A.txt", "\x8A.txt"},
        {"Cyrillic case", "1251", "\xC6.txt", "\xE6.txt"},
        {"undefined bytes", "1252", "a\x81.txt", "a\x8D.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const test::ScopedEnv codePage(kCodePageVariable, c.codePage);
        test::ContainerBuilder container = FullContainer(catalogue::kBootImageBytes);
        container.add(catalogue::kCdFileNameFirst, c.first)
            .add(kSecondName, c.second)
            .add(catalogue::kCdFileContentFirst, "one")
            .add(kSecondContents, "two");
        Prepare(container);
        CBootMediaDlg dialog;
        GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
            ASSERT_TRUE(gui.WaitUntilShown());
            const std::string idleStatus = gui.Text(res::kIdcStatusText);
            gui.Click(res::kIdcCreateCd);
            ASSERT_TRUE(guitest::WaitForMessageBox());
            guitest::AnswerMessageBox(win::IDOK);

            const auto failure = guitest::WaitForMessageBox(std::chrono::seconds(30));
            ASSERT_TRUE(failure);
            EXPECT_EQ(failure->text, std::to_string(catalogue::kCdBuildError));
            EXPECT_EQ(failure->caption, std::to_string(catalogue::kErrorCaption));
            EXPECT_EQ(failure->icon, QMessageBox::Critical);
            guitest::AnswerMessageBox(win::IDOK);

            ASSERT_TRUE(guitest::WaitUntil([&] { return gui.IsEnabled(res::kIdcExit); }));
            EXPECT_EQ(gui.ProgressOf(res::kIdcProgress).value, 0);
            EXPECT_EQ(gui.Text(res::kIdcStatusText), idleStatus);
            EXPECT_TRUE(gui.IsEnabled(res::kIdcCreateFloppy));
            EXPECT_TRUE(gui.IsEnabled(res::kIdcCreateCd));
            EXPECT_FALSE(guitest::WaitForMessageBox(std::chrono::milliseconds(300)));
        });
        EXPECT_TRUE(JobState.failed);
        EXPECT_FALSE(std::filesystem::exists(discPath()));
    }
}
