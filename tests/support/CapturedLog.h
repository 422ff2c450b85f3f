// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The layer's log moved into a test's own folder for a scope (XDG_STATE_HOME), so that what the
// code under test logged can be read back.

#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <string>

namespace test {

class CapturedLog {
public:
    /// Points the log into the folder "state" of dir.
    explicit CapturedLog(TempDir& dir);

    /// The state folder, for a program started with it as XDG_STATE_HOME.
    const std::string& stateFolder() const { return folder_; }
    /// Everything logged so far; empty when nothing was.
    std::string text() const;

private:
    std::string folder_;
    ScopedEnv variable_;
};

} // namespace test
