// SPDX-License-Identifier: GPL-2.0-or-later
// Mouse input goes through the window system interface, so that a modal window blocks it as it
// blocks the user's.
#define QTEST_QPA_MOUSE_HANDLING
#include "support/gui/GuiDriver.h"

#include "platform/MessageBox.h"
#include "platform/fw/Backend.h"
#include "platform/fw/ComboBox.h"
#include "platform/qt/AnsiText.h"
#include "platform/qt/QtDialogWindow.h"
#include "res/Resources.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QMetaObject>
#include <QPointer>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace guitest {
using namespace win;

namespace {

constexpr auto kPollInterval = 10ms;

/// The open boxes, first shown first. UI thread.
std::vector<QMessageBox*> OpenBoxes() {
    std::vector<QMessageBox*> boxes;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (box != nullptr && box->isVisible())
            boxes.push_back(box);
    }
    return boxes;
}

QMessageBox* FirstBox() {
    std::vector<QMessageBox*> boxes = OpenBoxes();
    return boxes.empty() ? nullptr : boxes.front();
}

void PostToUi(const std::function<void()>& action) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), action, Qt::QueuedConnection);
}

void ClickWidget(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

/// Runs query on the UI thread and returns its result.
template <typename Result> Result OnUi(const std::function<Result()>& query) {
    Result result{};
    fw::CallOnUiThread([&] { result = query(); });
    return result;
}

std::unique_ptr<fw::qt::QtBackend>& TheBackend() {
    static std::unique_ptr<fw::qt::QtBackend> backend;
    return backend;
}

// Takes the backend and its QApplication down when the tests are over, before static
// destruction takes Qt's own state away from under the application.
class BackendTearDown final : public testing::Environment {
public:
    void TearDown() override { TheBackend().reset(); }
};

} // namespace

fw::qt::QtBackend& Backend() {
    static bool tearDownAdded = false;
    std::unique_ptr<fw::qt::QtBackend>& backend = TheBackend();
    if (backend == nullptr) {
        // Tests see the same screen everywhere: the offscreen platform.
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        backend = std::make_unique<fw::qt::QtBackend>(res::BootMediaResources());
        backend->ensureApplication();
    }
    if (!tearDownAdded) {
        testing::AddGlobalTestEnvironment(new BackendTearDown); // owned by the test framework
        tearDownAdded = true;
    }
    return *backend;
}

std::optional<ShownBox> WaitForMessageBox(std::chrono::milliseconds timeout) {
    std::optional<ShownBox> shown;
    WaitUntil(
        [&] {
            QMessageBox* box = FirstBox();
            if (box == nullptr)
                return false;
            QAbstractButton* cancel = box->button(QMessageBox::Cancel);
            shown = ShownBox{box->text().toStdString(),
                             box->windowTitle().toStdString(),
                             box->icon(),
                             cancel != nullptr,
                             dynamic_cast<fw::qt::QtDialogWindow*>(box->parentWidget()) != nullptr,
                             box->windowModality() != Qt::NonModal,
                             QFontInfo(box->font()).pixelSize(),
                             box->button(QMessageBox::Ok)->text().toStdString(),
                             cancel != nullptr ? cancel->text().toStdString() : std::string()};
            return true;
        },
        timeout);
    return shown;
}

bool AnswerMessageBox(int answer) {
    return OnUi<bool>([answer] {
        QMessageBox* box = FirstBox();
        QAbstractButton* button =
            box != nullptr ? box->button(answer == IDCANCEL ? QMessageBox::Cancel : QMessageBox::Ok)
                           : nullptr;
        if (button == nullptr)
            return false;
        PostToUi([target = QPointer<QAbstractButton>(button)] {
            if (target != nullptr)
                ClickWidget(target);
        });
        return true;
    });
}

bool PressKeyInMessageBox(int key) {
    return OnUi<bool>([key] {
        QMessageBox* box = FirstBox();
        if (box == nullptr)
            return false;
        PostToUi([target = QPointer<QMessageBox>(box), key] {
            if (target != nullptr)
                QTest::keyClick(target->windowHandle(), static_cast<Qt::Key>(key));
        });
        return true;
    });
}

void PressKeyInActiveWindow(int key) {
    PostToUi([key] {
        if (QWindow* focused = QGuiApplication::focusWindow())
            QTest::keyClick(focused, static_cast<Qt::Key>(key));
    });
}

QWidget* ActiveWindow() {
    return QApplication::activeWindow();
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (OnUi<bool>(condition))
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kPollInterval);
    }
}

