// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The program's exit statuses for a script: the dialog's own paths end with 0 as they always
// have; a batch run tells how it went.

/// Every job showed its success box (or the dialog ran and ended).
inline constexpr int kExitSucceeded = 0;
/// A job failed (its error box was printed), or the program could not start up.
inline constexpr int kExitFailed = 1;
/// The command line was wrong, or the drive it names was not found.
inline constexpr int kExitUsage = 2;
/// A question was answered Cancel: nothing was written.
inline constexpr int kExitCancelled = 3;
