// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/qt/QtBackend.h"

#include "platform/qt/Accessibility.h"
#include "platform/qt/DialogFont.h"
#include "platform/qt/Pictures.h"
#include "platform/qt/QtDialogWindow.h"
#include "platform/qt/QtTranslations.h"
#include "platform/qt/UiDispatcher.h"

#include <QMessageBox>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace fw::qt {
namespace {

// QApplication keeps references to its arguments for its whole life. It is given none of the
// program's: the program parses its own command line.
int applicationArgc = 1;
char applicationName[] = "bootmedia";
char* applicationArgv[] = {applicationName, nullptr};

// Qt ends the process when it cannot reach the display it was told to use; with no display
// named at all, the program is better off without windows than ended.
bool DisplayNamed() {
    for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return true;
    }
    return false;
}

} // namespace

QtBackend::QtBackend(ProgramResources resources)
    : resources_(std::move(resources)), uiThread_(std::this_thread::get_id()),
      dispatcher_(std::make_unique<UiDispatcher>()), presenter_(*this) {
    // Calls posted before the application exists wait in the thread's queue for its first loop.
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        dispatcher_->moveToThread(existing->thread());
        prepare(*existing);
    }
    replacedBackend_ = SetBackend(this);
    replacedPresenter_ = platform::SetMessageBoxPresenter(&presenter_);
}

QtBackend::~QtBackend() {
    shutDown();
}

void QtBackend::shutDown() {
    if (shutDown_)
        return;
    shutDown_ = true;
    platform::SetMessageBoxPresenter(replacedPresenter_);
    SetBackend(replacedBackend_);
    dispatcher_->close();
    QCoreApplication::removeTranslator(&translator_);
    // Boxes still open are answered as dismissed, so no thread waits for them any longer.
    if (QCoreApplication::instance() != nullptr) {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(window))
                box->reject();
        }
    }
    // A dialog window still alive keeps the application: it cannot outlive it.
    if (windows_.empty())
        ownApplication_.reset();
}

bool QtBackend::isUiThread() const {
    if (QCoreApplication* application = QCoreApplication::instance())
        return QThread::currentThread() == application->thread();
    return std::this_thread::get_id() == uiThread_;
}

QApplication* QtBackend::ensureApplication() {
    if (QCoreApplication::instance() == nullptr) {
        if (!DisplayNamed()) {
            std::fputs("bootmedia: no display (set DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM)\n",
                       stderr);
            return nullptr;
        }
        ownApplication_ = std::make_unique<QApplication>(applicationArgc, applicationArgv);
        QApplication::setQuitOnLastWindowClosed(false);
        prepare(*ownApplication_);
    }
    return qobject_cast<QApplication*>(QCoreApplication::instance());
}

void QtBackend::prepare(QApplication& application) {
    application.setWindowIcon(ToIcon(resources_.icon));
    InstallAccessibleInterfaces();
    if (LoadQtTranslations(translator_))
        QCoreApplication::installTranslator(&translator_);
}

QFont QtBackend::boxFont(const QtDialogWindow* owner) const {
    if (owner != nullptr)
        return owner->font();
    if (!windows_.empty())
        return (*windows_.begin())->font();
    const auto first = std::find_if(resources_.dialogs.begin(), resources_.dialogs.end(),
                                    [](const DialogTemplate* dialog) { return dialog != nullptr; });
    return first != resources_.dialogs.end() ? TemplateFont(**first) : QApplication::font();
}

bool QtBackend::callOnUiThread(const std::function<void()>& work) {
    if (isUiThread()) {
        work();
        return true;
    }
    return dispatcher_->call(work);
}

std::unique_ptr<DialogPeer> QtBackend::createDialog(int templateId, DialogEvents& events) {
    auto found = std::find_if(resources_.dialogs.begin(), resources_.dialogs.end(),
                              [templateId](const DialogTemplate* dialog) {
                                  return dialog != nullptr && dialog->id == templateId;
                              });
    if (found == resources_.dialogs.end() || ensureApplication() == nullptr)
        return nullptr;
    auto window = std::make_unique<QtDialogWindow>(
        **found, events, [this](QtDialogWindow& gone) { windows_.erase(&gone); });
    windows_.insert(window.get());
    return window;
}

QtDialogWindow* QtBackend::findWindow(win::HWND handle) const {
    auto found = std::find_if(windows_.begin(), windows_.end(), [handle](QtDialogWindow* window) {
        return static_cast<win::HWND>(window) == handle;
    });
    return found != windows_.end() ? *found : nullptr;
}

} // namespace fw::qt
