// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/BatchRun.h"

#include "app/BatchOperator.h"
#include "app/ExitStatus.h"
#include "app/ProgramTexts.h"
#include "cd/DriveLetter.h"
#include "platform/FileDrives.h"
#include "platform/fw/Operator.h"
#include "res/Resources.h"

#include <string>
#include <utility>

namespace {

constexpr char kFloppyImageLetter = 'A';

void Complain(const std::string& text) {
    TellUser(std::string(kProgramName) + ": " + text + "\n", true);
}

// The letter of the drive choice names; 0 after telling why there is none.
char FloppyLetter(const DriveChoice& choice) {
    if (choice.letter != 0)
        return choice.letter;
    const std::string problem = platform::UseFloppyImageFile(choice.file);
    if (!problem.empty()) {
        Complain("cannot use " + choice.file + " as drive A:: " + problem);
        return 0;
    }
    return kFloppyImageLetter;
}

char RecorderLetter(const DriveChoice& choice) {
    if (choice.letter != 0)
        return choice.letter;
    const std::string devicePath = platform::UseRecorderFile(choice.file);
    const char letter =
        devicePath.empty() ? 0 : static_cast<char>(DriveLetterFromDevicePath(devicePath.c_str()));
    if (letter == 0)
        Complain(choice.file +
                 " cannot be a file recorder: it must end in .iso, hold no ':', and be a regular "
                 "file (not a symbolic link) or a new one in an existing folder (the log file "
                 "may say more)");
    return letter;
}

} // namespace

int RunBatch(const ProgramCommandLine& line) {
    BatchRequest request{line.list, line.yes, 0, 0, {}};
    if (line.floppy) {
        request.floppy = FloppyLetter(*line.floppy);
        if (request.floppy == 0)
            return kExitUsage;
        request.floppyImage = line.floppy->file;
    }
    if (line.cd && (request.cd = RecorderLetter(*line.cd)) == 0)
        return kExitUsage;
    BatchOperator worker(std::move(request));
    if (!fw::RunUnattended(res::BootMediaResources(), worker)) {
        Complain("this build has no batch mode: it needs the Linux program");
        return kExitUsage;
    }
    return worker.ExitStatus();
}
