// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/MessageBox.h"

#include "TestDialog.h"
#include "platform/fw/Application.h"
#include "platform/qt/QtTranslations.h"
#include "res/Resources.h"
#include "support/gui/GuiDriver.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

using namespace win;
using guitest::GuiDriver;

namespace {

constexpr int kTicks = 3;
constexpr int kTickMs = 10;

bool Contains(const std::vector<std::string>& calls, const std::string& call) {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

} // namespace

// checks that a box without owner shown by a worker blocks only that worker: the dialog keeps
// running timers and handling clicks, and the worker gets the answer.
TEST(MessageBox, UnownedBoxLeavesTheDialogResponsive) {
    TestDialog dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        std::atomic<int> answer{0};
        std::thread worker([&] {
            answer = MessageBoxA(nullptr, "Writing failed.", "Error", MB_OKCANCEL | MB_ICONERROR);
        });
        const auto box = guitest::WaitForMessageBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_FALSE(box->ownedByDialog);
        EXPECT_FALSE(box->modal);

        std::atomic<int> ticks{0};
        QTimer* timer = nullptr;
        fw::CallOnUiThread([&] {
            timer = new QTimer(gui.Window());
            QObject::connect(timer, &QTimer::timeout, [&] { ++ticks; });
            timer->start(kTickMs);
        });
        EXPECT_TRUE(guitest::WaitUntil([&] { return ticks >= kTicks; }));
        fw::CallOnUiThread([&] { timer->stop(); });
        gui.Click(res::kIdcCreateFloppy);
        EXPECT_TRUE(guitest::WaitUntil([&] { return Contains(dialog.calls, "floppy"); }));
        EXPECT_EQ(answer, 0);

        ASSERT_TRUE(guitest::AnswerMessageBox(IDCANCEL));
        worker.join();
        EXPECT_EQ(answer, IDCANCEL);
    });
}

// checks that a box owned by the dialog is modal to it: a click on the dialog does nothing
// until the box is answered.
TEST(MessageBox, OwnedBoxIsModal) {
    TestDialog dialog;
    const int result = GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        std::atomic<int> answer{0};
        std::thread monitor([&] {
            answer = MessageBoxA(dialog.GetHwnd(), "Done.", "Finished", MB_ICONINFORMATION);
        });
        const auto box = guitest::WaitForMessageBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_TRUE(box->ownedByDialog);
        EXPECT_TRUE(box->modal);
        gui.Click(res::kIdcExit);
        // The click has been handled (or refused) once a later query has run.
        EXPECT_TRUE(gui.IsShown());
        fw::CallOnUiThread([&] { EXPECT_FALSE(Contains(dialog.calls, "exit")); });

        ASSERT_TRUE(guitest::AnswerMessageBox(IDOK));
        monitor.join();
        EXPECT_EQ(answer, IDOK);
        gui.Click(res::kIdcExit);
        EXPECT_TRUE(guitest::WaitUntil([&] { return !gui.IsShown(); }));
    });
    EXPECT_EQ(result, 0);
}

// checks a question asked by a click handler on the UI thread, owned by its dialog: modal to
// it, and the handler goes on with the answer once the box is answered.
TEST(MessageBox, QuestionFromAHandler) {
    TestDialog dialog;
    int answer = 0;
    dialog.onFloppy = [&](TestDialog& self) {
        answer = MessageBoxA(self.GetHwnd(), "Overwrite the disk?", "Confirm",
                             MB_OKCANCEL | MB_ICONEXCLAMATION);
    };
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        gui.Click(res::kIdcCreateFloppy);
        const auto box = guitest::WaitForMessageBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_TRUE(box->ownedByDialog);
        EXPECT_TRUE(box->modal);
        EXPECT_EQ(box->icon, QMessageBox::Warning);
        ASSERT_TRUE(guitest::AnswerMessageBox(IDCANCEL));
        EXPECT_TRUE(guitest::WaitUntil([&] { return answer == IDCANCEL; }));
    });
}

// checks each style's icon and buttons, that the text is shown as plain text, and the answers
// of the buttons, of Escape and of a box that goes with its owner. Boxes come from the UI
// thread itself, before any dialog exists, or with a dialog that ends under them.
TEST(MessageBox, StylesAndAnswers) {
    guitest::Backend();
    struct Case {
        const char* name;
        UINT type;
        QMessageBox::Icon icon;
        bool question;
        std::function<void()> respond;
        int answer;
    };
    const auto click = [](int button) { return [button] { guitest::AnswerMessageBox(button); }; };
    const auto escape = [] { guitest::PressKeyInMessageBox(Qt::Key_Escape); };
    const std::vector<Case> cases = {
        {"error", MB_ICONERROR, QMessageBox::Critical, false, click(IDOK), IDOK},
        {"question", MB_OKCANCEL | MB_ICONQUESTION, QMessageBox::Question, true, click(IDCANCEL),
         IDCANCEL},
        {"warning", MB_OKCANCEL | MB_ICONEXCLAMATION, QMessageBox::Warning, true, click(IDOK),
         IDOK},
        {"information", MB_ICONINFORMATION, QMessageBox::Information, false, escape, IDOK},
        {"plain question", MB_OKCANCEL, QMessageBox::NoIcon, true, escape, IDCANCEL},
    };
    const char* const text = "<b>Insert</b> a disk & click OK";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::thread user([&] {
            const auto box = guitest::WaitForMessageBox();
            ASSERT_TRUE(box.has_value());
            EXPECT_EQ(box->icon, c.icon);
            EXPECT_EQ(box->question, c.question);
            EXPECT_EQ(box->text, text);
            EXPECT_EQ(box->caption, "Boot media");
            EXPECT_FALSE(box->ownedByDialog);
            c.respond();
        });
        EXPECT_EQ(MessageBoxA(nullptr, text, "Boot media", c.type), c.answer);
        user.join();
    }

    TestDialog dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        const HWND owner = dialog.GetHwnd();
        std::atomic<int> answer{0};
        std::thread monitor([&] {
            answer = MessageBoxA(owner, "Continue?", "Question", MB_OKCANCEL | MB_ICONQUESTION);
        });
        ASSERT_TRUE(guitest::WaitForMessageBox().has_value());
        dialog.EndDialog(0);
        monitor.join();
        EXPECT_EQ(answer, IDCANCEL);
    });
}

