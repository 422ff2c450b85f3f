// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/storage/TempFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform::layer {
namespace {

constexpr const char* kTempFolderVariable = "TMPDIR";
constexpr const char* kDefaultTempFolder = "/tmp";
constexpr const char* kNamePattern = "/bootmedia-storage-XXXXXX";
constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;

// What open reports for O_TMPFILE where the kernel or the file system lacks it: older kernels
// take the flag for O_DIRECTORY.
bool UnnamedFilesUnsupported(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

} // namespace

std::string TempFolder() {
    const char* folder = std::getenv(kTempFolderVariable);
    return folder != nullptr && *folder != '\0' ? folder : kDefaultTempFolder;
}

ScopedDescriptor OpenUnlinkedFile(const std::string& folder, int* error) {
    ScopedDescriptor file(::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, kOwnerOnly));
    if (file)
        return file;
    if (UnnamedFilesUnsupported(errno))
        return CreateAndUnlinkFile(folder, error);
    *error = errno;
    return file;
}

ScopedDescriptor CreateAndUnlinkFile(const std::string& folder, int* error) {
    const std::string pattern = folder + kNamePattern;
    std::vector<char> path(pattern.begin(), pattern.end());
    path.push_back('\0');
    ScopedDescriptor file(::mkostemp(path.data(), O_CLOEXEC));
    if (!file) {
        *error = errno;
        return file;
    }
    if (::unlink(path.data()) != 0) {
        *error = errno;
        file.reset();
    }
    return file;
}

} // namespace platform::layer
