// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The .iso file a file recorder records into. libburn writes over an existing file without
// shrinking it, so a recording starts from no file; a failed recording leaves no file behind
// (a partial image must not pass for a disc); a simulation leaves the file as it was.

#include <string>
#include <sys/types.h>
#include <utility>

namespace platform::layer {

class FileDisc {
public:
    FileDisc(std::string path, bool simulate) : path_(std::move(path)), simulate_(simulate) {}
    FileDisc(const FileDisc&) = delete;
    FileDisc& operator=(const FileDisc&) = delete;
    /// Removes the file unless keep() was called; for a simulation only the empty file libburn
    /// made where none was.
    ~FileDisc();

    /// Readies the path for libburn: removes an old disc (not for a simulation). False when an
    /// old disc is there and cannot be removed.
    bool prepare();

    /// Whether the file holds exactly size bytes.
    bool holds(off_t size) const;

    /// The recording succeeded: the file stays.
    void keep() { kept_ = true; }

private:
    std::string path_;
    bool simulate_;
    bool existed_ = false;
    bool kept_ = false;
};

} // namespace platform::layer
