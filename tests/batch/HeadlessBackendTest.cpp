// SPDX-License-Identifier: GPL-2.0-or-later
// The headless backend on a small dialog of its own: the operator's clicks and choices run the
// dialog's handlers, a worker thread acts on the controls while the operator waits, every box is
// answered by the operator and reported, and however the process ends, it ends with the
// operator's status.
#include "platform/headless/HeadlessBackend.h"

#include "platform/System.h"
#include "platform/fw/Application.h"
#include "platform/fw/Button.h"
#include "platform/fw/ComboBox.h"
#include "platform/fw/Dialog.h"
#include "platform/fw/ProgressCtrl.h"
#include "platform/fw/Static.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace fw;
using namespace win;

constexpr int kDialogId = 7;
constexpr int kText = 10;
constexpr int kGo = 11;
constexpr int kList = 12;
constexpr int kBar = 13;
constexpr int kOperatorStatus = 42;

constexpr ControlTemplate kControls[] = {
    {kText, ControlKind::StaticText, "idle", 0, style::kNone, 0, 0, 50, 10},
    {kGo, ControlKind::PushButton, "&Go", 0, style::kTabStop, 0, 10, 50, 10},
    {kList, ControlKind::ComboBox, "", 0, style::kDropDownList, 0, 20, 50, 30},
    {kBar, ControlKind::ProgressBar, "", 0, style::kBorder, 0, 50, 50, 10},
};
constexpr DialogTemplate kTemplate{
    kDialogId, "Small", dialog_style::kPopup, "MS Sans Serif", 8, 100, 100, kControls};

// A dialog with a job: Go asks, then a thread moves the bar, changes the text, tells of success
// in a box and gives Go back.
class JobDialog : public Dialog {
public:
    JobDialog() : Dialog(kDialogId) { MapClick(kGo, &JobDialog::OnGo); }
    ~JobDialog() override {
        if (worker_.joinable())
            worker_.join();
    }
    int chosen = -1;

protected:
    void DoDataExchange(DataExchange& dx) override {
        DDX_Control(dx, kText, text_);
        DDX_Control(dx, kGo, go_);
        DDX_Control(dx, kList, list_);
        DDX_Control(dx, kBar, bar_);
    }
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        list_.AddString("first");
        list_.AddString("second");
        list_.SetCurSel(0);
        return true;
    }

