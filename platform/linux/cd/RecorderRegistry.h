// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The CD recorders of the Linux layer, in the order the image mastering service enumerates
// them: the optical drives the kernel lists as CD writers, then the file recorders that the
// environment variable BOOTMEDIA_RECORDERS names (a colon-separated list of .iso paths). A file
// recorder records the disc into its .iso file through libburn's stdio: pseudo-drive. Recorder
// i has the device path "\Device\CdRom<i>". A test names the recorders itself with a
// ScopedRecorderSources.

#include <string>
#include <vector>

namespace platform::layer {

struct RecorderEntry {
    /// The recorder's name in the system's object namespace, as GetPath and QueryDosDeviceA
    /// report it.
    std::string devicePath;
    /// The address libburn grabs: "/dev/sr0", or "stdio:" and the absolute .iso path.
    std::string burnAddress;
};

struct RecorderSources {
    /// Look for optical drives.
    bool opticalDrives = true;
    /// The .iso files of the file recorders.
    std::vector<std::string> files;
};

/// The environment variable that lists the file recorders.
inline constexpr const char* kRecordersVariable = "BOOTMEDIA_RECORDERS";

/// Optical drives and the paths of BOOTMEDIA_RECORDERS (empty items dropped).
RecorderSources RecorderSourcesFromEnvironment();

/// The recorders, found on first use and kept, as a running system keeps its device numbers.
/// Optical drives are found as FindCdWriters finds them. A file is offered when its path ends in
/// ".iso" (in any case), names a regular file or nothing yet, is not named twice, and a new file
/// can be created in its folder (tried for real). Each one left out is named in the log with
/// the reason.
std::vector<RecorderEntry> Recorders();

/// Forgets the recorders found, so that the next use looks for them again (after a change of
/// the environment).
void ForgetRecorders();

/// The recorders come from sources instead of the environment for the lifetime of the object;
/// they are looked for again on the next use after it comes and after it goes.
class ScopedRecorderSources {
public:
    explicit ScopedRecorderSources(RecorderSources sources);
    ~ScopedRecorderSources();
    ScopedRecorderSources(const ScopedRecorderSources&) = delete;
    ScopedRecorderSources& operator=(const ScopedRecorderSources&) = delete;
};

} // namespace platform::layer
