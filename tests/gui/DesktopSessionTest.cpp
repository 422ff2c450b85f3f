// SPDX-License-Identifier: GPL-2.0-or-later
// The real program's window under a real window manager (openbox on an X server of the test's
// own), for what offscreen cannot show: what the window manager is told and offers, where
// activation and the keyboard go between the dialog and its boxes, and a scaled screen.
#include "XSession.h"
#include "resfile/Catalogue.h"
#include "support/ContainerBuilder.h"
#include "support/TempDir.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

using xtest::XSession;

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
// Texts of the sample container the windows are found by.
constexpr const char* kTitle = "Boot Media Maker";
constexpr const char* kQuestionCaption = "Boot Media Maker - Please Confirm";
constexpr const char* kErrorCaption = "Boot Media Maker - Error";
constexpr const char* kCancelledCaption = "Boot Media Maker - Cancelled";
// The Motif hints' functions: move and close, nothing else.
constexpr std::uint32_t kMoveAndClose = (1u << 2) | (1u << 5);

bool Has(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

class DesktopSession : public testing::Test {
protected:
    void SetUp() override {
        if (!xtest::HaveDesktopTools())
            GTEST_SKIP() << "Xvfb, openbox or xdotool is not installed";
        const char* sample = std::getenv("BOOTMEDIA_SAMPLE");
        if (sample == nullptr || !std::filesystem::exists(sample))
            GTEST_SKIP() << "no sample container built";
        std::filesystem::copy_file(sample, dir_.path("install.dat"));
        ASSERT_TRUE(test::WriteFileBytes(dir_.path("floppy.img"),
                                         test::Bytes(catalogue::kBootImageBytes, 0)));
        dir_.path("disc.iso");
    }

    /// The program on its own desktop of width x height, its dialog shown.
    xcb_window_t start(int width = kScreenWidth, int height = kScreenHeight,
                       std::map<std::string, std::string> more = {}) {
        session_ = std::make_unique<XSession>(width, height);
        if (!session_->ready()) {
            ADD_FAILURE() << "the X server or the window manager did not come up";
            return 0;
        }
        std::map<std::string, std::string> environment{
            {"BOOTMEDIA_UI", "qt"},
            {"BOOTMEDIA_DRIVE_A", dir_.path("floppy.img")},
            {"BOOTMEDIA_DRIVE_B", ""},
            {"BOOTMEDIA_RECORDERS", dir_.path("disc.iso")}};
        environment.insert(more.begin(), more.end());
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(dir_.root());
        program_ = std::make_unique<xtest::Background>(
            session_->start({BOOTMEDIA_PROGRAM}, std::move(environment)));
        std::filesystem::current_path(previous);
        const xcb_window_t dialog = session_->waitForWindow(kTitle);
        EXPECT_NE(dialog, 0u) << "the dialog did not come up";
        if (dialog != 0) {
            EXPECT_TRUE(activates(dialog));
        }
        return dialog;
    }

    /// Waits until the window manager made window the active one.
    bool activates(xcb_window_t window) {
        for (int tries = 0; tries < 200; ++tries) {
            if (session_->activeWindow() == window)
                return true;
            usleep(50'000);
        }
        return false;
    }

    /// A click on window near its bottom left corner (where a box centred on it does not
    /// cover it), through the real pointer.
    void clickAside(xcb_window_t window) {
        constexpr int kInset = 12;
        const xtest::Rect area = session_->frame(window);
        EXPECT_TRUE(
            session_->xdotool({"mousemove", std::to_string(area.x + kInset),
                               std::to_string(area.y + area.height - kInset), "click", "1"}));
    }

    bool key(const std::string& keys) { return session_->xdotool({"key", keys}); }

    void TearDown() override {
        program_.reset();
        session_.reset();
    }

    test::TempDir dir_;
    std::unique_ptr<XSession> session_;
    std::unique_ptr<xtest::Background> program_;
};

// checks that the fixed dialog tells the window manager it can be moved and closed only (no
// resize, no maximise offered), and is back at its size soon after a request to put it full
// screen, whether the window manager grants it (the dialog then reverts it, as the offscreen
// Dialog.StaysAFixedWindow checks) or not.
TEST_F(DesktopSession, FixedDialogStaysFixed) {
    const xcb_window_t dialog = start();
    ASSERT_NE(dialog, 0u);
    const std::vector<std::uint32_t> motif = session_->values(dialog, "_MOTIF_WM_HINTS");
    ASSERT_GE(motif.size(), 3u);
    EXPECT_EQ(motif[1], kMoveAndClose);
    const std::vector<std::string> actions = session_->atomNames(dialog, "_NET_WM_ALLOWED_ACTIONS");
    EXPECT_TRUE(Has(actions, "_NET_WM_ACTION_CLOSE"));
    for (const char* offered : {"_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ",
                                "_NET_WM_ACTION_MAXIMIZE_VERT"}) {
        SCOPED_TRACE(offered);
        EXPECT_FALSE(Has(actions, offered));
    }

    const xtest::Rect before = session_->frame(dialog);
    session_->requestState(dialog, "_NET_WM_STATE_FULLSCREEN");
    bool cameBack = false;
    for (int tries = 0; tries < 100 && !cameBack; ++tries) {
        usleep(50'000);
        const bool full =
            Has(session_->atomNames(dialog, "_NET_WM_STATE"), "_NET_WM_STATE_FULLSCREEN");
        const xtest::Rect now = session_->frame(dialog);
        cameBack = !full && now.width == before.width && now.height == before.height;
    }
    EXPECT_TRUE(cameBack);
}

// checks that while the question owned by the dialog is open, a click on the dialog leaves the
// box active, so Escape reaches the box and answers it; no job starts.
TEST_F(DesktopSession, OwnedBoxKeepsTheKeyboard) {
    const xcb_window_t dialog = start();
    ASSERT_NE(dialog, 0u);
    ASSERT_TRUE(key("alt+f"));
    const xcb_window_t question = session_->waitForWindow(kQuestionCaption);
    ASSERT_NE(question, 0u);
    EXPECT_TRUE(activates(question));
    clickAside(dialog);
    EXPECT_TRUE(activates(question));
    ASSERT_TRUE(key("Escape"));
    EXPECT_TRUE(session_->waitForNoWindow(kQuestionCaption));
    EXPECT_TRUE(activates(dialog));
    const test::Bytes disk = test::ReadFileBytes(dir_.path("floppy.img"));
    EXPECT_TRUE(std::all_of(disk.begin(), disk.end(), [](std::uint8_t byte) { return byte == 0; }));
}

// checks that a box without owner (the writer's error when the drive is in use) comes up above
// the dialog and active, though the dialog stays usable beside it.
TEST_F(DesktopSession, BoxWithoutOwnerComesUpOnTop) {
    const xcb_window_t dialog = start();
    ASSERT_NE(dialog, 0u);
    // Another program holds the floppy: the writer cannot lock it.
    const int holder = ::open(dir_.path("floppy.img").c_str(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    ASSERT_TRUE(key("alt+f"));
    ASSERT_NE(session_->waitForWindow(kQuestionCaption), 0u);
    ASSERT_TRUE(key("Return"));
    const xcb_window_t error = session_->waitForWindow(kErrorCaption);
    ::close(holder);
    ASSERT_NE(error, 0u);
    EXPECT_TRUE(activates(error));
    const std::vector<xcb_window_t> order = session_->stacking();
    const auto errorAt = std::find(order.begin(), order.end(), error);
    const auto dialogAt = std::find(order.begin(), order.end(), dialog);
    EXPECT_GT(errorAt, dialogAt);
    ASSERT_TRUE(key("Return"));
    ASSERT_NE(session_->waitForWindow(kCancelledCaption), 0u);
    ASSERT_TRUE(key("Return"));
    EXPECT_TRUE(session_->waitForNoWindow(kCancelledCaption));
}

// checks that at twice the scale on a screen too small for the dialog so scaled, the dialog is
// shown smaller so that all of it, frame included, is on the screen.
TEST_F(DesktopSession, ScaledDialogFitsTheScreen) {
    constexpr int kLowScreenHeight = 720;
    const xcb_window_t dialog = start(kScreenWidth, kLowScreenHeight, {{"QT_SCALE_FACTOR", "2"}});
    ASSERT_NE(dialog, 0u);
    const xtest::Rect area = session_->frame(dialog);
    EXPECT_GE(area.x, 0);
    EXPECT_GE(area.y, 0);
    EXPECT_LE(area.x + area.width, kScreenWidth);
    EXPECT_LE(area.y + area.height, kLowScreenHeight);
}

} // namespace
