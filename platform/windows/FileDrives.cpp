// SPDX-License-Identifier: GPL-2.0-or-later
// Windows reaches only real drives: no file stands in for one.
#include "platform/FileDrives.h"

namespace platform {

std::string UseFloppyImageFile(const std::string&) {
    return "image files are drives only in the Linux program";
}

std::string MakeBlankFloppyImage(const std::string&) {
    return "image files are drives only in the Linux program";
}

std::string UseRecorderFile(const std::string&) {
    return {};
}

} // namespace platform
