// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A fault of the kernel, made to order: one system call fails with a chosen errno, as it would
// on a failing disk or in a sandbox that forbids it. It is a seccomp filter, which cannot be
// taken back: only a test's child process (a death test) may set one.

namespace test {

/// Makes every later call of system call number (SYS_...) fail with error, in this process and
/// in every thread it starts from now on, for good. False when the kernel refuses the filter.
bool FailSystemCallForGood(long number, int error);

} // namespace test
