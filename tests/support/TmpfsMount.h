// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A small tmpfs file system mounted for one test, to meet a folder as a user's machine may have
// it: full, without room for one more file, or read-only. Needs root; where mounting is not
// allowed it stays empty and the test skips.

#include <string>

namespace test {

class TmpfsMount {
public:
    /// Mounts a tmpfs at folder (which it creates) with the mount options, e.g. "size=1m" or
    /// "nr_inodes=2"; empty when it cannot.
    TmpfsMount(const std::string& folder, const std::string& options);
    /// Unmounts it, lazily should a file still be open there.
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    explicit operator bool() const { return mounted_; }
    /// Makes the mounted file system read-only; false when it cannot.
    bool makeReadOnly() const;

private:
    std::string folder_;
    bool mounted_ = false;
};

} // namespace test
