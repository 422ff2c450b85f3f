// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The Qt Widgets backend of the dialog framework. While it exists it is the framework's backend
// and answers MessageBoxA. It runs on X11 or Wayland, and offscreen for tests
// (QT_QPA_PLATFORM=offscreen).

#include "platform/fw/Backend.h"
#include "platform/fw/ProgramResources.h"
#include "platform/qt/QtMessageBoxPresenter.h"

#include <QApplication>
#include <QFont>
#include <QTranslator>
#include <memory>
#include <set>
#include <thread>

namespace fw::qt {

class QtDialogWindow;
class UiDispatcher;

class QtBackend final : public Backend {
public:
    /// Installs itself as the framework's backend and the message-box presenter, until its
    /// destruction. The thread that constructs it is the UI thread, unless a QApplication
    /// already exists: then that application's thread is. The QApplication is made when first
    /// needed (a dialog or a message box) unless one exists; no display then means no window,
    /// and message boxes go to standard error.
    explicit QtBackend(ProgramResources resources);
    ~QtBackend() override;
    QtBackend(const QtBackend&) = delete;
    QtBackend& operator=(const QtBackend&) = delete;

    bool isUiThread() const override;
    bool callOnUiThread(const std::function<void()>& work) override;
    std::unique_ptr<DialogPeer> createDialog(int templateId, DialogEvents& events) override;

    /// The QApplication, made now if need be; null when no display can be reached. UI thread.
    QApplication* ensureApplication();

    /// The live dialog window handle names, or null. UI thread.
    QtDialogWindow* findWindow(win::HWND handle) const;

    /// The font of a message box owned by owner (null: none): the dialog's font, so that its text
    /// reads as the dialog's; without an owner that of a live dialog, else the font the
    /// program's first dialog template gives. UI thread, with the application made.
    QFont boxFont(const QtDialogWindow* owner) const;

    /// Stops answering, releases every waiting caller and takes the application down (when it
    /// made it and no dialog window is left). The destructor calls it too. UI thread.
    void shutDown() override;

private:
    /// What the backend adds to an application: its accessible interfaces and Qt's translations.
    void prepare(QApplication& application);

    ProgramResources resources_;
    const std::thread::id uiThread_;
    std::unique_ptr<QApplication> ownApplication_;
    QTranslator translator_; // installed in the application while the backend serves it
    std::unique_ptr<UiDispatcher> dispatcher_; // lives on the UI thread
    std::set<QtDialogWindow*> windows_;        // UI thread only
    QtMessageBoxPresenter presenter_;
    Backend* replacedBackend_ = nullptr;
    platform::MessageBoxPresenter* replacedPresenter_ = nullptr;
    bool shutDown_ = false;
};

} // namespace fw::qt
