// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/fw/Application.h"

#include "platform/System.h"
#include "platform/fw/Backend.h"

#include <cstdlib>

namespace fw {
namespace {
// Written during static construction and destruction only, before and after any thread runs.
Application* theApplication = nullptr;
} // namespace

Application::Application() {
    theApplication = this;
}

Application::~Application() {
    if (theApplication == this)
        theApplication = nullptr;
}

Application* GetApp() {
    return theApplication;
}

int ApplicationMain() {
    Application* application = theApplication;
    if (application == nullptr)
        return EXIT_FAILURE;
    application->InitInstance();
    // A job thread may outlive the dialog (a close during a job, a job's last releases): it
    // must not meet static destruction, so the process then ends as ExitProcess ends it.
    platform::EndProcessIfThreadsRun(EXIT_SUCCESS);
    return EXIT_SUCCESS;
}

void Exit(int code) {
    Backend* backend = GetBackend();
    const int status = backend != nullptr ? backend->exitStatus(code) : code;
    if (backend != nullptr && backend->isUiThread())
        backend->shutDown();
    std::exit(status);
}

} // namespace fw
