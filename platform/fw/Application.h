// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The application object: one static instance of a subclass, constructed before main. main
// hands over to RunApplication, which installs the platform's dialog backend and calls the
// object's InitInstance.

#include "platform/fw/ProgramResources.h"

namespace fw {

class Dialog;

class Application {
public:
    /// Becomes the process's application object (the last one constructed).
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    /// Called once, on the UI thread. This framework has modal dialogs only and no message loop
    /// of its own, so the process ends when it returns, whatever it returns (false is the
    /// conventional answer of a dialog-based program).
    virtual bool InitInstance() = 0;

    /// The main window: the dialog the program runs. Not owned.
    void SetMainWindow(Dialog* dialog) { mainWindow_ = dialog; }
    Dialog* GetMainWindow() const { return mainWindow_; }

private:
    Dialog* mainWindow_ = nullptr;
};

/// The process's application object, or null.
Application* GetApp();

/// Calls the application object's InitInstance with whatever backend is installed. Returns the exit
/// code: 0, or 1 when there is no application object.
int ApplicationMain();

/// Ends the process through the C runtime's exit with code, or the status the backend gives for
/// it (exit handlers and static destructors run), after taking the backend down when called on
/// the UI thread: a windowing library left running under static destruction may not survive it.
[[noreturn]] void Exit(int code);

/// What main calls: installs the platform's dialog backend with the program's resources, runs
/// ApplicationMain, and takes the backend down again. Implemented by the backend library the
/// program links (on Linux: platform_qt).
int RunApplication(ProgramResources resources);

} // namespace fw