private:
    void OnGo() {
        chosen = list_.GetCurSel();
        if (MessageBoxA(GetHwnd(), "Go on?", "Question", MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
            return;
        go_.EnableWindow(false);
        worker_ = std::thread([this] {
            bar_.SetRange(0, 2);
            bar_.SetPos(1);
            text_.SetWindowText("working");
            bar_.SetPos(2);
            MessageBoxA(GetHwnd(), "All done", "Done", MB_ICONINFORMATION);
            go_.EnableWindow(true);
        });
    }

    Static text_;
    Button go_;
    ComboBox list_;
    ProgressCtrl bar_;
    std::thread worker_;
};

// Chooses the second entry, presses Go, waits for Go to come back, and leaves the dialog open.
class Script final : public Operator {
public:
    explicit Script(int answer) : answer_(answer) {}
    void Operate(Panel& panel) override {
        items = panel.Items(kList);
        selected = panel.Select(kList, 1);
        refusedMissing = !panel.Select(kList, 2);
        clicked = panel.Click(kGo);
        waited = panel.WaitUntil([&] { return panel.IsEnabled(kGo); });
        finalText = panel.Text(kText);
        panel.Note("note");
    }
    int Answer(const ShownBox& box) override {
        std::lock_guard lock(mutex_);
        captions.emplace_back(box.caption);
        return (box.type & MB_TYPEMASK) == MB_OKCANCEL ? answer_ : IDOK;
    }
    int ExitStatus() const override { return kOperatorStatus; }

    std::vector<std::string> items;
    bool selected = false;
    bool refusedMissing = false;
    bool clicked = false;
    bool waited = false;
    std::string finalText;
    std::vector<std::string> captions;

private:
    const int answer_;
    std::mutex mutex_;
};

class MemoryConsole {
public:
    MemoryConsole() : stream_(open_memstream(&bytes_, &size_)) {}
    ~MemoryConsole() {
        std::fclose(stream_);
        std::free(bytes_);
    }
    MemoryConsole(const MemoryConsole&) = delete;
    MemoryConsole& operator=(const MemoryConsole&) = delete;
    headless::Console console() const { return headless::Console(stream_, stream_, false, false); }
    std::string text() const {
        std::fflush(stream_);
        return {bytes_, size_};
    }

private:
    char* bytes_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* stream_;
};

ProgramResources Resources() {
    return {{&kTemplate}, {}};
}

// checks a whole job worked by the operator: its choice reaches the handler, the question is
// answered by it, the worker's changes arrive while it waits, and a dialog it leaves open ends
// with IDCANCEL
TEST(HeadlessBackend, OperatorWorksTheDialogAndItsJob) {
    MemoryConsole output;
    const headless::Console console = output.console();
    Script script(IDOK);
    JobDialog dialog;
    {
        headless::HeadlessBackend backend(Resources(), script, console);
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
    EXPECT_EQ(script.items, (std::vector<std::string>{"first", "second"}));
    EXPECT_TRUE(script.selected);
    EXPECT_TRUE(script.refusedMissing);
    EXPECT_TRUE(script.clicked);
    EXPECT_TRUE(script.waited);
    EXPECT_EQ(dialog.chosen, 1);
    EXPECT_EQ(script.finalText, "working");
    EXPECT_EQ(script.captions, (std::vector<std::string>{"Question", "Done"}));
    EXPECT_EQ(output.text(), "dialog Small\n"
                             "text 10 idle\n"
                             "select 12 second\n"
                             "click 11 Go\n"
                             "box question [Question] Go on? -> OK\n"
                             "disable 11 Go\n"
                             "progress 13 0 0 2\n"
                             "progress 13 1 0 2\n"
                             "text 10 working\n"
                             "progress 13 2 0 2\n"
                             "box information [Done] All done\n"
                             "enable 11 Go\n"
                             "note\n");
}

// checks that a question the operator answers Cancel starts nothing, and that a disabled button
// cannot be pressed
TEST(HeadlessBackend, CancelStartsNothing) {
    MemoryConsole output;
    const headless::Console console = output.console();
    Script script(IDCANCEL);
    JobDialog dialog;
    headless::HeadlessBackend backend(Resources(), script, console);
    dialog.DoModal();
    EXPECT_TRUE(script.clicked);
    EXPECT_EQ(script.finalText, "idle");
    EXPECT_EQ(output.text().find("disable"), std::string::npos) << output.text();
}

// checks that a call from another thread once the backend is down runs nothing and says so
TEST(HeadlessBackend, CallsAfterShutDownAreRefused) {
    MemoryConsole output;
    const headless::Console console = output.console();
    Script script(IDOK);
    headless::HeadlessBackend backend(Resources(), script, console);
    backend.shutDown();
    bool ran = false;
    bool carried = true;
    std::thread([&] { carried = backend.callOnUiThread([&] { ran = true; }); }).join();
    EXPECT_FALSE(carried);
    EXPECT_FALSE(ran);
}

// checks that the process ends with the operator's status whichever way the program ends it
TEST(HeadlessBackendDeathTest, EarlyEndsGiveTheOperatorsStatus) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const headless::Console console(stdout, stderr, false, false);
            Script script(IDOK);
            headless::HeadlessBackend backend(Resources(), script, console);
            ExitProcess(0);
        },
        testing::ExitedWithCode(kOperatorStatus), "");
    EXPECT_EXIT(
        {
            const headless::Console console(stdout, stderr, false, false);
            Script script(IDOK);
            headless::HeadlessBackend backend(Resources(), script, console);
            fw::Exit(0);
        },
        testing::ExitedWithCode(kOperatorStatus), "");
}

} // namespace
