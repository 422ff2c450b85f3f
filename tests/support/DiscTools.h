// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Looks at a recorded disc from outside, as a user would: xorriso reads its boot record and
// extracts its Joliet files, and an emulated PC boots it.

#include "support/ContainerBuilder.h"
#include "support/Programs.h"

#include <map>
#include <string>
#include <vector>

namespace disctest {

using Run = test::ProgramRun;
using test::HaveProgram;
using test::RunProgram;

/// xorriso's report of the disc's El Torito boot images.
std::string ElToritoReport(const std::string& disc);

/// xorriso's table of contents of the disc (boot record, the trees it offers).
std::string TableOfContents(const std::string& disc);

/// The files of the disc's root folder, by name, as xorriso extracts them; empty when it cannot.
std::map<std::string, test::Bytes> DiscFiles(const std::string& disc, const std::string& folder);

/// Boots the disc as the CD-ROM of an emulated PC; the status is the emulator's exit status and
/// the output what the guest wrote to the debug console.
Run BootDisc(const std::string& disc, const std::string& consoleLog);

/// Boots the floppy image as drive A: of an emulated PC, as BootDisc does the disc.
Run BootFloppy(const std::string& floppy, const std::string& consoleLog);

} // namespace disctest
