// SPDX-License-Identifier: GPL-2.0-or-later
// The Linux layer takes its drives from the environment (DriveMap.h, RecorderRegistry.h): a
// file named on the command line becomes the variable's value for this process.
#include "platform/FileDrives.h"

#include "platform/linux/DriveMap.h"
#include "platform/linux/FloppyMedia.h"
#include "platform/linux/ScopedDescriptor.h"
#include "platform/linux/cd/BurnDrive.h"
#include "platform/linux/cd/RecorderRegistry.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace platform {
namespace {

// The variables DriveMap.cpp and RecorderRegistry.cpp read.
constexpr char kRecorderListSeparator = ':';
constexpr mode_t kNewFileMode = 0666; // less the user's umask, as any new file

std::string ErrnoText(const std::string& path, int error) {
    return path + ": " + std::generic_category().message(error);
}

} // namespace

std::string MakeBlankFloppyImage(const std::string& path) {
    const layer::ScopedDescriptor file(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode));
    if (!file)
        return errno == EEXIST ? std::string() : ErrnoText(path, errno);
    if (::ftruncate(file.get(), static_cast<off_t>(layer::k1440KDiskBytes)) != 0) {
        const std::string problem = ErrnoText(path, errno);
        ::unlink(path.c_str());
        return problem;
    }
    return {};
}

std::string UseFloppyImageFile(const std::string& path) {
    if (path.empty())
        return "an empty file name";
    if (::setenv(layer::DriveVariable(layer::kDriveA), path.c_str(), 1) != 0)
        return ErrnoText(path, errno);
    return {};
}

std::string UseRecorderFile(const std::string& path) {
    if (path.empty() || path.find(kRecorderListSeparator) != std::string::npos ||
        ::setenv(layer::kRecordersVariable, path.c_str(), 1) != 0)
        return {};
    layer::ForgetRecorders();
    // The one file named is the one file recorder, if it was offered.
    for (const layer::RecorderEntry& recorder : layer::Recorders()) {
        if (layer::FileDrivePath(recorder.burnAddress))
            return recorder.devicePath;
    }
    return {};
}

} // namespace platform
