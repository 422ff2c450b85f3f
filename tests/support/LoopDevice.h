// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Real block devices for tests that need one: a file attached to a free loop device, and an ext2
// file system mounted from one. Both need root and the loop driver; where the machine does not
// allow them they stay empty and the test skips. Each lets go of what it took when it goes, and
// the loop device detaches itself even when the test process dies.

#include <string>

namespace test {

struct LoopOptions {
    bool readOnly = false;      ///< a write-protected disk
    unsigned sectorBytes = 512; ///< the device's logical block size
    bool partitions = false;    ///< the kernel reads its partition table (/dev/loopNpM)
};

class LoopDevice {
public:
    /// Attaches file to a free loop device; empty (false) when that is not possible here.
    explicit LoopDevice(const std::string& file, LoopOptions options = {});
    ~LoopDevice();
    LoopDevice(const LoopDevice&) = delete;
    LoopDevice& operator=(const LoopDevice&) = delete;

    explicit operator bool() const { return fd_ >= 0; }
    /// /dev/loopN.
    const std::string& path() const { return path_; }
    /// Makes the device take the file's present size (after the test changed it), as a drive
    /// does when another disk is put in.
    bool takeNewSize() const;

private:
    int fd_ = -1;
    std::string path_;
};

/// Makes an ext2 file system in the file (mke2fs); false when that is not possible here.
bool MakeExt2(const std::string& file);

class Ext2Mount {
public:
    /// Mounts the ext2 file system on device at folder (which it creates); empty when it cannot.
    Ext2Mount(const std::string& device, const std::string& folder);
    ~Ext2Mount();
    Ext2Mount(const Ext2Mount&) = delete;
    Ext2Mount& operator=(const Ext2Mount&) = delete;

    explicit operator bool() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_ = false;
};

} // namespace test
