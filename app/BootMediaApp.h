// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The application object: runs the main dialog and lets the process end.

#include "platform/fw/Application.h"

/// The word on the command line that switches CD support off.
inline constexpr const char* kNoCdWord = "nocd";

class CBootMediaApp : public fw::Application {
public:
    /// false: the command line said "nocd". Called before the framework starts.
    void EnableCd(bool enable) { m_cdEnabled = enable; }

    /// Runs the dialog; returns false so that the process ends when it is over.
    bool InitInstance() override;

private:
    bool m_cdEnabled = true;
};