int GuiDriver::RunModal(fw::Dialog& dialog, const Script& script,
                        std::chrono::milliseconds timeout) {
    Backend();
    GuiDriver driver(dialog);
    std::atomic<bool> finished{false};
    std::thread scriptThread([&] {
        script(driver);
        dialog.EndDialog(kEndedByScript);
        finished = true;
        PostToUi([] {}); // wakes the UI thread to see it
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        ADD_FAILURE() << "the dialog script did not end within " << timeout.count() << " ms";
        for (QMessageBox* box : OpenBoxes())
            box->reject();
        dialog.EndDialog(kTimedOut);
    });
    watchdog.start(timeout);
    const int result = dialog.DoModal();
    // The script may be waiting for the UI thread: serve it until it ends.
    while (!finished)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    scriptThread.join();
    return result;
}

bool GuiDriver::WaitUntilShown(std::chrono::milliseconds timeout) {
    return WaitUntil([this] { return Window() != nullptr && Window()->isVisible(); }, timeout);
}

bool GuiDriver::IsShown() const {
    return OnUi<bool>([this] { return Window() != nullptr && Window()->isVisible(); });
}

void GuiDriver::Post(const std::function<void()>& action) const {
    // Looked up when the action runs: the window may be gone by then.
    PostToUi([this, action] {
        if (Window() != nullptr)
            action();
    });
}

void GuiDriver::Click(int id) {
    Post([this, id] {
        if (QWidget* widget = Widget(id))
            ClickWidget(widget);
    });
}

void GuiDriver::PressKey(int key) {
    Post([this, key] { QTest::keyClick(Window()->windowHandle(), static_cast<Qt::Key>(key)); });
}

void GuiDriver::Close() {
    Post([this] { Window()->close(); });
}

void GuiDriver::Activate() {
    Post([this] { Window()->activateWindow(); });
}

bool GuiDriver::IsEnabled(int id) const {
    return OnUi<bool>([this, id] {
        fw::WindowPeer* peer = dialog_.FindControlPeer(id);
        return peer != nullptr && peer->isEnabled();
    });
}

std::string GuiDriver::Text(int id) const {
    return OnUi<std::string>([this, id] {
        fw::WindowPeer* peer = dialog_.FindControlPeer(id);
        return peer != nullptr ? peer->text() : std::string();
    });
}

std::string GuiDriver::ShownText(int id) const {
    return OnUi<std::string>([this, id] {
        QWidget* widget = Widget(id);
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            return button->text().toStdString();
        if (auto* label = qobject_cast<QLabel*>(widget))
            return label->text().toStdString();
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            return combo->currentText().toStdString();
        // Any other control: its text as set.
        fw::WindowPeer* peer = dialog_.FindControlPeer(id);
        return peer != nullptr ? fw::qt::FromAnsi(peer->text()).toStdString() : std::string();
    });
}

std::string GuiDriver::Title() const {
    return OnUi<std::string>([this] {
        return Window() != nullptr ? Window()->windowTitle().toStdString() : std::string();
    });
}

std::vector<std::string> GuiDriver::Items(int id) const {
    return OnUi<std::vector<std::string>>([this, id] {
        std::vector<std::string> items;
        if (auto* combo = qobject_cast<QComboBox*>(Widget(id))) {
            for (int i = 0; i < combo->count(); ++i)
                items.push_back(combo->itemText(i).toStdString());
        }
        return items;
    });
}

int GuiDriver::Selection(int id) const {
    return OnUi<int>([this, id] {
        auto* combo = qobject_cast<QComboBox*>(Widget(id));
        return combo != nullptr ? combo->currentIndex() : fw::kNoItem;
    });
}

GuiDriver::Progress GuiDriver::ProgressOf(int id) const {
    return OnUi<Progress>([this, id] {
        auto* bar = qobject_cast<QProgressBar*>(Widget(id));
        return bar != nullptr ? Progress{bar->minimum(), bar->maximum(), bar->value()} : Progress{};
    });
}

QSize GuiDriver::PictureSize(int id) const {
    return OnUi<QSize>([this, id] {
        auto* label = qobject_cast<QLabel*>(Widget(id));
        const QPixmap picture = label != nullptr ? label->pixmap() : QPixmap();
        return picture.isNull() ? QSize() : picture.size();
    });
}

int GuiDriver::FocusedControl() const {
    return OnUi<int>([this] {
        auto* window = dynamic_cast<fw::qt::QtDialogWindow*>(Window());
        return window != nullptr ? window->controlId(window->focusWidget()) : 0;
    });
}

QWidget* GuiDriver::Widget(int id) const {
    auto* window = dynamic_cast<fw::qt::QtDialogWindow*>(Window());
    return window != nullptr ? window->controlWidget(id) : nullptr;
}

QWidget* GuiDriver::Window() const {
    return Backend().findWindow(dialog_.GetHwnd());
}

} // namespace guitest
