// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestDialog.h"
#include "platform/qt/UiDispatcher.h"
#include "support/gui/GuiDriver.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using guitest::GuiDriver;

namespace {

// Records on which thread a widget's enabled state changed, and how often.
class EnabledWatch final : public QObject {
public:
    std::atomic<int> changes{0};
    std::atomic<QThread*> thread{nullptr};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange) {
            thread = QThread::currentThread();
            ++changes;
        }
        return QObject::eventFilter(watched, event);
    }
};

constexpr auto kPostingTime = std::chrono::milliseconds(100);

} // namespace

// checks that control calls from another thread are carried out on the UI thread and have
// taken effect when they return.
TEST(UiThread, ControlCallsFromAnotherThreadCompleteThere) {
    TestDialog dialog;
    EnabledWatch watch;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        fw::CallOnUiThread([&] { gui.Widget(res::kIdcExit)->installEventFilter(&watch); });
        dialog.m_btnExit.EnableWindow(false);
        EXPECT_EQ(watch.changes, 1);
        EXPECT_EQ(watch.thread, QCoreApplication::instance()->thread());
        EXPECT_FALSE(dialog.m_btnExit.IsWindowEnabled());
        dialog.m_btnExit.SetWindowText("Cancel");
        EXPECT_EQ(gui.ShownText(res::kIdcExit), "Cancel");
        fw::CallOnUiThread([&] { gui.Widget(res::kIdcExit)->removeEventFilter(&watch); });
    });
}

// checks that once the dispatcher closes, a caller already waiting is released without its call
// having run, and later calls are refused.
TEST(UiThread, ClosedDispatcherReleasesCallers) {
    guitest::Backend();
    fw::qt::UiDispatcher dispatcher;
    std::atomic<bool> ran{false};
    std::atomic<bool> waiting{false};
    bool released = true;
    std::thread caller([&] {
        waiting = true;
        released = dispatcher.call([&] { ran = true; });
    });
    while (!waiting)
        std::this_thread::yield();
    // Give the caller time to post, without serving events here.
    std::this_thread::sleep_for(kPostingTime);
    dispatcher.close();
    caller.join();
    EXPECT_FALSE(released);
    EXPECT_FALSE(ran);
    EXPECT_FALSE(dispatcher.call([&] { ran = true; }));
    EXPECT_FALSE(ran);
}
