// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/BootMediaApp.h"
#include "res/Resources.h"

// The one application object, built before main as the framework expects.
CBootMediaApp theApp;

int main(int argc, char** argv) {
    return fw::RunApplication(argc, argv, res::BootMediaResources());
}
