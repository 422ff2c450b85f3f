// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The operating-system facts that choose the floppy path and enable CD recording. Filled once,
// on the dialog thread, before any job thread exists.

struct PlatformProfileRecord {
    /// The NT-family path is used for floppy discovery and writing.
    bool isNT = false;
    /// Windows 9x only: the floppy writer uses Int 21h 7305h instead of Int 26h.
    bool useExtendedWrite = false;
    /// NT family, major version 5 or later: CD recorders are looked for.
    bool cdCapable = false;
};

extern PlatformProfileRecord PlatformProfile;

/// Fills PlatformProfile from GetVersionExA with the extended record. A system that rejects
/// the record counts as Windows 9x build 0. An unknown platform ends the process at once with
/// exit code 0.
void DetectPlatformProfile();
