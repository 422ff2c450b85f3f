// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The process-wide records as a fresh process on the default platform has them, for suites that
// link the floppy subsystem and the job state.

namespace test {

/// Resets JobState, FloppyDevice (closing the handles it holds), PlatformProfile (the NT family,
/// version 5.1) and any version override.
void ResetProcessState();

} // namespace test
