// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/TmpfsMount.h"

#include <filesystem>
#include <sys/mount.h>

namespace test {

TmpfsMount::TmpfsMount(const std::string& folder, const std::string& options) : folder_(folder) {
    std::error_code error;
    std::filesystem::create_directory(folder_, error);
    mounted_ = !error && mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

TmpfsMount::~TmpfsMount() {
    if (mounted_)
        umount2(folder_.c_str(), MNT_DETACH);
}

bool TmpfsMount::makeReadOnly() const {
    return mounted_ &&
           mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

} // namespace test