// checks that a box before anything else makes the backend's application (the start-up's box
// for a missing container), and that the application goes with the backend.
TEST(MessageBox, FirstBoxMakesTheApplication) {
    if (QCoreApplication::instance() != nullptr)
        GTEST_SKIP() << "another test of this process made the application";
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    {
        fw::qt::QtBackend backend(res::BootMediaResources());
        EXPECT_EQ(QCoreApplication::instance(), nullptr);
        std::thread user([] {
            const auto box = guitest::WaitForMessageBox();
            ASSERT_TRUE(box.has_value());
            EXPECT_EQ(box->text, "Could not load Image and Resource file.");
            guitest::AnswerMessageBox(IDOK);
        });
        EXPECT_EQ(MessageBoxA(nullptr, "Could not load Image and Resource file.", "Error", MB_OK),
                  IDOK);
        user.join();
        EXPECT_NE(QCoreApplication::instance(), nullptr);
    }
    EXPECT_EQ(QCoreApplication::instance(), nullptr);
}

// checks that the start-up's way out after that box, fw::Exit with the backend still installed,
// ends the process cleanly with code 0 (no crash or leak at static destruction).
TEST(MessageBox, ExitAfterTheFirstBoxIsClean) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            fw::qt::QtBackend backend(res::BootMediaResources());
            std::thread user(
                [] { guitest::WaitForMessageBox() && guitest::AnswerMessageBox(IDOK); });
            MessageBoxA(nullptr, "Could not load Image and Resource file.", "Error", MB_OK);
            user.join();
            fw::Exit(EXIT_SUCCESS);
        },
        testing::ExitedWithCode(EXIT_SUCCESS), "");
}

// checks that while a box owned by the dialog is open, activating the dialog (the user clicks
// on it) hands activation back to the box, so that the keyboard still reaches the box: Escape
// answers it.
TEST(MessageBox, OwnedBoxKeepsTheKeyboard) {
    TestDialog dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        std::atomic<int> answer{0};
        std::thread monitor([&] {
            answer = MessageBoxA(dialog.GetHwnd(), "Continue?", "Question",
                                 MB_OKCANCEL | MB_ICONQUESTION);
        });
        ASSERT_TRUE(guitest::WaitForMessageBox().has_value());
        gui.Activate();
        EXPECT_TRUE(guitest::WaitUntil([&] {
            return guitest::ActiveWindow() != nullptr && guitest::ActiveWindow() != gui.Window() &&
                   guitest::ActiveWindow()->parentWidget() == gui.Window();
        }));
        guitest::PressKeyInActiveWindow(Qt::Key_Escape);
        EXPECT_TRUE(guitest::WaitUntil([&] { return answer != 0; }));
        if (answer == 0)
            guitest::AnswerMessageBox(IDCANCEL);
        monitor.join();
        EXPECT_EQ(answer, IDCANCEL);
    });
}

// checks that boxes, owned or not, show their text in the dialog's font size.
TEST(MessageBox, BoxesUseTheDialogsFont) {
    TestDialog dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        int dialogPixels = 0;
        fw::CallOnUiThread([&] { dialogPixels = gui.Window()->font().pixelSize(); });
        for (const HWND owner : {dialog.GetHwnd(), HWND{nullptr}}) {
            SCOPED_TRACE(owner != nullptr ? "owned" : "without owner");
            std::thread worker(
                [&] { MessageBoxA(owner, "Done.", "Finished", MB_ICONINFORMATION); });
            const auto box = guitest::WaitForMessageBox();
            ASSERT_TRUE(box.has_value());
            EXPECT_EQ(box->fontPixels, dialogPixels);
            guitest::AnswerMessageBox(IDOK);
            worker.join();
        }
    });
}

// checks that the buttons of a box speak the user's language through Qt's own translations, in
// the window and in the labels the terminal takes from them.
TEST(MessageBox, ButtonsInTheUsersLanguage) {
    guitest::Backend();
    struct Case {
        QLocale::Language language;
        const char* cancel;
    };
    const Case cases[] = {
        {QLocale::German, "Abbrechen"},
        {QLocale::French, "Annuler"},
        {QLocale::Spanish, "Cancelar"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cancel);
        QTranslator translator;
        ASSERT_TRUE(fw::qt::LoadQtTranslations(translator, QLocale(c.language)));
        EXPECT_EQ(fw::qt::TranslatedBoxButtons(translator).cancel.toStdString(), c.cancel);
        QCoreApplication::installTranslator(&translator);
        std::thread user([&] {
            const auto box = guitest::WaitForMessageBox();
            ASSERT_TRUE(box.has_value());
            EXPECT_EQ(box->cancelLabel, c.cancel);
            guitest::AnswerMessageBox(IDCANCEL);
        });
        EXPECT_EQ(MessageBoxA(nullptr, "Overwrite?", "Confirm", MB_OKCANCEL), IDCANCEL);
        user.join();
        QCoreApplication::removeTranslator(&translator);
    }
}
