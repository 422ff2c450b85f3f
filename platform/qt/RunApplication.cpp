// SPDX-License-Identifier: GPL-2.0-or-later
// The program's start on Linux: the Qt backend for the whole run.
#include "platform/fw/Application.h"
#include "platform/qt/QtBackend.h"

namespace fw {

int RunApplication(int argc, char** argv, ProgramResources resources) {
    qt::QtBackend backend(std::move(resources));
    return ApplicationMain(argc, argv);
}

} // namespace fw
