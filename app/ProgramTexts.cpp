// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/ProgramTexts.h"

#include "Version.h"

#if defined(_WIN32)
#include "platform/MessageBox.h"
#else
#include <cstdio>
#endif

namespace {

constexpr const char* kHelp =
    R"(Usage: bootmedia [OPTION]... [nocd]
Make a boot floppy and a bootable CD from install.dat in the current directory.

Without an option the dialog opens: a window, or the terminal when no display is
named. With one of the options below no person is needed: the same dialog runs
unseen, its commands make the media, and what it shows goes to standard error.

  --list           print the floppy drives and CD recorders found, one a line
  --floppy=DRIVE   write the boot floppy in drive DRIVE (A: or B:)
  --floppy=FILE    write it into the image file FILE, which stands in for drive
                     A: for this run (a missing FILE is made blank with --yes)
  --cd=DRIVE       record the bootable CD on recorder DRIVE (E:, F:, ...)
  --cd=FILE.iso    record it into FILE.iso, a file recorder for this run
  --yes            answer OK to the dialog's questions; without it they are
                     answered Cancel and nothing is written
  --help           display this help and exit
  --version        output version information and exit

With --floppy and --cd the floppy is made first, then the CD. The word nocd
switches CD recording off.

Exit status: 0 when every job succeeded (or the dialog was used), 1 when one
failed or install.dat cannot be used, 2 for a usage error or a drive not found,
3 when a question was answered Cancel.
)";

} // namespace

std::string HelpText() {
    return kHelp;
}

std::string VersionText() {
    return std::string(kProgramName) + " " + std::string(version::kVersion) + "\n" +
           std::string(version::kCopyright) + "\n" + std::string(version::kLicence) + "\n";
}

std::string UsageErrorText(std::string_view problem) {
    return std::string(kProgramName) + ": " + std::string(problem) + "\nTry '" + kProgramName +
           " --help' for more information.\n";
}

void TellUser(const std::string& text, bool problem) {
#if defined(_WIN32)
    win::MessageBoxA(nullptr, text.c_str(), kProgramName,
                     MB_OK | (problem ? MB_ICONERROR : MB_ICONINFORMATION));
#else
    std::fputs(text.c_str(), problem ? stderr : stdout);
#endif
}
