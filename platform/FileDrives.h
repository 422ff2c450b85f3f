// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Files that stand in for drives for the rest of the run, as a batch run's command line names
// them: an image file as floppy drive A:, an .iso file as a CD recorder. Called on the main
// thread before the program starts up, so that discovery finds them.

#include <string>

namespace platform {

/// Makes drive A: the floppy image file at path; while the file does not exist, the drive has no
/// disk in it. Returns "" when done, else why not (the platform has no image-file drives).
std::string UseFloppyImageFile(const std::string& path);

/// Makes a blank disk (1,474,560 zero bytes) in the image file at path when there is none yet:
/// the floppy the user named is put in. Returns "" when the file is there, else why not.
std::string MakeBlankFloppyImage(const std::string& path);

/// Offers the .iso file at path as the run's file recorder (the optical drives stay), and returns
/// its device path, the name the image mastering service and QueryDosDeviceA give it. "" when it
/// is not offered: the platform has no file recorders, or the file is not one a recorder may
/// write (not ending in .iso, its folder missing, not a regular file, a ':' in its path).
std::string UseRecorderFile(const std::string& path);

} // namespace platform
