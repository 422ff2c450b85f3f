// SPDX-License-Identifier: GPL-2.0-or-later
// Linked into the real program for the terminal tests: every recording's write stalls until it
// is cancelled, and the moment it stalls the file "recording.stalled" appears in the working
// folder, so that a test acts on a recording in the middle of its write.
#include "platform/linux/cd/DriveScript.h"

#include <fstream>

namespace {

constexpr const char* kStalledMark = "recording.stalled";

platform::layer::DriveScript Stalling() {
    platform::layer::DriveScript script;
    script.writeStalls = true;
    script.onStall = [] { std::ofstream(kStalledMark) << "stalled\n"; };
    return script;
}

const platform::layer::ScopedDriveScript stalling(Stalling());

} // namespace
