// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/LoopDevice.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <linux/loop.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace test {
namespace {

constexpr int kAttachAttempts = 8; // another process may take the free device first

} // namespace

LoopDevice::LoopDevice(const std::string& file, LoopOptions options) {
    const int control = open("/dev/loop-control", O_RDWR | O_CLOEXEC);
    if (control < 0)
        return;
    for (int attempt = 0; attempt < kAttachAttempts && fd_ < 0; ++attempt) {
        const int number = ioctl(control, LOOP_CTL_GET_FREE);
        if (number < 0)
            break;
        const std::string path = "/dev/loop" + std::to_string(number);
        const int device = open(path.c_str(), O_RDWR | O_CLOEXEC);
        const int backing = open(file.c_str(), (options.readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
        loop_config config{};
        config.fd = static_cast<unsigned>(backing);
        config.block_size = options.sectorBytes;
        config.info.lo_flags = LO_FLAGS_AUTOCLEAR | (options.readOnly ? LO_FLAGS_READ_ONLY : 0) |
                               (options.partitions ? LO_FLAGS_PARTSCAN : 0);
        const bool attached =
            device >= 0 && backing >= 0 && ioctl(device, LOOP_CONFIGURE, &config) == 0;
        if (backing >= 0)
            close(backing);
        if (attached) {
            fd_ = device;
            path_ = path;
        } else if (device >= 0) {
            close(device);
        }
    }
    close(control);
}

LoopDevice::~LoopDevice() {
    if (fd_ < 0)
        return;
    ioctl(fd_, LOOP_CLR_FD, 0);
    close(fd_);
}

bool LoopDevice::takeNewSize() const {
    return ioctl(fd_, LOOP_SET_CAPACITY, 0) == 0;
}

bool MakeExt2(const std::string& file) {
    const std::string command = "mke2fs -q -F '" + file + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

Ext2Mount::Ext2Mount(const std::string& device, const std::string& folder) : folder_(folder) {
    std::error_code error;
    std::filesystem::create_directory(folder_, error);
    mounted_ = !error && mount(device.c_str(), folder_.c_str(), "ext2", 0, nullptr) == 0;
}

Ext2Mount::~Ext2Mount() {
    if (mounted_)
        umount2(folder_.c_str(), 0);
}

} // namespace test
